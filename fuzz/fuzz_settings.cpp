// zeptest.ini from the fuzz input, after its first line, which is a path to save, read and
// changed in memory by the settings reader and writer. Each saved setting must read back,
// and every other key must keep the value it had.
#include <algorithm>

#include <QList>
#include <QStringList>

#include "app/Settings.h"
#include "base/Ansi.h"
#include "base/PrivateProfile.h"
#include "fuzz/FuzzSupport.h"

namespace {

struct Key {
    QString Section, Name;
};

// The keys a file names, found the plain way; their values are read through the real reader.
QList<Key> KeysOf(const QString& text)
{
    QList<Key> keys{{"Path", "FilePath"}, {"Path", "SndPath"}, {"Settings", "NumLock"}, {"Settings", "PrintDOS"}};
    QString section;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('[')))
            section = t.mid(1).section(QLatin1Char(']'), 0, 0).trimmed();
        else if (!t.startsWith(QLatin1Char(';')) && t.contains(QLatin1Char('=')))
            keys.append({section, t.section(QLatin1Char('='), 0, 0).trimmed()});
    }
    // A key named twice reads as one: checking it once is enough, and each check reads the file.
    QList<Key> distinct;
    for (const Key& k : keys) {
        const auto same = [&](const Key& d) {
            return d.Section.compare(k.Section, Qt::CaseInsensitive) == 0 &&
                   d.Name.compare(k.Name, Qt::CaseInsensitive) == 0;
        };
        if (std::none_of(distinct.cbegin(), distinct.cend(), same))
            distinct.append(k);
    }
    return distinct;
}

// Every key's value as the program reads it from `file` (flags as it reads flags).
QStringList ValuesOf(const QList<Key>& keys, const QByteArray& file)
{
    QStringList values;
    for (const Key& k : keys)
        values.append(ProfileString(file, k.Section, k.Name, QStringLiteral("(none)"), 0));
    return values;
}

// Sets one key in `file` and checks every other key against `before`, the values before; the
// value then reads back as `readBack` through the program's reader for that key. `before`
// becomes the values after, for the next change.
void SetAndCompare(const QList<Key>& keys, QStringList& before, QByteArray& file, const QString& section,
                   const QString& name, const QString& value, const QString& readBack, int bufferSize)
{
    const std::optional<QByteArray> changed = ProfileWithString(file, section, name, value);
    REQUIRE(changed.has_value());
    file = *changed;
    REQUIRE(ProfileString(file, section, name, QStringLiteral("(none)"), bufferSize) == readBack);
    const QStringList after = ValuesOf(keys, file);
    for (qsizetype i = 0; i < keys.size(); ++i)
        if (keys[i].Section.compare(section, Qt::CaseInsensitive) != 0 ||
            keys[i].Name.compare(name, Qt::CaseInsensitive) != 0)
            REQUIRE(before[i] == after[i]);
    before = after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = InputBytes(data, size);
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray firstLine = lineEnd < 0 ? input : input.left(lineEnd);
    QByteArray file = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);
    // Any text Windows-1252 holds on one line: the reader takes blanks and quotes off as
    // Windows does, and the writer must store it so that it reads back all the same.
    const QString path = FromAnsi(firstLine).remove(QLatin1Char('\r'));

    const QList<Key> keys = KeysOf(FromAnsi(file));
    QStringList values = ValuesOf(keys, file);
    SetAndCompare(keys, values, file, "Path", "FilePath", path, path, 0);
    // The flags as the program writes them, read with its 10-character buffer.
    for (const char* flag : {"NumLock", "PrintDOS"}) {
        const bool on = !IsOnValue(ProfileString(file, "Settings", flag, "True", 10));
        const QString value = on ? QStringLiteral("True") : QStringLiteral("False");
        SetAndCompare(keys, values, file, "Settings", flag, value, value, 10);
    }
    return 0;
}
