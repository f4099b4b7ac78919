#include "app/frmMainMenu.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "app/DriveSelect.h"
#include "app/KeyState.h"
#include "app/Settings.h"
#include "app/Workflows.h"
#include "app/ZepLogo.h"
#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"
#include "base/Program.h"
#include "scoring/frmSupervisorOptions.h"
#include "widgets/FormHelpers.h"

namespace {
constexpr int LastMenuChoice = 3;
// The client list is wider than the form was first drawn with, so that "51-" and a
// 25-character name fit beside the scroll bar in today's desktop fonts.
constexpr int ListWidening = 1050;
}  // namespace

frmMainMenu::frmMainMenu(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainMenu"));
    setWindowTitle(QStringLiteral("ZEP - Adult Probation Short Form"));

    auto* form = new QWidget(this);
    form->setObjectName(QStringLiteral("frmMainMenuArea"));
    form->setFixedSize(Twips(8985), Twips(6090));
    SetBackground(form, Blue);
    setCentralWidget(form);

    frMainMenu = new QFrame(form);
    frMainMenu->setObjectName(QStringLiteral("frMainMenu"));
    frMainMenu->setGeometry(TwipsRect(1380 - ListWidening, 120, 5535 + ListWidening, 5475));

    fraClient = new QGroupBox(QStringLiteral("Client List"), frMainMenu);
    fraClient->setObjectName(QStringLiteral("fraClient"));
    fraClient->setGeometry(TwipsRect(120, 180, 2775 + ListWidening, 4455));
    SetFrameFocusLook(fraClient, false);

    lbNameDisplay = new QListWidget(fraClient);
    lbNameDisplay->setObjectName(QStringLiteral("lbNameDisplay"));
    lbNameDisplay->setGeometry(TwipsRect(120, 270, 2535 + ListWidening, 3960));
    lbNameDisplay->setSelectionMode(QAbstractItemView::SingleSelection);
    lbNameDisplay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Names are stored blank-filled to 25 characters: eliding would cut the name to make
    // room for its trailing blanks.
    lbNameDisplay->setTextElideMode(Qt::ElideNone);
    lbNameDisplay->installEventFilter(this);
    connect(lbNameDisplay, &QListWidget::itemSelectionChanged, this, &frmMainMenu::OnClientSelected);
    connect(lbNameDisplay, &QListWidget::itemClicked, this, &frmMainMenu::OnClientSelected);

    const char* captions[] = {"Edit Current Client", "Add New Client", "Supervisor Options", "Exit Application"};
    const int tops[] = {300, 840, 1440, 2040};
    for (int i = 0; i <= LastMenuChoice; ++i)
        cmdMenuChoice[i] = MakeMenuChoice(frMainMenu, i, QString::fromLatin1(captions[i]), 3120 + ListWidening, tops[i],
                                          2235, 375, &sspMenuChoice[i]);
    cmdMenuChoice[0]->setEnabled(false);

    Image1 = new QLabel(frMainMenu);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(TwipsRect(3240 + ListWidening, 2640, 1890, 2730));
    Image1->setPixmap(ZepLogo(Image1->size()));
    Image1->hide();
    imgCVNLogo = new QLabel(frMainMenu);
    imgCVNLogo->setObjectName(QStringLiteral("imgCVNLogo"));
    imgCVNLogo->setGeometry(Image1->geometry());

    MsgPanel = MakeStatusPanel(form, TwipsRect(0, 5715, 8985, 375));

    // Tab order: the four choices, then the client list.
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);
    QWidget::setTabOrder(cmdMenuChoice[1], cmdMenuChoice[2]);
    QWidget::setTabOrder(cmdMenuChoice[2], cmdMenuChoice[3]);
    QWidget::setTabOrder(cmdMenuChoice[3], lbNameDisplay);

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {
        QStringLiteral("Edit client's information."),
        QStringLiteral("Enter a new client. Test client on computer or enter data from answer sheet."),
        QStringLiteral("Print client report, verify data entry or delete client names."),
        QStringLiteral("Quit the program."),
    };
    options.resetBeforeHighlight = false;
    menuChoices_ = new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });

    BuildMenuBar();

    timNumLock = new QTimer(this);
    timNumLock->setObjectName(QStringLiteral("timNumLock"));
    timNumLock->setInterval(1000);
    connect(timNumLock, &QTimer::timeout, this, [] { SetNumLockState(program().NumLockOn); });
    timNumLock->start();

    adjustSize();
    setFixedSize(sizeHint());

    // Coming back to the menu from another of the program's forms (the about box, say)
    // runs the activation routine; a message box or another program's window does not.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        QWindow* before = lastFocusWindow_.data();
        lastFocusWindow_ = now;
        if (!now || now != windowHandle() || !before || selectingDrive_)
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowHandle() == before && w != driveSelect_ && w->objectName().startsWith(QLatin1String("frm"))) {
                Activate();
                return;
            }
        }
    });
}

