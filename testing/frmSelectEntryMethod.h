#pragma once
// "Entry Method": the first screen of a new client. Staff choose whether the client takes
// the test on screen or the answers come from a paper answer sheet; the form then leads
// the whole workflow of that choice and closes when it ends.
#include <array>

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

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

    // Client information, court history, language, the test, then the secret code.
    void AdministerTest();
    // Client information, court history, then the answers from the answer sheet.
    void EnterFromAnswerSheet();

    static constexpr int LastMenuChoice = 3;

    QGroupBox* fraSelectMethod = nullptr;
    QGroupBox* frBlank = nullptr;
    std::array<QPushButton*, 4> cmdMenuChoice{};
    std::array<QFrame*, 4> shpMenuChoice{};
    QLabel* MsgPanel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Unload();
    bool working_ = false;
};
