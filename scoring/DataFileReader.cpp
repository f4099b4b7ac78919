#include "scoring/DataFileReader.h"

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool IsLineEndChar(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

}  // namespace

bool DataFileReader::AtLineEnd() const { return pos_ < text_.size() && IsLineEndChar(text_.at(pos_)); }

void DataFileReader::SkipLineEnd()
{
    if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('\r'))
        ++pos_;
    if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('\n'))
        ++pos_;
    ++line_;
}

bool DataFileReader::ReadLine(QString& line)
{
    if (AtEnd())
        return false;
    const qsizetype start = pos_;
    while (pos_ < text_.size() && !IsLineEndChar(text_.at(pos_)))
        ++pos_;
    line = text_.mid(start, pos_ - start);
    if (!AtEnd())
        SkipLineEnd();
    return true;
}

bool DataFileReader::ReadField(QString& field)
{
    for (;;) {
        while (pos_ < text_.size() && IsBlank(text_.at(pos_)))
            ++pos_;
        if (!AtLineEnd())
            break;
        SkipLineEnd();
    }
    if (AtEnd())
        return false;
    fieldLine_ = line_;

    if (text_.at(pos_) == QLatin1Char('"')) {
        const qsizetype start = ++pos_;
        while (pos_ < text_.size() && text_.at(pos_) != QLatin1Char('"') && !IsLineEndChar(text_.at(pos_)))
            ++pos_;
        field = text_.mid(start, pos_ - start);
        if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char('"'))
            ++pos_;
        // Anything between the closing quote and the separator is not part of the field.
        while (pos_ < text_.size() && text_.at(pos_) != QLatin1Char(',') && !IsLineEndChar(text_.at(pos_)))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_.at(pos_) != QLatin1Char(',') && !IsLineEndChar(text_.at(pos_)))
            ++pos_;
        qsizetype end = pos_;
        while (end > start && IsBlank(text_.at(end - 1)))
            --end;
        field = text_.mid(start, end - start);
    }

    if (pos_ < text_.size() && text_.at(pos_) == QLatin1Char(','))
        ++pos_;
    else if (AtLineEnd())
        SkipLineEnd();
    return true;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (IsLineEndChar(c)) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}
