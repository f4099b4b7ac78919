#pragma once
// The rules of the client information and court history forms, without any widget.
#include <array>

#include <QString>

#include "base/ClientRecord.h"

// One or two digits and nothing else; the empty text is not a number.
bool IsWholeNumber(const QString& text);

// Field checks made when the operator presses Enter. `text` is the field as typed;
// a single "n" counts as "N" (the form shows it upper-cased).
bool AcceptName(const QString& text);
bool AcceptSSN(const QString& text);        // "N" or exactly 11 characters
bool AcceptAge(const QString& text);        // "N" or 11..99
bool AcceptEducation(const QString& text);  // "N" or 0..99
// The date field as displayed ("__/__/____" when empty): "N_/__/____", or no blank left
// and a real calendar date read as month/day/year.
bool AcceptDateOfBirth(const QString& displayed);

// The final plausibility check of a date of birth "mm/dd/yyyy": a real date with the
// year from 1890 to 2000.
bool GoodDate(const QString& text);

// Court history values: "N" (upper-cased into `text`) or a whole number from min to max.
bool ValidateCourtValue(QString& text, int min, int max);
bool ValidateFirstConviction(const QString& text);

// The eight client-information fields as the form holds them. A list position of -1
// means no entry is selected.
struct ClientInfoValues {
    QString Name;
    QString SSN;
    QString Age;
    int Gender = -1;
    int Race = -1;
    QString Education;
    int Marital = -1;
    QString DateOfBirth;  // as displayed by the date field

    static constexpr int FieldCount = 8;
};

// Field indexes in tab order; also the order "Information OK" checks them in.
enum ClientInfoField {
    FieldName,
    FieldSSN,
    FieldAge,
    FieldGender,
    FieldRace,
    FieldEducation,
    FieldMarital,
    FieldDateOfBirth
};

// The keys the edit counter knows the fields by.
extern const std::array<const char*, ClientInfoValues::FieldCount> ClientInfoFieldKeys;

// What the form shows for a stored record (a date of birth beginning with "N" shows as "N").
ClientInfoValues InfoFromRecord(const ClientRecord& record);
// The first field "Information OK" finds empty, or -1.
int FirstEmptyField(const ClientInfoValues& values);
// True when every stored field (trimmed) equals what the form holds.
bool InfoMatchesRecord(const ClientInfoValues& values, const ClientRecord& record);
// Stores the eight fields into the record as typed; the codes as one digit each.
void StoreInfo(const ClientInfoValues& values, ClientRecord& record);
// The fields a new client's record gets besides the form's: no answers yet, never edited,
// name not deleted, today's date.
void StartNewRecord(ClientRecord& record);

// The edit limit of an existing client: every change of a field counts once when the
// field is left; the third counted change locks the information for good.
class EditCounter {
public:
    enum class Outcome { Unchanged, Counted, LimitReached };
    static constexpr int Limit = 3;

    // Snapshots of the fields as the form opened with them.
    void TakeSnapshots(const ClientInfoValues& values);
    void ClearSnapshots();
    // Compares one field with its snapshot and counts a change into `editCount`.
    Outcome CountFieldChange(int field, const ClientInfoValues& current, qint16& editCount);

private:
    std::array<QString, ClientInfoValues::FieldCount> snapshot_{};
};

// The court history fields in form order (two columns of six).
struct CourtField {
    const char* Control;
    const char* Caption;
    FixedText<2> ClientRecord::*Field;
};
constexpr int CourtFieldCount = 12;
extern const std::array<CourtField, CourtFieldCount> CourtFields;
// The order in which "Information OK" checks the court history boxes.
extern const std::array<int, CourtFieldCount> CourtCheckOrder;