frmMainMenu::~frmMainMenu() = default;

void frmMainMenu::BuildMenuBar()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    mnuExit = bar->addAction(QStringLiteral("E&xit!"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, [this] { ChooseMenu(3); });

    mnuAudio = bar->addMenu(QStringLiteral("&Options"));
    mnuAudio->setObjectName(QStringLiteral("mnuAudio"));
    mnuDrive = mnuAudio->addAction(QStringLiteral("Select &Drive"));
    mnuDrive->setObjectName(QStringLiteral("mnuDrive"));
    connect(mnuDrive, &QAction::triggered, this, &frmMainMenu::SelectDrive);
    mnuOptionsNumLock = mnuAudio->addAction(QStringLiteral("&Num Lock Always On"));
    mnuOptionsNumLock->setObjectName(QStringLiteral("mnuOptionsNumLock"));
    mnuOptionsNumLock->setCheckable(true);
    connect(mnuOptionsNumLock, &QAction::triggered, this, &frmMainMenu::ToggleNumLock);
    mnuOptionsPrintDOS = mnuAudio->addAction(QStringLiteral("&Print to DOS port"));
    mnuOptionsPrintDOS->setObjectName(QStringLiteral("mnuOptionsPrintDOS"));
    mnuOptionsPrintDOS->setCheckable(true);
    connect(mnuOptionsPrintDOS, &QAction::triggered, this, &frmMainMenu::TogglePrintDOS);

    mnuHelpAbout = bar->addAction(QStringLiteral("&About..."));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMainMenu::ShowAbout);
}

void frmMainMenu::ShowLogo() { imgCVNLogo->setPixmap(Image1->pixmap()); }

void frmMainMenu::ShowOptions(bool numLock, bool printDOS)
{
    mnuOptionsNumLock->setChecked(numLock);
    mnuOptionsPrintDOS->setChecked(printDOS);
}

void frmMainMenu::Activate()
{
    Program& p = program();
    CenterFrame(frMainMenu);
    ClearMenuChoices(this, LastMenuChoice);
    UpdateEditButton();
    if (p.ClientCount == 0)
        p.CurrentClient = 0;
    RefreshNameDisplay();
    ApplyCapacityRule();
    cmdMenuChoice[0]->setEnabled(false);
    if (p.UnloadOthersOnActivate)
        UnloadOtherForms();
}

void frmMainMenu::RefreshNameDisplay()
{
    const Program& p = program();
    if (p.ClientCount <= 0)
        return;
    lbNameDisplay->clear();
    for (int n = 1; n <= p.ClientCount; ++n)
        lbNameDisplay->addItem(QString::number(n) + QLatin1Char('-') + p.ClientTable[n].Name.text());
}

void frmMainMenu::UpdateEditButton()
{
    const QListWidgetItem* item = lbNameDisplay->currentItem();
    cmdMenuChoice[0]->setEnabled(item && item->isSelected() && !item->text().isEmpty());
}

void frmMainMenu::ApplyCapacityRule()
{
    // Re-enabled when a later look finds room again (another disk, say).
    cmdMenuChoice[1]->setEnabled(program().ClientCount < MaxClients);
}

void frmMainMenu::OnClientSelected()
{
    UpdateEditButton();
    const QListWidgetItem* item = lbNameDisplay->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString text = item->text();
    const qsizetype hyphen = text.indexOf(QLatin1Char('-'));
    program().CurrentClient = qint16(text.left(hyphen < 0 ? 0 : hyphen).toInt());
}

