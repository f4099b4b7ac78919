#include "base/PrivateProfile.h"

#include <optional>

#include <cerrno>

#include <QStringDecoder>
#include <QStringList>

#include "base/Ansi.h"
#include "base/RegularFile.h"

namespace {

struct Line {
    QString text;  // without its line end
    QString end;   // "\r\n", "\n" or "" for a last line without one
};

// A settings file is a few hundred bytes; anything near this is not one.
constexpr qint64 MaxSettingsFileBytes = 1 << 20;

QList<Line> SplitIntoLines(const QByteArray& bytes)
{
    QList<Line> lines;
    const QString all = FromAnsi(bytes);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype nl = all.indexOf(QLatin1Char('\n'), start);
        if (nl < 0) {
            lines.append({all.mid(start), QString()});
            break;
        }
        qsizetype textEnd = nl;
        QString end = QStringLiteral("\n");
        if (textEnd > start && all.at(textEnd - 1) == QLatin1Char('\r')) {
            --textEnd;
            end = QStringLiteral("\r\n");
        }
        lines.append({all.mid(start, textEnd - start), end});
        start = nl + 1;
    }
    return lines;
}

// Reads the file's bytes; a missing file has none. Returns 0 or errno.
int ReadSettingsFile(const QString& fileName, QByteArray& bytes)
{
    const int err = ReadRegularFile(fileName, MaxSettingsFileBytes, bytes);
    if (err != 0)
        bytes.clear();
    return err == ENOENT ? 0 : err;
}

// Values are Windows-1252 like the rest of the file. A value Windows-1252 cannot hold (a
// folder named in Cyrillic, say) is written as the UTF-8 byte order mark followed by its
// UTF-8 bytes; so is a value that itself begins with the three characters of that mark,
// so that reading it back is never ambiguous. Here the file is held as one character per
// byte, so the mark is the three characters EF BB BF.
const QString Utf8Mark = QStringLiteral("\u00EF\u00BB\u00BF");

QString EncodeValue(const QString& value)
{
    if (FitsAnsi(value) && !value.startsWith(Utf8Mark))
        return value;
    return Utf8Mark + FromAnsi(value.toUtf8());
}

QString DecodeValue(const QString& value)
{
    if (!value.startsWith(Utf8Mark))
        return value;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(ToAnsi(value.mid(Utf8Mark.size())));
    // Not UTF-8 after all: written by someone else, so read as it stands.
    return utf8.hasError() ? value : decoded;
}

// The reader looks at every line for every key it is asked, so these look without copying.
std::optional<QStringView> SectionName(QStringView text)
{
    const QStringView t = text.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.sliced(1) : t.sliced(1, close - 1)).trimmed();
}

bool IsComment(QStringView text) { return text.trimmed().startsWith(u';'); }

// The key of a "Key=Value" line, or nothing for other lines.
std::optional<QStringView> KeyName(QStringView text)
{
    if (IsComment(text))
        return std::nullopt;
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return text.left(eq).trimmed();
}

bool SameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Calls `f` with each line of `all`, without its line end, until `f` returns false; the lines
// are those SplitIntoLines gives.
template <typename F>
void ForEachLine(QStringView all, F f)
{
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype nl = all.indexOf(u'\n', start);
        if (nl < 0) {
            f(all.sliced(start));
            return;
        }
        const qsizetype textEnd = nl > start && all[nl - 1] == u'\r' ? nl - 1 : nl;
        if (!f(all.sliced(start, textEnd - start)))
            return;
        start = nl + 1;
    }
}

// Index range [first, last) of the lines that belong to `section`, after its header.
std::optional<std::pair<int, int>> FindSection(const QList<Line>& lines, const QString& section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (!name || !SameName(*name, section))
            continue;
        int end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].text))
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

}  // namespace

// Blanks, tabs and stray line-end characters around a value, as the Windows functions remove
// them; a no-break space is part of a folder's name (and the last byte of some UTF-8 values).
QString TrimValue(const QString& value)
{
    qsizetype start = 0, end = value.size();
    auto blank = [](QChar c) { return c.unicode() < 128 && c.isSpace(); };
    while (start < end && blank(value[start]))
        ++start;
    while (end > start && blank(value[end - 1]))
        --end;
    return value.mid(start, end - start);
}

