#include "testing/frmSelectEntryMethod.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "widgets/FormHelpers.h"

namespace {
constexpr int HiddenChoice = 2;
// Sizes in twips.
constexpr int FormWidth = 9000;
constexpr int ButtonWidth = 4200;
constexpr int ButtonLeft = (FormWidth - 2400 - ButtonWidth) / 2;
}  // namespace

frmSelectEntryMethod::frmSelectEntryMethod(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectEntryMethod"));
    setWindowTitle(QStringLiteral("Entry Method"));
    // Wider than the language screen: the captions and status texts here are longer.
    setFixedSize(Twips(FormWidth), Twips(4740));
    SetBackground(this, Blue);

    frBlank = new QGroupBox(this);
    frBlank->setObjectName(QStringLiteral("frBlank"));
    frBlank->setGeometry(TwipsRect(1200, 330, FormWidth - 2400, 3075));
    SetFrameFocusLook(frBlank, false);

    fraSelectMethod = new QGroupBox(QStringLiteral("Select Client Data Entry Method"), this);
    fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    fraSelectMethod->setGeometry(frBlank->geometry());
    SetFrameFocusLook(fraSelectMethod, false);

    const char* captions[] = {"Administer Test to Client", "Enter Test Data from Answer Sheet", "",
                              "Cancel New Client Entry"};
    // The hidden choice sits below the others; the three visible ones stay together.
    const int tops[] = {480, 1080, 2280, 1680};
    for (int i = 0; i <= LastMenuChoice; ++i) {
        auto* shape = new QFrame(fraSelectMethod);
        shape->setObjectName(QStringLiteral("shpMenuChoice_%1").arg(i));
        shape->setGeometry(TwipsRect(ButtonLeft - 60, tops[i] - 60, ButtonWidth + 135, 435 + 120));
        shpMenuChoice[i] = shape;
        cmdMenuChoice[i] =
            MakeMenuChoice(fraSelectMethod, i, QString::fromLatin1(captions[i]), ButtonLeft, tops[i], ButtonWidth, 435);
        // MakeMenuChoice gives every button a panel; this form draws its shapes instead.
        delete fraSelectMethod->findChild<QFrame*>(QStringLiteral("sspMenuChoice_%1").arg(i));
        cmdMenuChoice[i]->installEventFilter(this);
    }
    cmdMenuChoice[HiddenChoice]->hide();
    shpMenuChoice[HiddenChoice]->hide();
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);
    QWidget::setTabOrder(cmdMenuChoice[1], cmdMenuChoice[3]);
    QWidget::setTabOrder(cmdMenuChoice[3], cmdMenuChoice[2]);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, 4365, FormWidth, 375));

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {
        QStringLiteral("Onscreen Presentation. Enter client information then present the test on the computer."),
        QStringLiteral("Paper-Pencil Presentation. Manually enter test information from completed answer sheet."),
        QString(),
        QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."),
    };
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    // The buttons let no key but Enter and the space bar through; Escape must still leave.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmSelectEntryMethod::reject);
}

int frmSelectEntryMethod::exec()
{
    CenterForm(this);
    Activate();
    cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

void frmSelectEntryMethod::Activate()
{
    CenterFrame(fraSelectMethod);
    frBlank->move(fraSelectMethod->pos());
    ClearShpButtonColor(this, LastMenuChoice);
}

bool frmSelectEntryMethod::eventFilter(QObject* watched, QEvent* event)
{
    for (int i = 0; i <= LastMenuChoice; ++i) {
        if (watched != cmdMenuChoice[i])
            continue;
        if (event->type() == QEvent::FocusIn)
            SetBackground(shpMenuChoice[i], Cyan, Black);
        else if (event->type() == QEvent::FocusOut)
            SetBackground(shpMenuChoice[i], Blue);
    }
    return QDialog::eventFilter(watched, event);
}

void frmSelectEntryMethod::ChooseMenu(int index)
{
    if (working_)
        return;
    switch (index) {
    case 0:
    case 1:
        working_ = true;
        emit MethodChosen(index == 0 ? EntryMethod::OnScreen : EntryMethod::AnswerSheet);
        Unload();
        break;
    case HiddenChoice:
        fraSelectMethod->hide();
        Unload();
        break;
    default: Unload(); break;
    }
}

void frmSelectEntryMethod::reject()
{
    if (!working_)
        Unload();
}

void frmSelectEntryMethod::Unload()
{
    working_ = false;
    QDialog::done(QDialog::Rejected);
}

void frmSelectEntryMethod::ShowContinuePrompt()
{
    fraSelectMethod->hide();
    MsgPanel->setText(QStringLiteral("Press the Enter key to continue."));
}
