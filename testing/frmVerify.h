#pragma once
// "Test Data Input Verification": the answers of the current client typed a second time
// from the paper answer sheet, then the items that disagree typed once more.
#include <QDialog>

#include "testing/Verification.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmVerify : public QDialog {
    Q_OBJECT

public:
    explicit frmVerify(QWidget* parent = nullptr);

    int exec() override;
    // Placing and the first question; exec() does this before the form shows.
    void Activate();

    Verification Verify;
    // The pass has ended but the record could not be written: Enter tries again.
    bool SavePending = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPosition();
    void TypeKey(int key, QChar typed);
    void EndPass();
    void SaveVerification();
    QString EntryStatusText() const;

    QGroupBox* frAll = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblCurQuestion = nullptr;
    QLineEdit* txtCurQuestion = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lblPrevQuestion = nullptr;
    QLineEdit* txtPrevQuestion = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* pnlMessage = nullptr;
};
