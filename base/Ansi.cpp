#include "base/Ansi.h"

namespace {

// Code points of bytes 0x80..0x9F. The five bytes Windows leaves undefined map to the
// C1 control of the same value so that every byte survives a round trip.
constexpr char16_t HighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char EncodeCodePoint(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Each code point of the text: a character beyond the Basic Multilingual Plane is the two
// QChars of a surrogate pair, and counts once.
template <typename F>
void ForEachCodePoint(const QString& text, F&& f)
{
    const qsizetype size = text.size();
    const QChar* c = text.constData();
    for (qsizetype i = 0; i < size; ++i) {
        if (c[i].isHighSurrogate() && i + 1 < size && c[i + 1].isLowSurrogate()) {
            f(QChar::surrogateToUcs4(c[i], c[i + 1]));
            ++i;
        } else {
            f(char32_t(c[i].unicode()));
        }
    }
}

bool IsControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

}  // namespace

QByteArray ToAnsi(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) { out.append(EncodeCodePoint(cp)); });
    return out;
}

bool FitsAnsi(const QString& text) { return FromAnsi(ToAnsi(text)) == text; }

QString FromAnsi(const char* bytes, int length)
{
    QString out;
    out.reserve(length);
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(HighControls[b - 0x80]) : QChar(b));
    }
    return out;
}

QString FromAnsi(const QByteArray& bytes) { return FromAnsi(bytes.constData(), int(bytes.size())); }

QString FitToLength(const QString& text, int length)
{
    // Every record field is fitted, so the text is cut in place rather than rebuilt.
    qsizetype end = 0;
    int count = 0;
    for (; end < text.size() && count < length; ++count)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate() ? 2 : 1;
    QString out = text.left(end);
    if (count < length)
        out.append(QString(length - count, QLatin1Char(' ')));
    return out;
}

QString TrimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

QString EscapeControls(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (IsControl(c))
            out +=
                QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString ReplaceControls(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (IsControl(c))
            c = QLatin1Char('?');
    return out;
}
