#include "clients/ClientValidation.h"

#include <QDate>

#include "base/InRange.h"

namespace {

bool IsNotAvailable(const QString& text) { return text.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0; }

// Month, day and year of a "mm/dd/yyyy" text, or false when the text has another shape.
bool SplitDate(const QString& text, int& month, int& day, int& year)
{
    if (text.size() != 10 || text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/'))
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!text[i].isDigit() || text[i].unicode() > 127)
            return false;
    }
    month = text.mid(0, 2).toInt();
    day = text.mid(3, 2).toInt();
    year = text.mid(6, 4).toInt();
    return true;
}

bool IsCalendarDate(const QString& text)
{
    int month = 0, day = 0, year = 0;
    // Years before 100 are not dates anyone types as a date of birth with four digits.
    return SplitDate(text, month, day, year) && year >= 100 && QDate(year, month, day).isValid();
}

QString CodeDigit(int code) { return code >= 0 ? QString::number(code) : QString(); }

int StoredCode(const FixedText<1>& field)
{
    bool ok = false;
    const int code = field.trimmed().toInt(&ok);
    return ok ? code : -1;
}

// What a field holds, as the edit counter compares it (list positions as digits).
QString FieldValue(const ClientInfoValues& v, int field)
{
    switch (field) {
    case FieldName: return v.Name;
    case FieldSSN: return v.SSN;
    case FieldAge: return v.Age;
    case FieldGender: return QString::number(v.Gender);
    case FieldRace: return QString::number(v.Race);
    case FieldEducation: return v.Education;
    case FieldMarital: return QString::number(v.Marital);
    case FieldDateOfBirth: return v.DateOfBirth;
    }
    return QString();
}

// "N_/__/____" on the form is "N" in the record; comparing the stored forms keeps an
// unchanged "not available" date from looking like an edit.
QString StoredDateOfBirth(const QString& displayed)
{
    return displayed.toUpper().startsWith(QLatin1Char('N')) ? QStringLiteral("N") : displayed;
}

constexpr const char* EmptyDate = "__/__/____";
constexpr const char* NotAvailableDate = "N_/__/____";

}  // namespace

bool IsWholeNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 2)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool AcceptName(const QString& text) { return !text.isEmpty(); }

bool AcceptSSN(const QString& text)
{
    const QString t = TrimBlanks(text);
    return IsNotAvailable(t) || t.size() == 11;
}

bool AcceptAge(const QString& text)
{
    const QString t = TrimBlanks(text);
    return IsNotAvailable(t) || (IsWholeNumber(t) && t.toInt() > 10 && t.toInt() < 100);
}

bool AcceptEducation(const QString& text)
{
    const QString t = TrimBlanks(text);
    return IsNotAvailable(t) || (IsWholeNumber(t) && InRange(t.toInt(), 0, 99));
}

bool AcceptDateOfBirth(const QString& displayed)
{
    const QString t = TrimBlanks(displayed).toUpper();
    if (t == QLatin1String(NotAvailableDate))
        return true;
    return !t.contains(QLatin1Char('_')) && IsCalendarDate(t);
}

bool GoodDate(const QString& text)
{
    int month = 0, day = 0, year = 0;
    if (!IsCalendarDate(text) || !SplitDate(text, month, day, year))
        return false;
    if (!InRange(month, 1, 12) || !InRange(day, 1, 31))
        return false;
    if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11))
        return false;
    if (month == 2 && day > 29)
        return false;
    return InRange(year, 1890, 2000);
}

bool ValidateCourtValue(QString& text, int min, int max)
{
    if (IsNotAvailable(text)) {
        text = QStringLiteral("N");
        return true;
    }
    return IsWholeNumber(text) && InRange(text.toInt(), min, max);
}

bool ValidateFirstConviction(const QString& text)
{
    QString t = text;
    return ValidateCourtValue(t, 5, 99);
}

const std::array<const char*, ClientInfoValues::FieldCount> ClientInfoFieldKeys = {
    "Name", "SSN", "Age", "Gender", "Race", "Education", "Marital", "DateOfBirth"};

ClientInfoValues InfoFromRecord(const ClientRecord& record)
{
    ClientInfoValues v;
    v.Name = record.Name.trimmed();
    v.SSN = record.SSN.trimmed();
    v.Age = record.Age.trimmed();
    v.Gender = StoredCode(record.Gender);
    v.Race = StoredCode(record.Race);
    v.Education = record.Education.trimmed();
    v.Marital = StoredCode(record.Marital);
    const QString dob = record.DateOfBirth.trimmed();
    v.DateOfBirth = dob.startsWith(QLatin1Char('N')) ? QStringLiteral("N") : dob;
    return v;
}

