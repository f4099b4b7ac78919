#pragma once
// The supervisor utilities ("the Utilities window"): reports, data verification and name
// deletion, one tab each. The form closes after every "Execute Selection".
#include <array>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmSupervisorOptions : public QDialog {
    Q_OBJECT

public:
    explicit frmSupervisorOptions(QWidget* parent = nullptr);
    ~frmSupervisorOptions() override;
    // On an empty disk the operator is told and the form does not stay.
    int exec() override;

    int PrintOption = 0;  // the last chosen print option
    bool EmptyDisk = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChangeTab(int tab);
    void SetTabColour(bool focused);
    void ChooseMenu(int index);
    void ExecuteSelection();
    void PrintReports();
    QString CurrentName() const;

    QTabWidget* sstSupervisorOperations = nullptr;
    QGroupBox* fraReportOption = nullptr;
    std::array<QRadioButton*, 4> optPrintOption{};  // the three prints, then the export of scores
    QCheckBox* chkSumPage = nullptr;
    QCheckBox* chkPdfFile = nullptr;
    std::array<QLabel*, 2> lblOptionComments{};
    QGroupBox* fraCurrentClient = nullptr;
    QLabel* lblNameDisplay = nullptr;
    std::array<QPushButton*, 2> cmdMenuChoice{};  // Execute Selection, Go to Main Menu
    QLabel* MsgPanel = nullptr;
};

// Shows the utilities from the main menu.
void ShowSupervisorOptions(QWidget* parent);
