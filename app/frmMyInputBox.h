#pragma once
// The program's own modal input box: a help message, one field, two menu-choice buttons.
#include <array>

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
    // Read after it closed.
    QString InputValue;
    bool Cancelled = false;

    QLabel* lblHelpMsg = nullptr;
    QLineEdit* txtInput = nullptr;
    std::array<QPushButton*, 2> cmdMenuChoice{};
    std::array<QFrame*, 2> sspMenuChoice{};

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
};