int FirstEmptyField(const ClientInfoValues& v)
{
    if (v.Name.isEmpty())
        return FieldName;
    if (v.SSN.isEmpty())
        return FieldSSN;
    if (v.Age.isEmpty())
        return FieldAge;
    if (v.Gender < 0)
        return FieldGender;
    if (v.Race < 0)
        return FieldRace;
    if (v.Education.isEmpty())
        return FieldEducation;
    if (v.Marital < 0)
        return FieldMarital;
    if (v.DateOfBirth.isEmpty() || v.DateOfBirth == QLatin1String(EmptyDate))
        return FieldDateOfBirth;
    return -1;
}

bool InfoMatchesRecord(const ClientInfoValues& v, const ClientRecord& r)
{
    return r.Name.trimmed() == v.Name && r.SSN.trimmed() == v.SSN && r.Age.trimmed() == v.Age &&
           r.Gender.trimmed() == CodeDigit(v.Gender) && r.Race.trimmed() == CodeDigit(v.Race) &&
           r.Education.trimmed() == v.Education && r.Marital.trimmed() == CodeDigit(v.Marital) &&
           r.DateOfBirth.trimmed() == StoredDateOfBirth(v.DateOfBirth);
}

void StoreInfo(const ClientInfoValues& v, ClientRecord& r)
{
    r.Name = v.Name;
    r.SSN = v.SSN;
    r.Age = v.Age;
    r.Gender = CodeDigit(v.Gender);
    r.Race = CodeDigit(v.Race);
    r.Education = v.Education;
    r.Marital = CodeDigit(v.Marital);
    r.DateOfBirth = StoredDateOfBirth(v.DateOfBirth);
}

void StartNewRecord(ClientRecord& r)
{
    r.Answers = QString(AnswerCount, QLatin1Char('0'));
    r.NameDeleted = "0";
    r.EditCount = "0";
    r.TestDate = QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy"));
}

void EditCounter::TakeSnapshots(const ClientInfoValues& values)
{
    for (int i = 0; i < ClientInfoValues::FieldCount; ++i)
        snapshot_[i] = FieldValue(values, i);
}

void EditCounter::ClearSnapshots() { snapshot_.fill(QString()); }

EditCounter::Outcome EditCounter::CountFieldChange(int field, const ClientInfoValues& current, qint16& editCount)
{
    const QString value = FieldValue(current, field);
    if (value == snapshot_[field])
        return Outcome::Unchanged;
    ++editCount;
    if (editCount < Limit) {
        // The same field changed again later counts again.
        snapshot_[field] = value;
        return Outcome::Counted;
    }
    editCount = Limit;
    return Outcome::LimitReached;
}

const std::array<CourtField, CourtFieldCount> CourtFields = {{
    {"txtAgeAtFirstConviction", "Age at first conviction:", &ClientRecord::AgeAtFirstConviction},
    {"txtMisdemeanorConvictions", "Number of misdemeanor convictions:", &ClientRecord::MisdemeanorConvictions},
    {"txtFelonyConvictions", "Number of felony convictions:", &ClientRecord::FelonyConvictions},
    {"txtTimesOnProbation", "Number of times on probation:", &ClientRecord::TimesOnProbation},
    {"txtProbationRevocations", "Number of probation revocations:", &ClientRecord::ProbationRevocations},
    {"txtAlcoholConvictions", "Number of alcohol-related convictions:", &ClientRecord::AlcoholConvictions},
    {"txtTimesOnParole", "Number of times on parole:", &ClientRecord::TimesOnParole},
    {"txtParoleRevocations", "Number of parole revocations:", &ClientRecord::ParoleRevocations},
    {"txtTimesJail", "Number of times sentenced to jail:", &ClientRecord::TimesJail},
    {"txtTimesPrison", "Number of times sentenced to prison:", &ClientRecord::TimesPrison},
    {"txtYearsJailAndPrison", "Number of years in jail and prison:", &ClientRecord::YearsJailAndPrison},
    {"txtDrugConvictions", "Number of drug-related convictions:", &ClientRecord::DrugConvictions},
}};

// First conviction, misdemeanors, probation, revocations, felonies, jail, prison, alcohol,
// drugs, parole revocations, parole, years.
const std::array<int, CourtFieldCount> CourtCheckOrder = {0, 1, 3, 4, 2, 8, 9, 5, 11, 7, 6, 10};
