#pragma once
// One client on the data disk: 24 fixed-length text fields, 154 bytes in the file.
#include <QByteArray>
#include <QString>

#include "base/Ansi.h"

// A fixed-length text field: assigning cuts or blank-fills to exactly N characters,
// so the record in memory always has the shape it has on disk.
template <int N>
class FixedText {
public:
    static constexpr int Length = N;

    FixedText() : text_(N, QLatin1Char(' ')) {}
    FixedText(const QString& s) : text_(FitToLength(s, N)) {}
    FixedText(const char* s) : text_(FitToLength(QString::fromUtf8(s), N)) {}

    FixedText& operator=(const QString& s)
    {
        text_ = FitToLength(s, N);
        return *this;
    }
    FixedText& operator=(const char* s)
    {
        text_ = FitToLength(QString::fromUtf8(s), N);
        return *this;
    }

    operator QString() const { return text_; }
    const QString& text() const { return text_; }
    // The value as readers use it: without leading and trailing blanks.
    QString trimmed() const { return TrimBlanks(text_); }

    bool operator==(const FixedText& other) const = default;

private:
    QString text_;
};

constexpr int RecordLength = 154;
constexpr int AnswerCount = 64;

struct ClientRecord {
    FixedText<25> Name;
    FixedText<11> SSN;
    FixedText<3> Age;
    FixedText<1> Gender;
    FixedText<1> Race;
    FixedText<2> Education;
    FixedText<1> Marital;
    FixedText<10> TestDate;
    FixedText<2> AgeAtFirstConviction;
    FixedText<2> MisdemeanorConvictions;
    FixedText<2> FelonyConvictions;
    FixedText<2> TimesOnProbation;
    FixedText<2> ProbationRevocations;
    FixedText<2> AlcoholConvictions;
    FixedText<2> TimesOnParole;
    FixedText<2> ParoleRevocations;
    FixedText<2> TimesJail;
    FixedText<2> TimesPrison;
    FixedText<2> YearsJailAndPrison;
    FixedText<2> DrugConvictions;
    FixedText<64> Answers;
    FixedText<1> EditCount;
    FixedText<1> NameDeleted;
    FixedText<10> DateOfBirth;

    bool operator==(const ClientRecord& other) const = default;

    // Calls f(name, field) for the 24 fields in file order.
    template <typename Record, typename F>
    static void ForEachField(Record& r, F&& f)
    {
        f("Name", r.Name);
        f("SSN", r.SSN);
        f("Age", r.Age);
        f("Gender", r.Gender);
        f("Race", r.Race);
        f("Education", r.Education);
        f("Marital", r.Marital);
        f("TestDate", r.TestDate);
        f("AgeAtFirstConviction", r.AgeAtFirstConviction);
        f("MisdemeanorConvictions", r.MisdemeanorConvictions);
        f("FelonyConvictions", r.FelonyConvictions);
        f("TimesOnProbation", r.TimesOnProbation);
        f("ProbationRevocations", r.ProbationRevocations);
        f("AlcoholConvictions", r.AlcoholConvictions);
        f("TimesOnParole", r.TimesOnParole);
        f("ParoleRevocations", r.ParoleRevocations);
        f("TimesJail", r.TimesJail);
        f("TimesPrison", r.TimesPrison);
        f("YearsJailAndPrison", r.YearsJailAndPrison);
        f("DrugConvictions", r.DrugConvictions);
        f("Answers", r.Answers);
        f("EditCount", r.EditCount);
        f("NameDeleted", r.NameDeleted);
        f("DateOfBirth", r.DateOfBirth);
    }
};

// The record as its 154 bytes in the data file, and back.
QByteArray RecordToBytes(const ClientRecord& record);
ClientRecord RecordFromBytes(const char* bytes);
