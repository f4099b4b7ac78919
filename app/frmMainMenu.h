#pragma once
// The home screen for the whole run: the client list and the workflows.
#include <array>
#include <functional>
#include <optional>

#include <QMainWindow>
#include <QPointer>
#include <QWindow>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;
class frmDriveSelect;
class MenuChoicePattern;

class frmMainMenu : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMainMenu(QWidget* parent = nullptr);
    ~frmMainMenu() override;

    // Runs whenever the menu becomes active again, and once at the end of start-up.
    void Activate();
    void RefreshNameDisplay();
    void UpdateEditButton();
    // The capacity rule: no new client once the table is full.
    void ApplyCapacityRule();
    // The action of menu choice `index` (0..3).
    void ChooseMenu(int index);
    // The menu makes way for the workflows of the current client and of a new one.
    void EditCurrentClient();
    void AddNewClient();
    void OpenSupervisorOptions();
    // The end of every workflow: the menu shown and activated again, the keyboard in the list.
    void ComeBack();
    // Shows the drive chooser modally and returns the drive chosen in it; nothing when the
    // chooser was closed (Escape).
    std::optional<QString> AskForDrive();
    // The chooser, created on first use and kept (hidden) afterwards.
    frmDriveSelect* DriveSelectForm();
    // Puts the keyboard where the operator needs it: the list when there are clients.
    void FocusStartControl();

    // The program's logo beside the menu, once start-up has drawn the splash.
    void ShowLogo();
    // The ticks of the Options menu as the settings stand.
    void ShowOptions(bool numLock, bool printDOS);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenuBar();
    void OnClientSelected();
    void ToggleNumLock();
    void TogglePrintDOS();
    void ShowAbout();
    void SelectDrive();
    void UnloadOtherForms();

    MenuChoicePattern* menuChoices_ = nullptr;
    frmDriveSelect* driveSelect_ = nullptr;
    QPointer<QWindow> lastFocusWindow_;

    QFrame* frMainMenu = nullptr;
    QGroupBox* fraClient = nullptr;
    QListWidget* lbNameDisplay = nullptr;
    std::array<QPushButton*, 4> cmdMenuChoice{};
    std::array<QFrame*, 4> sspMenuChoice{};
    QLabel* imgCVNLogo = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* MsgPanel = nullptr;
    QTimer* timNumLock = nullptr;

    QAction* mnuExit = nullptr;
    QMenu* mnuAudio = nullptr;
    QAction* mnuDrive = nullptr;
    QAction* mnuOptionsNumLock = nullptr;
    QAction* mnuOptionsPrintDOS = nullptr;
    QAction* mnuHelpAbout = nullptr;

    bool selectingDrive_ = false;
};
