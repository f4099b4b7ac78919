#include "testing/frmSelectEntryMethod.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "widgets/FormHelpers.h"
#include "base/MsgBox.h"
#include "widgets/Password.h"
#include "base/Program.h"
#include "clients/frmCourtHistory.h"
#include "testing/QuestionBank.h"
#include "testing/frmNewEntry.h"
#include "testing/frmPresentQA.h"
#include "testing/frmSelectLanguage.h"

namespace {
constexpr int HiddenChoice = 2;
// Sizes in twips.
constexpr int FormWidth = 9000;
constexpr int ButtonWidth = 4200;
constexpr int ButtonLeft = (FormWidth - 2400 - ButtonWidth) / 2;
} // namespace

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
        AdministerTest();
        break;
    case 1:
        EnterFromAnswerSheet();
        break;
    case HiddenChoice:
        fraSelectMethod->hide();
        Unload();
        break;
    default:
        Unload();
        break;
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

void frmSelectEntryMethod::AdministerTest()
{
    Program& p = program();
    working_ = true;
    if (!ShowClientInfoAndCourtHistory(this))
        return Unload();

    frmPresentQA present(this);
    {
        frmSelectLanguage chooser(this);
        const qint16 languages = chooser.LanguageCount();
        if (languages == 0) {
            // The operator has been told that the bank cannot be used; no test can be given.
            p.InputAccepted = false;
            return Unload();
        }
        if (languages < 2) {
            present.Language = chooser.cmdMenuChoice[0]->text();
        } else {
            p.InputAccepted = false;
            chooser.exec();
            present.Language = chooser.Language;
        }
    }
    if (!p.InputAccepted)
        return Unload();
    // The items are read while staff are still at the keyboard: a bank that cannot be used
    // is told to them, not to the client.
    if (!present.Load()) {
        ShowQuestionBankError(QStringLiteral("The test cannot be given on screen.\r\r%1").arg(present.LoadError()));
        p.InputAccepted = false;
        return Unload();
    }

    fraSelectMethod->hide();
    MsgPanel->setText(QStringLiteral("Press the Enter key to continue."));
    MsgBox::Show(QStringLiteral("Press the Enter key to begin the test."), MsgBox::Buttons::OkOnly, MsgBox::Icon::None,
                 QStringLiteral("Onscreen Presentation"));
    present.exec();
    fraSelectMethod->hide();
    QCoreApplication::processEvents();
    // The client who took the test gets back to the main menu only through the staff.
    if (p.InputAccepted)
        while (!CheckSecretCode()) {
        }
    Unload();
}

void frmSelectEntryMethod::EnterFromAnswerSheet()
{
    Program& p = program();
    working_ = true;
    if (ShowClientInfoAndCourtHistory(this)) {
        p.InputAccepted = false;
        ShowNewEntry(this);
    }
    Unload();
}
