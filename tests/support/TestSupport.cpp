#include "tests/support/TestSupport.h"

#include <sys/stat.h>

#include <QApplication>
#include <QDialog>

#include "base/Program.h"
#include "clients/ClientValidation.h"

TestProgram::TestProgram()
{
    ResetProgram();
    MsgBox::ResetTestState();
    MsgBox::SetTestMode(true);
    ResetBeepCount();
    Program& p = program();
    SetStartUpDefaults(programDir_.path());
    p.DataDrive = diskDir_.path();
    p.DataFilePath = dataFile();
}

TestProgram::~TestProgram()
{
    FailUnopenedModals();
    MsgBox::ResetTestState();
}

void TestProgram::MakeDataDisk(const QString& folder, const QByteArray& tid)
{
    CHECKED(WriteFileBytes(folder + "/TID", tid));
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path + ": " + f.errorString()));
    QVERIFY2(f.write(bytes) == bytes.size() && f.flush(), qPrintable(path + ": " + f.errorString()));
}

int FileMode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

ClientRecord SampleRecord(const QString& name)
{
    ClientRecord r;
    r.Name = name;
    r.SSN = "123-45-6789";
    r.Age = "34";
    r.Gender = "1";
    r.Race = "2";
    r.Education = "12";
    r.Marital = "3";
    r.TestDate = "11/02/2026";
    const char* court[CourtFieldCount] = {"19", "3", "1", "2", "0", "1", "N", "0", "2", "0", "1", "0"};
    for (int i = 0; i < CourtFieldCount; ++i)  // first conviction .. drug convictions, as stored
        r.*CourtFields[i].Field = court[i];
    r.Answers = QString(60, QLatin1Char('2')) + QStringLiteral("1234");
    r.EditCount = "0";
    r.NameDeleted = "0";
    r.DateOfBirth = "04/17/1990";
    return r;
}

ToolRun RunTool(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    ToolRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        run.exitCode = p.exitCode();
    }
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

RunningTool::RunningTool(const QString& program, const QStringList& args, ProcessChannelMode mode)
{
    setProcessChannelMode(mode);
    start(program, args);
}

RunningTool::~RunningTool()
{
    kill();
    waitForFinished();
}

MsgBox::Message LastMessage() { return MsgBox::Shown().isEmpty() ? MsgBox::Message{} : MsgBox::Shown().back(); }

namespace {
bool Run(const QStringList& args, QString* error, const char* command = "mount")
{
    const ToolRun run = RunTool(QString::fromLatin1(command), args, 10000);
    if (run.exitCode != 0 && error)
        *error = QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(run.err).trimmed(), command);
    return run.exitCode == 0;
}
}  // namespace

TmpfsMount::TmpfsMount(const QString& sizeOption)
{
    mounted_ = Run({"-t", "tmpfs", "-o", sizeOption, "tmpfs", dir_.path()}, &error_);
}

QString TmpfsMount::fill()
{
    QFile filler(dir_.path() + QStringLiteral("/filler"));
    if (filler.open(QIODevice::WriteOnly))
        while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
        }
    return filler.fileName();
}

bool TmpfsMount::remountReadOnly() { return Run({"-o", "remount,ro", dir_.path()}, &error_); }
bool TmpfsMount::remountWritable() { return Run({"-o", "remount,rw", dir_.path()}, &error_); }

bool TmpfsMount::unmount()
{
    if (mounted_)
        mounted_ = !Run({dir_.path()}, &error_, "umount");
    return !mounted_;
}

namespace {
// How each WhenModalOpens still waiting gives up.
std::map<QTimer*, std::function<void()>> ModalWatches;

void EndWatch(QTimer* timer)
{
    timer->stop();
    timer->deleteLater();
    ModalWatches.erase(timer);
}
}  // namespace

