#include "base/MsgBox.h"

#include <QQueue>
#include <QtGlobal>

namespace MsgBox {
namespace {

struct State {
    Presenter presenter;
    bool testMode = false;
    QQueue<Answer> answers;
    QList<Message> shown;
    std::function<void(const Message&)> observer;
    FilePresenter filePresenter;
    QQueue<QString> fileNames;
    QStringList suggestedFiles;
};

State& state()
{
    static State s;
    return s;
}

const char* ButtonsName(Buttons b)
{
    switch (b) {
    case Buttons::OkOnly: return "OK";
    case Buttons::OkCancel: return "OK/Cancel";
    case Buttons::YesNo: return "Yes/No";
    }
    return "?";
}

// The first button of a set: the default unless a box names another.
Answer FirstButton(Buttons buttons) { return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok; }

}  // namespace

Answer Show(const QString& text, Buttons buttons, Icon icon, const QString& title, std::optional<Answer> defaultButton)
{
    State& s = state();
    const Message message{title, text, buttons, icon, defaultButton.value_or(FirstButton(buttons))};
    s.shown.append(message);
    if (s.observer)
        s.observer(message);
    if (s.testMode) {
        if (s.answers.isEmpty())
            qFatal("Message box without a queued answer: [%s] %s (%s)", qPrintable(title), qPrintable(text),
                   ButtonsName(buttons));
        return s.answers.dequeue();
    }
    if (!s.answers.isEmpty())
        return s.answers.dequeue();
    if (s.presenter)
        return s.presenter(message);
    qWarning("%s: %s", qPrintable(title), qPrintable(text));
    return buttons == Buttons::YesNo ? Answer::No : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok);
}

QString AskSaveFile(const QString& title, const QString& suggested, const QString& filter)
{
    State& s = state();
    s.suggestedFiles.append(suggested);
    if (!s.fileNames.isEmpty())
        return s.fileNames.dequeue();
    if (s.testMode)
        qFatal("File question without a queued answer: [%s] %s", qPrintable(title), qPrintable(suggested));
    return s.filePresenter ? s.filePresenter(title, suggested, filter) : QString();
}

void SetFilePresenter(FilePresenter presenter) { state().filePresenter = std::move(presenter); }
void SetNextFileName(const QString& path) { state().fileNames.enqueue(path); }
const QStringList& SuggestedFiles() { return state().suggestedFiles; }

void SetPresenter(Presenter presenter) { state().presenter = std::move(presenter); }
void SetTestMode(bool on) { state().testMode = on; }
void SetNextAnswer(Answer answer) { state().answers.enqueue(answer); }
void SetNextAnswers(std::initializer_list<Answer> answers)
{
    for (Answer a : answers)
        state().answers.enqueue(a);
}
void SetObserver(std::function<void(const Message&)> observer) { state().observer = std::move(observer); }
const QList<Message>& Shown() { return state().shown; }
int PendingAnswers() { return int(state().answers.size()); }

void ResetTestState()
{
    state().answers.clear();
    state().fileNames.clear();
    state().suggestedFiles.clear();
    state().shown.clear();
    state().observer = nullptr;
}

}  // namespace MsgBox

namespace {
int beeps = 0;
std::function<void()> beepSound;
}  // namespace

void Beep()
{
    ++beeps;
    if (beepSound)
        beepSound();
}
int BeepCount() { return beeps; }
void ResetBeepCount() { beeps = 0; }
void SetBeepSound(std::function<void()> sound) { beepSound = std::move(sound); }
