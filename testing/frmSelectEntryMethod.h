#pragma once
// "Entry Method": the first screen of a new client. Staff choose whether the client takes
// the test on screen or the answers come from a paper answer sheet; the form stays behind
// the workflow of that choice and closes when it ends.
#include <array>

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

enum class EntryMethod { OnScreen, AnswerSheet };

class frmSelectEntryMethod : public QDialog {
    Q_OBJECT

public:
    explicit frmSelectEntryMethod(QWidget* parent = nullptr);

    int exec() override;
    void Activate();
    void ChooseMenu(int index);
    // Closing the window is "Cancel New Client Entry" until a workflow has begun; from then
    // on the workflow decides when the form closes.
    void reject() override;

    // The choices give way to the status line while the on-screen test is being started.
    void ShowContinuePrompt();

    static constexpr int LastMenuChoice = 3;

signals:
    // The workflow of the chosen method runs in the handler; the form closes when it returns.
    void MethodChosen(EntryMethod method);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Unload();

    QGroupBox* fraSelectMethod = nullptr;
    QGroupBox* frBlank = nullptr;
    std::array<QPushButton*, 4> cmdMenuChoice{};
    std::array<QFrame*, 4> shpMenuChoice{};
    QLabel* MsgPanel = nullptr;
    bool working_ = false;
};
