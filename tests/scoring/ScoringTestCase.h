#pragma once
// Shared set-up of the scoring tests: a fresh program over a temporary folder holding the
// fixture data, and one client in slot 1.
#include <memory>

#include <QProcess>
#include <QtTest>

#include "app/Program.h"
#include "scoring/ScoreAndPrint.h"
#include "tests/scoring/ScoringFixture.h"
#include "tests/support/TestSupport.h"

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
    bool Score(const ClientRecord& record, int slot = 1)
    {
        data.WriteTo(folder());
        program().ClientTable[slot] = record;
        program().ClientCount = qint16(slot);
        program().CurrentClient = qint16(slot);
        const ScoringResult result = ScoreAndReport();
        if (!result)
            qWarning("scoring failed: %s", qPrintable(result.Message));
        return bool(result);
    }

    struct ToolRun {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };
    // Runs the command-line report tool; a crash gives -1, a hang -2.
    static ToolRun RunTool(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(ZEPREPORT_PATH), args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {-2, {}, "timed out"};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    static const ScaleScore& Scale(int s) { return scoring().ScaleScores[s]; }
    static QPair<int, int> RawPct(int s) { return {Scale(s).RawScore, Scale(s).Percentile}; }
};
