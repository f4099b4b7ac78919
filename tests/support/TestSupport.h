#pragma once
// Helpers shared by the tests: a fresh program state over temporary folders.
//
// A helper that checks something is a void function that uses QVERIFY, QCOMPARE and
// QTRY_* as a test function does. Those macros record the failure but only leave the
// helper, so every call of such a helper goes through CHECKED, which ends the calling
// function as well once the test has failed; a helper that calls one is itself such a
// helper. Helpers that only read or compute return their result and check nothing.
#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "base/ClientRecord.h"
#include "base/MsgBox.h"
#include "testing/QuestionBank.h"
#include "widgets/Password.h"

// In a helper that returns a value, CHECKED(call, value) returns that value.
#define CHECKED(call, ...)                                                                                             \
    do {                                                                                                               \
        call;                                                                                                          \
        if (QTest::currentTestFailed())                                                                                \
            return __VA_ARGS__;                                                                                        \
    } while (0)

// Sets an environment variable (a null value unsets it) until the returned guard goes, also
// when the test fails on the way.
inline auto SetEnvironment(const char* name, const QByteArray& value)
{
    const QByteArray old = qgetenv(name);
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
    return qScopeGuard([=] { old.isNull() ? qunsetenv(name) : qputenv(name, old); });
}

QByteArray ReadFileBytes(const QString& path);
// Checks that the file was written.
void WriteFileBytes(const QString& path, const QByteArray& bytes);
// The permission bits of a file (not of a link's target); -1 when there is none.
int FileMode(const QString& path);

// Resets the program state, the message-box queue and the beep counter, and points the
// program folder and the data drive at fresh temporary folders.
class TestProgram {
public:
    TestProgram();
    ~TestProgram();
    QString programFolder() const { return programDir_.path(); }
    QString disk() const { return diskDir_.path(); }
    QString dataFile() const { return diskDir_.path() + QStringLiteral("/DATA401.ZEP"); }
    // Writes TID (first line "ZEPSF") into a folder so that it is a data disk; checks it.
    static void MakeDataDisk(const QString& folder, const QByteArray& tid = "ZEPSF\r\n");

private:
    QTemporaryDir programDir_;
    QTemporaryDir diskDir_;
};

// What a command-line program of ours did: its exit code (-1 when it crashed or hung, and
// was then killed), standard output and standard error.
struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
ToolRun RunTool(const QString& program, const QStringList& args, int timeoutMs = 60000);

// A program running beside the test, started at once with its standard error (or as told)
// passed on; it is killed and waited for when it goes out of scope.
class RunningTool : public QProcess {
public:
    RunningTool(const QString& program, const QStringList& args = {}, ProcessChannelMode mode = ForwardedErrorChannel);
    ~RunningTool() override;
};

// A record with every field filled with recognisable values.
ClientRecord SampleRecord(const QString& name);

// The last message box shown, for a quick look in a test.
MsgBox::Message LastMessage();

// A tmpfs mounted over a temporary folder (tests run as root in CI). Skips the test with
// the reason when mounting is not permitted.
class TmpfsMount {
public:
    explicit TmpfsMount(const QString& sizeOption = QStringLiteral("size=1m"));
    ~TmpfsMount() { unmount(); }
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString error() const { return error_; }
    // Fills what room is left with the file "filler", whose path it returns.
    QString fill();
    bool remountReadOnly();
    bool remountWritable();
    bool unmount();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};

#define REQUIRE_TMPFS(m)                                                                                               \
    do {                                                                                                               \
        if (!(m).mounted())                                                                                            \
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: ") + (m).error()));                            \
    } while (0)

// Runs `action` on the next modal dialog with this object name that opens (checked every few
// ms), so a test can type into dialogs opened by the code under test. When none opens in
// time, or the test ends first (TestProgram's end), the test that asked fails, and a modal
// dialog that holds it instead is closed so that the test can end.
// The file and line default to the caller's (the checked build's clang has no
// std::source_location yet).
void WhenModalOpens(const char* objectName, std::function<void(QWidget*)> action, int timeoutMs = 5000,
                    const char* file = __builtin_FILE(), int line = __builtin_LINE());
// Fails the test for every WhenModalOpens still waiting (TestProgram's end calls it).
void FailUnopenedModals();

// Answers an input box as staff do: `text` typed into its field, Enter (which moves to OK),
// Enter on OK.
inline QString SecretCodeText() { return QString(QChar(SecretCode)); }
void AnswerInputBox(QWidget* box, const QString& text = SecretCodeText());
// The next input box that opens is answered so.
void AnswerNextInputBox(const QString& text = SecretCodeText());

// Shows a top-level widget and makes it the active window, so focus and keys work offscreen;
// checks that it became active.
void ShowActive(QWidget* window);

// Keys as a person types them: to the focused widget, after the event loop has done what it
// does between two keys (a field selecting its text when it gains the focus).
QWidget* Focused();
void Press(int key, int times = 1);
inline void TypeText(const QString& text) { QTest::keyClicks(Focused(), text); }
inline void TypeAndEnter(const QString& text)
{
    TypeText(text);
    Press(Qt::Key_Return);
}
// A refused entry shows its rule in a box the operator closes with OK.
inline void ExpectRefusal() { MsgBox::SetNextAnswer(MsgBox::Answer::Ok); }

// "<prefix> 1" .. "<prefix> count".
QStringList Names(const QString& prefix, int count);
// The bytes of SampleRecord(name) for each name, one record after the other.
QByteArray Records(const QStringList& names);
// Writes a data disk with `names.size()` clients (TID included) into `folder`; checks it.
void WriteClients(const QString& folder, const QStringList& names);
// Points the program's data drive and data file at `folder`.
void UseDisk(const QString& folder);
// Replaces record `slot` (1-based) of the program's data file with `record`; checks it.
void ReplaceRecord(int slot, const ClientRecord& record);
// Record `slot` (1-based) as the program's data file holds it.
ClientRecord StoredRecord(int slot);
// Writes these tables as the program's question bank; a failure fails the test.
void WriteBank(const QList<QPair<QString, QList<QuestionItem>>>& tables);

// The test's shape as a question bank: items 1 to 60 true/false, 61 to 64 with four
// numbered answers.
QList<QuestionItem> StandardTestItems();

// A control of a form by its object name ("txtName"), or of a control array by the array's
// name and index ("cmdMenuChoice", 0). A form without it fails the test.
template <class T>
T* Child(const auto& form, const QString& name)
{
    if (T* child = form->template findChild<T*>(name))
        return child;
    // The test goes on with a hidden stand-in, so that it ends at its next check, failed,
    // rather than on a null pointer that would end every test after it too.
    QTest::qFail(qPrintable(QStringLiteral("%1 has no %2 named %3")
                                .arg(form->objectName(), QString::fromLatin1(T::staticMetaObject.className()), name)),
                 __FILE__, __LINE__);
    static T* const standIn = new T;
    return standIn;
}
template <class T>
T* Child(const auto& form, const char* array, int index)
{
    return Child<T>(form, QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
}
