#pragma once
// The report viewer: scores the current client afresh, shows REPORT.PRN in a fixed-pitch
// font with its page breaks, prints it or saves it as PDF.
#include <array>

#include <QDialog>

#include "scoring/ReportWriter.h"

class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmViewReport : public QDialog {
    Q_OBJECT

public:
    explicit frmViewReport(QWidget* parent = nullptr, SummaryPage summary = SummaryPage::Without);
    ~frmViewReport() override;

    // Scores the current client and shows the report; a failed scoring is told and the
    // viewer does not open (Rejected).
    int exec() override;
    // Scores and loads the report; false, after telling the operator, when there is none.
    bool Activate();

    // The text shown for a report: its pages, each page break drawn as a rule.
    static QString DisplayText(const QString& report);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseMenu(int index);
    void SaveAsPdf();
    bool busy_ = false;
    SummaryPage summary_ = SummaryPage::Without;

    QGroupBox* fraAll = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    std::array<QPushButton*, 3> cmdMenuChoice{};  // Print Report, Save as PDF..., Close
    QLabel* MsgPanel = nullptr;
};

// Shows the viewer for CurrentClient.
void ShowViewReport(QWidget* parent, SummaryPage summary = SummaryPage::Without);
