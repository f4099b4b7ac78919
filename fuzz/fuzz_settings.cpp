// zeptest.ini from the fuzz input, after its first line, which is a path to save. Each saved
// setting must read back, and every other key must keep the value it had.
#include <QList>
#include <QStringList>

#include "app/PrivateProfile.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "clients/Ansi.h"
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
    return keys;
}

QStringList ValuesOf(const QList<Key>& keys)
{
    QStringList values;
    for (const Key& k : keys)
        values.append(GetPrivateProfileString(k.Section, k.Name, QStringLiteral("(none)"), 1 << 20, program().IniPath));
    return values;
}

// Saves one setting and checks every key but that one against the values before.
template <typename Save>
void SaveAndCompare(const QList<Key>& keys, const QString& section, const QString& name, Save save)
{
    QStringList before = ValuesOf(keys);
    REQUIRE(save());
    QStringList after = ValuesOf(keys);
    for (qsizetype i = 0; i < keys.size(); ++i)
        if (keys[i].Section.compare(section, Qt::CaseInsensitive) != 0 || keys[i].Name.compare(name, Qt::CaseInsensitive) != 0)
            REQUIRE(before[i] == after[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrepareRun();
    const QByteArray input = InputBytes(data, size);
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray firstLine = lineEnd < 0 ? input : input.left(lineEnd);
    WriteInput(program().IniPath, lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1));
    // Any text Windows-1252 holds on one line, blanks and quotes at its ends included.
    const QString path = FromAnsi(firstLine).remove(QLatin1Char('\r'));

    const QList<Key> keys = KeysOf(FromAnsi(ReadBytes(program().IniPath)));
    SaveAndCompare(keys, "Path", "FilePath", [&] { return SaveINIFilePath(path); });
    REQUIRE(GetINIFilePath() == path);
    const bool numLock = !GetNumLockSetting();
    SaveAndCompare(keys, "Settings", "NumLock", [&] { return SaveNumLockSetting(numLock); });
    REQUIRE(GetNumLockSetting() == numLock);
    const bool printDOS = !GetPrintDOSSetting();
    SaveAndCompare(keys, "Settings", "PrintDOS", [&] { return SavePrintDOSSetting(printDOS); });
    REQUIRE(GetPrintDOSSetting() == printDOS);
    return 0;
}