void WhenModalOpens(const char* objectName, std::function<void(QWidget*)> action, int timeoutMs, const char* file,
                    int line)
{
    auto* timer = new QTimer;
    const QString name = QString::fromLatin1(objectName);
    // The test that asked fails at the line that asked, and the modal dialogs that may hold it
    // in their exec() are closed (past a form's own refusal to close), so that it ends.
    ModalWatches[timer] = [=] {
        EndWatch(timer);
        QTest::qFail(qPrintable("No modal dialog named " + name + " opened"), file, line);
        for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->QDialog::done(QDialog::Rejected);
            else
                QApplication::activeModalWidget()->hide();
        }
    };
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name && modal->isVisible()) {
            EndWatch(timer);
            QApplication::setActiveWindow(modal);
            action(modal);
        } else if (deadline.hasExpired()) {
            const auto giveUp = ModalWatches.at(timer);
            giveUp();
        }
    });
    timer->start(5);
}

void FailUnopenedModals()
{
    while (!ModalWatches.empty()) {
        const auto giveUp = ModalWatches.begin()->second;
        giveUp();
    }
}

void AnswerInputBox(QWidget* box, const QString& text)
{
    auto* field = box->findChild<QLineEdit*>(QStringLiteral("txtInput"));
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(box->findChild<QPushButton*>(QStringLiteral("cmdMenuChoice_0")), Qt::Key_Return);
}

void AnswerNextInputBox(const QString& text)
{
    WhenModalOpens("frmMyInputBox", [text](QWidget* box) { AnswerInputBox(box, text); });
}

namespace {
// The window ShowActive last showed: the offscreen platform sometimes leaves the
// application's focus on a closed drop-down list while the window still knows its own.
QPointer<QWidget> ActiveForm;
}  // namespace

void ShowActive(QWidget* window)
{
    ActiveForm = window;
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QStringList Names(const QString& prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QStringLiteral("%1 %2").arg(prefix).arg(i);
    return names;
}

QByteArray Records(const QStringList& names)
{
    QByteArray bytes;
    for (const QString& name : names)
        bytes += RecordToBytes(SampleRecord(name));
    return bytes;
}

void WriteClients(const QString& folder, const QStringList& names)
{
    CHECKED(TestProgram::MakeDataDisk(folder));
    CHECKED(WriteFileBytes(folder + QStringLiteral("/DATA401.ZEP"), Records(names)));
}

void UseDisk(const QString& folder)
{
    program().DataDrive = folder;
    program().DataFilePath = folder + QStringLiteral("/DATA401.ZEP");
}

void ReplaceRecord(int slot, const ClientRecord& record)
{
    QByteArray bytes = ReadFileBytes(program().DataFilePath);
    bytes.replace((slot - 1) * RecordLength, RecordLength, RecordToBytes(record));
    CHECKED(WriteFileBytes(program().DataFilePath, bytes));
}

ClientRecord StoredRecord(int slot)
{
    const QByteArray record = ReadFileBytes(program().DataFilePath).mid((slot - 1) * RecordLength, RecordLength);
    return record.size() == RecordLength ? RecordFromBytes(record.constData()) : ClientRecord{};
}

void WriteBank(const QList<QPair<QString, QList<QuestionItem>>>& tables)
{
    QString error;
    QVERIFY2(CreateQuestionBank(program().DatabasePath, tables, &error), qPrintable(error));
}

QList<QuestionItem> StandardTestItems()
{
    QList<QuestionItem> items;
    for (int id = 1; id <= 64; ++id) {
        QuestionItem item;
        item.ID = id;
        item.TestQuestion = QStringLiteral("Statement %1.").arg(id);
        const QStringList answers = id <= 60 ? QStringList{"True", "False"} : QStringList{"1", "2", "3", "4"};
        std::copy(answers.begin(), answers.end(), item.Answer);
        items << item;
    }
    return items;
}

QWidget* Focused()
{
    QCoreApplication::processEvents();
    QWidget* focused = QApplication::focusWidget();
    if ((!focused || !focused->isVisible()) && ActiveForm)
        return ActiveForm->focusWidget();
    return focused;
}

void Press(int key, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(Focused(), Qt::Key(key));
}
