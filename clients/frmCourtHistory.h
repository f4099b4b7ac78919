#pragma once
// "Court History": twelve counts from the client's court record, each two digits or N.
#include <array>

#include <QDialog>

#include "clients/ClientValidation.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmCourtHistory : public QDialog {
    Q_OBJECT

public:
    explicit frmCourtHistory(QWidget* parent = nullptr);

    int exec() override;
    void Activate();
    void GetCourtData();
    void SaveCourtData();
    void ChooseMenu(int index);
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int BoxOf(QObject* watched) const;
    // Enter in box `index`: true when the value was accepted and the focus moved on.
    bool EnterInBox(int index);
    void InformationOk();

    QGroupBox* frCourt = nullptr;
    QLabel* lblClientName = nullptr;
    std::array<QLineEdit*, CourtFieldCount> txtCourt{};
    std::array<QLabel*, CourtFieldCount> lblInfo{};
    std::array<QPushButton*, 2> cmdMenuChoice{};
    std::array<QFrame*, 2> sspMenuChoice{};
    QLabel* MsgPanel = nullptr;
};
