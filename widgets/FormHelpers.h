#pragma once
// The look and key handling every form shares: menu-choice buttons on coloured panels,
// a status panel, centred forms, an hourglass during longer work.
#include <functional>

#include <QColor>
#include <QObject>
#include <QRect>
#include <QStringList>

#include "base/InRange.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QFrame;
class QWidget;

// Sizes and positions of the forms are kept in twips, 15 to a pixel.
constexpr int Twips(int twips) { return (twips + 7) / 15; }
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Colour values of the forms (written &HBBGGRR where they come from).
inline const QColor Blue{0, 0, 255};    // &HFF0000
inline const QColor Cyan{0, 255, 255};  // &HFFFF00
inline const QColor White{255, 255, 255};
inline const QColor Black{0, 0, 0};

void SetBackground(QWidget* widget, const QColor& background, const QColor& text = White);
void SetBold(QWidget* widget, bool bold);
// Makes a one-line label's font smaller until its text fits inside the label: the forms'
// sizes were laid out for a narrower system font than today's desktops have.
void ShrinkFontToFit(QLabel* label);

// Centre of the screen; nothing clamps a form larger than the screen.
void CenterForm(QWidget* form);
// Centres a frame in its form, 500 twips above the true centre.
void CenterFrame(QWidget* frame);

void SetMenuChoice(QWidget* form, int lastIndex, int index);
void ClearMenuChoices(QWidget* form, int lastIndex);
// The entry method form lights a shape behind each button instead of a panel: every shape
// shpMenuChoice_0..lastIndex blue and every caption not bold.
void ClearShpButtonColor(QWidget* form, int lastIndex);
// Gives one button and its panel the focused look without touching the others.
void HighlightMenuChoice(QWidget* form, int index);

// Selects the whole text of the focused control, if it has a text.
void SelectAllText();
void ShowBusyPointer();
void ShowNormalPointer();

// The focused / unfocused look of a frame (caption bold on cyan, or normal on blue).
void SetFrameFocusLook(QGroupBox* frame, bool focused);

// Builds button cmdMenuChoice_<index> on its panel sspMenuChoice_<index> inside `parent`;
// the panel reaches 60 twips beyond the button (75 on the right).
QPushButton* MakeMenuChoice(QWidget* parent, int index, const QString& caption, int left, int top, int width,
                            int height, QFrame** panel = nullptr);

// The one-line status panel MsgPanel along the bottom of a form.
QLabel* MakeStatusPanel(QWidget* parent, const QRect& geometry);

// Focus, highlight and keys of a form's menu-choice buttons. Keys other than the space bar
// are discarded on a button; Enter runs its click.
class MenuChoicePattern : public QObject {
public:
    struct Options {
        QLabel* statusPanel = nullptr;
        QStringList statusTexts;           // per index; a null string leaves the panel alone
        bool resetBeforeHighlight = true;  // the main menu highlights without the reset
        bool clearOnFocusOut = true;
    };
    MenuChoicePattern(QWidget* form, int lastIndex, Options options, std::function<void(int)> onChoice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(QObject* watched) const;
    QWidget* form_;
    int lastIndex_;
    Options options_;
    std::function<void(int)> onChoice_;
    QList<QPushButton*> buttons_;
};

// Makes the message boxes, file questions and beeps of the program real (QMessageBox,
// AskSaveFileInDialog, the system beep).
void InstallUiServices();

// The file question as the operator sees it: a save dialog opened on `suggested`.
QString AskSaveFileInDialog(const QString& title, const QString& suggested, const QString& filter);
