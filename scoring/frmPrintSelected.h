#pragma once
// Print Selected Reports: every client in a list where several can be chosen; the chosen
// clients' reports are printed in list order.
#include <array>

#include <QDialog>

#include "scoring/ReportWriter.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class frmPrintSelected : public QDialog {
    Q_OBJECT

public:
    // With `toPdf`, the reports go into one PDF file instead of the printer; where it goes is
    // asked once the clients are chosen.
    explicit frmPrintSelected(QWidget* parent = nullptr, bool toPdf = false,
                              SummaryPage summary = SummaryPage::Without);
    int exec() override;
    void Activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseMenu(int index);
    void UpdatePrintButton();
    void PrintSelected();
    bool toPdf_ = false;
    SummaryPage summary_ = SummaryPage::Without;

    QGroupBox* fraAll = nullptr;
    QGroupBox* fraClientList = nullptr;
    QListWidget* lbNameDisplay = nullptr;
    QPlainTextEdit* txtInstructions = nullptr;
    std::array<QPushButton*, 3> cmdMenuChoice{};  // Print Selected, Select All, Return to Main Menu
    QLabel* MsgPanel = nullptr;
};
