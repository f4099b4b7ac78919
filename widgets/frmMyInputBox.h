#pragma once
// The program's own modal input box: a help message, one field, two menu-choice buttons.
#include <array>
#include <functional>

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmMyInputBox : public QDialog {
    Q_OBJECT

public:
    explicit frmMyInputBox(QWidget* parent = nullptr);

    // Set before showing.
    bool PasswordInput = false;
    int InputLength = 0;
    QString HelpMessage;
    // When above 0, the field takes input only after this many seconds; meanwhile the box
    // shows WaitMessage instead of HelpMessage. "Cancel Input" works at once.
    int WaitSeconds = 0;
    QString WaitMessage;
    // Read after it closed.
    QString InputValue;
    bool Cancelled = false;

    // Shows the box modally, applying the properties first.
    int exec() override;
    // Applies the properties to the window (maximum length, help text, masking, looks).
    void Activate();
    // Closing the window any way but "Information OK" counts as "Cancel Input".
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseMenu(int index);
    void SetWaiting(bool waiting);

    QLabel* lblHelpMsg = nullptr;
    QLineEdit* txtInput = nullptr;
    std::array<QPushButton*, 2> cmdMenuChoice{};
    std::array<QFrame*, 2> sspMenuChoice{};
};

// Starts a wait of `seconds` and calls `over` when it has passed, unless `box` is gone by
// then. Tests replace it to see the waits asked for without waiting them.
using InputBoxTimer = std::function<void(int seconds, QObject* box, std::function<void()> over)>;
InputBoxTimer& InputBoxWait();