namespace {

QString StripQuotes(const QString& value)
{
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString CutToBuffer(const QString& value, int bufferSize)
{
    return bufferSize == 0 ? value : bufferSize < 0 ? QString() : value.left(bufferSize - 1);
}

}  // namespace

QString ProfileString(const QByteArray& file, const QString& section, const QString& key, const QString& defaultValue,
                      int bufferSize)
{
    // Only the first section of that name counts, up to the next section's header.
    const QString all = FromAnsi(file);
    bool inSection = false;
    std::optional<QString> found;
    ForEachLine(all, [&](QStringView text) {
        if (const auto name = SectionName(text)) {
            if (inSection)
                return false;
            inSection = SameName(*name, section);
            return true;
        }
        const auto name = inSection ? KeyName(text) : std::nullopt;
        if (!name || !SameName(*name, key))
            return true;
        const QString value = TrimValue(text.sliced(text.indexOf(u'=') + 1).toString());
        found = CutToBuffer(DecodeValue(StripQuotes(value)), bufferSize);
        return false;
    });
    if (found)
        return *found;
    // Windows drops trailing blanks from the default too.
    QString def = defaultValue;
    while (def.endsWith(QLatin1Char(' ')))
        def.chop(1);
    return CutToBuffer(def, bufferSize);
}

std::optional<QByteArray> ProfileWithString(const QByteArray& file, const QString& section, const QString& key,
                                            const QString& rawValue)
{
    // A line end inside a value would start a line of its own, another key.
    if (rawValue.contains(QLatin1Char('\n')) || rawValue.contains(QLatin1Char('\r')))
        return std::nullopt;
    QList<Line> lines = SplitIntoLines(file);
    QString value = EncodeValue(rawValue);
    // The reader takes blanks and one pair of enclosing quotes off, as Windows does; a value
    // that would lose something that way (a folder whose name begins with a blank, or is in
    // quotes) is stored in quotes of its own, which are all the reader takes off.
    if (StripQuotes(TrimValue(value)) != value)
        value = QLatin1Char('"') + value + QLatin1Char('"');
    const QString eol =
        (!lines.isEmpty() && lines.front().end == QStringLiteral("\n")) ? QStringLiteral("\n") : QStringLiteral("\r\n");
    const auto range = FindSection(lines, section);
    bool done = false;
    if (range) {
        int lastEntry = range->first - 1;  // the header
        for (int i = range->first; i < range->second; ++i) {
            if (!lines[i].text.trimmed().isEmpty())
                lastEntry = i;
            const auto name = KeyName(lines[i].text);
            if (name && SameName(*name, key)) {
                lines[i].text = name->toString() + QLatin1Char('=') + value;
                done = true;
                break;
            }
        }
        if (!done) {
            if (lines[lastEntry].end.isEmpty())
                lines[lastEntry].end = eol;
            lines.insert(lastEntry + 1, {key + QLatin1Char('=') + value, eol});
        }
    } else {
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = eol;
        lines.append({QLatin1Char('[') + section + QLatin1Char(']'), eol});
        lines.append({key + QLatin1Char('=') + value, eol});
    }

    QString all;
    for (const Line& line : lines)
        all += line.text + line.end;
    return ToAnsi(all);
}

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue, int bufferSize,
                                const QString& fileName)
{
    QByteArray file;
    ReadSettingsFile(fileName, file);  // an unreadable file gives the defaults, like a missing one
    return ProfileString(file, section, key, defaultValue, bufferSize);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& rawValue,
                               const QString& fileName, QString* error)
{
    auto fail = [&](int err) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(EscapeControls(fileName), FileErrorText(err));
        return false;
    };
    // Rewriting a file that cannot be read would lose every other setting in it.
    QByteArray file;
    if (const int err = ReadSettingsFile(fileName, file); err != 0)
        return fail(err);
    const std::optional<QByteArray> changed = ProfileWithString(file, section, key, rawValue);
    if (!changed)
        return fail(EINVAL);
    if (const int err = ReplaceFile(fileName, *changed); err != 0)
        return fail(err);
    if (error)
        error->clear();
    return true;
}
