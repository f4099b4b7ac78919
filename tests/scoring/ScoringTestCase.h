#pragma once
// Shared set-up of the scoring tests: a fresh program over a temporary folder holding small,
// hand-made scoring data, written as the real files; tests change single values and write again.
#include <array>
#include <memory>
#include <vector>

#include <QProcess>
#include <QtTest>

#include "base/Program.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScoringEngine.h"
#include "tests/support/TestSupport.h"

struct FixtureData {
    // Alcohol 11..16, Drugs 21..26, Risk 31..36.
    std::array<int, 18> SignificantItems{};
    // [section 1..2][answer value]
    QString Keys[3][5];
    int MaxRaw[3][4][5] = {};
    int Pct[5][84][4][3] = {};  // [scale][raw][race group][gender]
    std::vector<int> ScaleItems[5];
    std::array<int, 22> CriticalItems{};
    int TruthCorrection[5][6] = {};  // [scale 2..4][level 1..5]
    QStringList Labels;              // the 65 fields of the label file
    QStringList Explanation[5];      // lines of the paragraph files
    QStringList Invalid;             // lines of the invalid-test text

    // Default: Truthfulness items 1..10, Alcohol 11..20 and 61, Drugs 21..30 and 62,
    // Risk 31..40, 63, 64; a True answer earns 1 point on every True/False item and the
    // multiple-choice answers 1..4 earn 0..3. Percentile = 3 * raw + race group + 10 * (gender - 1).
    FixtureData();

    QByteArray ScoringFileText() const;
    QByteArray LabelFileText() const;
    // Sets the digit of the key for answer value `answer` at item `item`.
    void SetKeyPoints(int item, int answer, int points);
    // The same percentile for a raw score in every gender and race group.
    void SetPercentile(int scale, int raw, int percentile);
    // Writes all seven files into `folder`.
    void WriteTo(const QString& folder) const;
};

// A client who answered every True/False item False and every multiple-choice item 1,
// which earns nothing in the default fixture, with no court history.
ClientRecord QuietClient(const QString& name = QStringLiteral("Quiet Client"));

// Sets answer digits: items[i] gets digit.
void SetAnswers(ClientRecord& r, std::initializer_list<int> items, char digit);
void SetAnswerRange(ClientRecord& r, int first, int last, char digit);

// Sets court-history value n (1..12, in record order).
void SetCourt(ClientRecord& r, int n, const QString& value);

// The report file split into lines at CR LF (the last, empty piece dropped).
QStringList ReportLines(const QString& programFolder);

class ScoringTestCase : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<TestProgram> test;
    FixtureData data;

    QString folder() const { return test->programFolder(); }
    QString ReportPath() const { return folder() + QStringLiteral("/REPORT.PRN"); }

    void Fresh()
    {
        test = std::make_unique<TestProgram>();
        ResetScoring();
        data = FixtureData();
    }

    // Writes the fixture, scores the record in slot `slot` and says why when it failed.
    bool Score(const ClientRecord& record, int slot = 1, SummaryPage summary = SummaryPage::Without)
    {
        CHECKED(data.WriteTo(folder()), false);
        program().ClientTable[slot] = record;
        program().ClientCount = qint16(slot);
        program().CurrentClient = qint16(slot);
        const ScoringResult result = ScoreAndReport(summary);
        if (!result)
            qWarning("scoring failed: %s", qPrintable(result.Message));
        return bool(result);
    }

    // Runs the command-line report tool.
    static ToolRun RunTool(const QStringList& args) { return ::RunTool(QStringLiteral(ZEPREPORT_PATH), args); }

    static const ScaleScore& Scale(int s) { return scoring().ScaleScores[s]; }
    static QPair<int, int> RawPct(int s) { return {Scale(s).RawScore, Scale(s).Percentile}; }

protected slots:
    // The test's program ends with the test, so that what its end checks fails that test.
    void cleanup() { test.reset(); }
};
