#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/MsgBox.h"
#include "base/Program.h"

namespace {

// Made on first use and removed when the fuzzer exits normally; a crashed run leaves it in
// the temporary folder for a look.
const QTemporaryDir& Folder()
{
    // The question bank's SQL driver is a plugin, and Qt loads plugins only for an application.
    static int argc = 1;
    static char name[] = "zepfuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zepfuzz-XXXXXX"));
    static const bool made = dir.isValid() && QDir(dir.path()).mkpath(QStringLiteral("disk"));
    if (!made)
        FuzzFailed("a private temporary folder", __FILE__, __LINE__);
    return dir;
}

MsgBox::Answer Dismiss(const MsgBox::Message& message)
{
    switch (message.buttons) {
    case MsgBox::Buttons::OkOnly: return MsgBox::Answer::Ok;
    case MsgBox::Buttons::OkCancel: return MsgBox::Answer::Cancel;
    case MsgBox::Buttons::YesNo: return MsgBox::Answer::No;
    }
    return MsgBox::Answer::Cancel;
}

}  // namespace

void PrepareRun()
{
    const QString folder = Folder().path();
    ResetProgram();
    Program& p = program();
    SetStartUpDefaults(folder);
    p.DataDrive = folder + QStringLiteral("/disk");
    p.DataFilePath = p.DataDrive + QStringLiteral("/DATA401.ZEP");
    MsgBox::ResetTestState();
    MsgBox::SetPresenter(Dismiss);
}

void CopyFilesToProgramFolder(const QString& folder)
{
    const QDir valid(folder);
    for (const QString& name : valid.entryList(QDir::Files))
        WriteInput(ProgramFile(name), ReadBytes(valid.filePath(name)));
}

ClientRecord ScoringClient(int slot)
{
    struct Kind {
        const char* fill;
        QString answers;
        const char* gender;
    };
    static const Kind kinds[] = {{"2", QStringLiteral("1221").repeated(16), "1"},
                                 {"N", QString(64, QLatin1Char('1')), "2"},
                                 {"7", QStringLiteral("2014").repeated(16), "3"}};
    const Kind& k = kinds[slot - 1];
    ClientRecord r;
    ClientRecord::ForEachField(r, [&](const char*, auto& field) { field = k.fill; });
    r.Name = "Fuzz Client";
    r.Answers = k.answers;
    r.Gender = k.gender;
    return r;
}

QByteArray InputBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

QByteArray RecordInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = InputBytes(data, size).left(RecordLength);
    bytes.append(QByteArray(RecordLength - bytes.size(), ' '));
    return bytes;
}

void WriteInput(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        FuzzFailed(qPrintable(QStringLiteral("writing the input to ") + path), __FILE__, __LINE__);
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FuzzFailed(const char* property, const char* file, int line)
{
    std::fprintf(stderr, "\n%s:%d: property does not hold: %s\n", file, line, property);
    std::fflush(stderr);
    std::abort();
}
