#pragma once
// "Client Information": name, ID, age, sex, race, education, marital status and date of
// birth of a new client, or of an existing one for correction (at most three changes).
#include <array>

#include <QDialog>

#include "clients/ClientValidation.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class MaskedDateEdit;

class frmClientInfo : public QDialog {
    Q_OBJECT

public:
    explicit frmClientInfo(QWidget* parent = nullptr);
    ~frmClientInfo() override;

    // Shows the form modally; InputAccepted tells the caller how it ended.
    int exec() override;
    // What the form does when it becomes active: placing, focus, the lock messages.
    void Activate();

    void RecordToScreen();
    void RecordToDB();
    void CountFieldChange(const QString& fieldKey);
    void DisableClientFields();
    // What the eight controls hold now.
    ClientInfoValues Values() const;
    void ChooseMenu(int index);
    // Closing the window any way but "Information OK" is "Cancel Input".
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Field(int field) const;
    int FieldOf(QObject* watched) const;
    void FocusMoved(QWidget* now);
    // The client's information may no longer be changed (name deleted, three changes).
    bool Locked() const;
    void FieldGotFocus(int field);
    void FieldLostFocus(int field);
    // A single "n" in a text field is shown and stored as "N".
    void UpperCaseNotAvailable(int field);
    // Enter in a field: accepted moves on, refused beeps and explains.
    void EnterInField(int field);
    void RefuseField(int field);
    bool FilterComboKey(QComboBox* combo, const QString& allowed, QKeyEvent* key);
    void RecognizeListText(QComboBox* combo);
    void UpdateButtonStatus();
    void InformationOk();

    EditCounter editCounter_;
    QString editCountSnapshot_;
    bool recognizing_ = false;
    bool closing_ = false;
    int focusedField_ = -1;
    QMetaObject::Connection focusWatch_;  // the field the operator is in, -1 on the buttons

    QGroupBox* frClient = nullptr;
    std::array<QLabel*, ClientInfoValues::FieldCount> lblInfo{};
    QLineEdit* txtName = nullptr;
    QLineEdit* txtSSN = nullptr;
    QLineEdit* txtAge = nullptr;
    QComboBox* cmbGender = nullptr;
    QComboBox* cmbRace = nullptr;
    QLineEdit* txtEducation = nullptr;
    QComboBox* cmbMarital = nullptr;
    MaskedDateEdit* mebDateOfBirth = nullptr;
    std::array<QPushButton*, 2> cmdMenuChoice{};
    std::array<QFrame*, 2> sspMenuChoice{};
    QLabel* MsgPanel = nullptr;
};