bool frmMainMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != lbNameDisplay)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (program().ClientCount < 1) {
            cmdMenuChoice[1]->setFocus(Qt::TabFocusReason);
            return true;
        }
        SetFrameFocusLook(fraClient, true);
        MsgPanel->setText(QStringLiteral("Use up or down arrow keys or mouse to select client."));
        UpdateEditButton();
        break;
    case QEvent::FocusOut:
        SetFrameFocusLook(fraClient, false);
        MsgPanel->clear();
        break;
    case QEvent::KeyPress: {
        UpdateEditButton();
        // With nothing picked yet the first arrow press picks the first client.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && lbNameDisplay->selectedItems().isEmpty() &&
            lbNameDisplay->count() > 0) {
            lbNameDisplay->setCurrentRow(0);
            return true;
        }
        break;
    }
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMainMenu::FocusStartControl()
{
    if (program().ClientCount > 0)
        lbNameDisplay->setFocus(Qt::OtherFocusReason);
    else
        cmdMenuChoice[1]->setFocus(Qt::OtherFocusReason);
}

void frmMainMenu::ChooseMenu(int index)
{
    switch (index) {
    case 0: EditCurrentClient(); break;
    case 1: AddNewClient(); break;
    case 2: OpenSupervisorOptions(); break;
    case 3: EndProgram(); break;
    default: break;
    }
}

void frmMainMenu::EditCurrentClient()
{
    Program& p = program();
    if (p.CurrentClient < 1 || p.CurrentClient > p.ClientCount)
        return;
    // Between the forms of this workflow the menu becomes active for a moment; the
    // forms still to come must not be closed then.
    p.UnloadOthersOnActivate = false;
    frMainMenu->hide();
    RunEditCurrentClient(this);
    ComeBack();
}

void frmMainMenu::ComeBack()
{
    program().UnloadOthersOnActivate = true;
    frMainMenu->show();
    Activate();
    // The forms of a workflow close one right after the other. A window manager may then
    // hand the keyboard to a form that is already gone and leave no window active (openbox
    // does when it is slow): the menu asks for it back itself.
    raise();
    activateWindow();
    // The button that started the workflow was hidden with the frame: give the keyboard a
    // place to start again, the list for picking the next client.
    FocusStartControl();
}

void frmMainMenu::OpenSupervisorOptions()
{
    Program& p = program();
    p.UnloadOthersOnActivate = false;
    frMainMenu->hide();
    ShowSupervisorOptions(this);
    ComeBack();
}

void frmMainMenu::AddNewClient()
{
    // The button is disabled then; the table has no slot for one more.
    if (program().ClientCount >= MaxClients)
        return;
    frMainMenu->hide();
    RunAddNewClient(this);
    ComeBack();
}

void frmMainMenu::ToggleNumLock()
{
    Program& p = program();
    p.NumLockOn = ToggleNumLockSetting(p.NumLockOn);
    // Qt has already flipped the tick; it shows what is stored, which a failed write did not change.
    mnuOptionsNumLock->setChecked(p.NumLockOn);
}

void frmMainMenu::TogglePrintDOS()
{
    Program& p = program();
    p.PrintDOS = TogglePrintDOSSetting(p.PrintDOS);
    mnuOptionsPrintDOS->setChecked(p.PrintDOS);
}

void frmMainMenu::ShowAbout()
{
    auto* about = new frmAbout(false, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->Load();
}

frmDriveSelect* frmMainMenu::DriveSelectForm()
{
    if (!driveSelect_)
        driveSelect_ = new frmDriveSelect(this);
    return driveSelect_;
}

std::optional<QString> frmMainMenu::AskForDrive()
{
    frmDriveSelect* chooser = DriveSelectForm();
    CenterForm(chooser);
    if (chooser->exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser->SelectedDrive;
}

void frmMainMenu::SelectDrive()
{
    // The keyboard goes back where it was, whichever disk the menu ends up with.
    QPointer<QWidget> before = QApplication::focusWidget();
    selectingDrive_ = true;
    DriveSelectHooks hooks;
    hooks.chooseDrive = [this] { return AskForDrive(); };
    hooks.refreshMainMenu = [this] {
        lbNameDisplay->clear();
        RefreshNameDisplay();
        ApplyCapacityRule();
    };
    const DriveSelectResult result = SelectDataDrive(false, hooks);
    selectingDrive_ = false;
    if (result == DriveSelectResult::EndProgram) {
        EndProgram();
        return;
    }
    UpdateEditButton();
    activateWindow();
    if (before && before->window() == this && before->isVisible() && before->isEnabled())
        before->setFocus(Qt::OtherFocusReason);
    else
        FocusStartControl();
}

void frmMainMenu::UnloadOtherForms()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w != driveSelect_ && w->isVisible() && w->objectName().startsWith(QStringLiteral("frm")))
            w->close();
    }
}
