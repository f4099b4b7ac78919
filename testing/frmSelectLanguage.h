#pragma once
// The language screen: the operator picks the language of an on-screen test from the
// language tables of the question bank.
#include <array>

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

class frmSelectLanguage : public QDialog {
    Q_OBJECT

public:
    explicit frmSelectLanguage(QWidget* parent = nullptr);

    // Opens the question bank, puts each language table on the next language slot (slot 0
    // first, English before Spanish), closes the bank again and returns how many it found.
    // A missing or unreadable bank, or one without a language, is reported to the operator
    // and gives 0. The form is not shown; the slots stay filled for a later showing.
    qint16 LanguageCount();

    // The language on slot 0: the one to give the test in when LanguageCount() found only it.
    QString OnlyLanguage() const;

    // The chosen language (the caption of the chosen slot); empty until one is chosen.
    // The presentation of the test takes it from here.
    QString Language;

    // Shows the screen modally. Without any language on a slot it is not shown at all and
    // counts as cancelled, without abandoning the client.
    int exec() override;
    // What happens each time the screen comes up: frame centred, no choice lit, focus on slot 0.
    void Activate();
    // The action of button `index`: 0..2 choose that language, 3 cancels the presentation.
    void ChooseMenu(int index);
    // Closing the window counts as "Cancel Presentation".
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int LanguageSlots() const;

    QGroupBox* fraSelectMethod = nullptr;
    std::array<QPushButton*, 4> cmdMenuChoice{};
    std::array<QFrame*, 4> sspMenuChoice{};
    QLabel* MsgPanel = nullptr;
};
