#pragma once
// Every message box of the program goes through here. Tests queue the answers
// before the action and read back what was shown afterwards.
#include <functional>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

namespace MsgBox {

enum class Buttons { OkOnly, OkCancel, YesNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString title;
    QString text;
    Buttons buttons = Buttons::OkOnly;
    Icon icon = Icon::None;
    Answer defaultButton = Answer::Ok;  // the answer Enter gives
};

// Shows the box and returns the operator's answer. Line breaks in text are
// carriage returns (and line feeds) as the program writes them. Enter chooses
// `defaultButton` (one of the box's buttons; the first when not given).
Answer Show(const QString& text, Buttons buttons, Icon icon, const QString& title,
            std::optional<Answer> defaultButton = std::nullopt);

// How boxes are really shown; the forms library installs a QMessageBox presenter.
using Presenter = std::function<Answer(const Message&)>;
void SetPresenter(Presenter presenter);

// Asks where to save a file (a file dialog); an empty result means the operator cancelled.
QString AskSaveFile(const QString& title, const QString& suggested, const QString& filter);
using FilePresenter = std::function<QString(const QString& title, const QString& suggested, const QString& filter)>;
void SetFilePresenter(FilePresenter presenter);
// Queues the answer of the next file question, as SetNextAnswer does for message boxes.
void SetNextFileName(const QString& path);
// The file each file question suggested, in order, as Shown() lists the boxes.
const QStringList& SuggestedFiles();

// Test support. With test mode on, a box nobody queued an answer for stops the test.
void SetTestMode(bool on);
void SetNextAnswer(Answer answer);
void SetNextAnswers(std::initializer_list<Answer> answers);
// Called with each message while it is "open"; lets a test act while a box is up.
void SetObserver(std::function<void(const Message&)> observer);
const QList<Message>& Shown();
int PendingAnswers();
void ResetTestState();

}  // namespace MsgBox

// The system beep. Tests count beeps.
void Beep();
int BeepCount();
void ResetBeepCount();
void SetBeepSound(std::function<void()> sound);
