// Composition of REPORT.PRN: fixed-width lines, 58 counted lines to a page. The count
// follows the lines as they are ended, with three exceptions printed reports have always
// had, so they stay: a value that pushes a column past its place wraps onto a line nobody
// counts, the count starts again after each form feed, and the summary page's title is not
// counted. A few blocks only check the page end after they have written.
#include "scoring/ReportWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>

#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/ScoringEngine.h"

namespace {

constexpr int PageLines = 58;
// The footers (the publisher's line and the confidentiality notice) start below this line;
// a page is filled with blank lines down to it.
constexpr int FooterStart = 56;
// A new page's heading (the name, the page number and a blank line) takes this many lines.
constexpr int PageHeadingLines = 2;

// The room a block wants left on the page before it starts; with less, it starts a new page.
constexpr int KeepWithProfile = 5;             // the profile does not end a page on its own
constexpr int AdditionalInformationLines = 9;  // heading, six rows of court values, blank line
constexpr int FirstParagraphRoom = 9;          // the first scale's heading and the start of its text
constexpr int ScaleHeadingRoom = 2;            // a scale's heading and one line of its text
constexpr int RiskBlockLines = 11;             // heading, five court rows, three rows of items, blank line
constexpr int Section2Lines = 9;               // four lines of text, blank line, the four answers
constexpr int ObservationsRoom = 10;           // the observations and signature block, and a line to spare
constexpr int ResponsesAndFooterLines = 6;     // the responses, the publisher's footer, and a line to spare
// Past the significant items, a page with less room than this left gets its notice at once.
constexpr int ClosePageRoom = 4;
// With this much room before the observations, a spare blank line goes above them: the
// observations, the responses and the footer (16 lines) still fit below it.
constexpr int ObservationsToEndLines = 16;
// The observations give up their second ruled line rather than push the signature off the page.
constexpr int SignatureRoom = 5;

constexpr int RightColumn = 45;

// One line each; kept short enough for an 80-column page at their columns.
const QString NoticeLine = QStringLiteral("ZEP-AP Short Form report - confidential client information");
const QString PublisherLine = QStringLiteral("Printed by the ZEP screening program for probation office use");

const QString ProfileRuler = QStringLiteral("-               -           -       -   -");
const QString ProfileBottom = QStringLiteral("+---------------+-----------+-------+---+");
const QString BarTrack = QStringLiteral("-...............-...........-.......-...-");
const QString CautionLines[4] = {
    QStringLiteral("ZEP-AP SHORT FORM results are confidential and  are working hypotheses."),
    QStringLiteral("No diagnosis or decision  should  be  based  solely upon these results."),
    QStringLiteral("These test results are to be used in conjunction with experienced staff"),
    QStringLiteral("judgment and review of available records."),
};
const QString ObservationsLine =
    QStringLiteral("OBSERVATIONS/RECOMMENDATIONS:__________________________________________");
const QString SignatureLine = QStringLiteral("______________________        ______________");
const QString SignatureLabels = QStringLiteral("STAFF MEMBER SIGNATURE             DATE");

// The court values in the two columns the report shows them in. The significant items show
// the first five rows (the alcohol and drug convictions have their own columns there), the
// additional information all six, a few under other words.
struct CourtLabel {
    QString ClientValues::*Value;
    const char* Significant;
    const char* Additional;
};
const CourtLabel CourtColumns[6][2] = {
    {{&ClientValues::AgeAtFirstConviction, "Age at first conviction", "Age at first conviction"},
     {&ClientValues::TimesOnParole, "Times on parole", "Times on parole"}},
    {{&ClientValues::MisdemeanorConvictions, "Misdemeanor convictions", "Misdemeanor convictions"},
     {&ClientValues::ParoleRevocations, "Parole revocations", "Parole revocations"}},
    {{&ClientValues::FelonyConvictions, "Felony convictions", "Felony convictions"},
     {&ClientValues::TimesJail, "Sentenced to jail", "Jail sentences"}},
    {{&ClientValues::TimesOnProbation, "Times on probation", "Times on probation"},
     {&ClientValues::TimesPrison, "Sentenced to prison", "Prison sentences"}},
    {{&ClientValues::ProbationRevocations, "Probation revocations", "Probation revocations"},
     {&ClientValues::YearsJailAndPrison, "Years in jail and prison", "Years in jail and prison"}},
    {{&ClientValues::AlcoholConvictions, "Alcohol-related convictions", "Alcohol-related convictions"},
     {&ClientValues::DrugConvictions, "Drug-related convictions", "Drug-related convictions"}},
};
constexpr int SignificantCourtRows = 5;

// A label led out with dots to `width` characters, and a blank before the value.
QString DottedLabel(const QString& label, int width)
{
    return label.leftJustified(width, QLatin1Char('.')) + QLatin1Char(' ');
}

class ReportWriter {
public:
    ReportWriter() : s_(scoring()), d_(scoring().Data), w_(scoring().ClientWork) {}

    QString Compose(SummaryPage summary);

private:
    // Line building. EndLine is the only way a line is counted.
    void Blanks(int n) { line_ += QString(n, QLatin1Char(' ')); }
    void Put(const QString& text) { line_ += text; }
    void At(int column)
    {
        if (line_.size() + 1 > column)
            EndUncountedLine();
        Blanks(column - 1 - int(line_.size()));
    }
    // Numbers go out the way the report has always shown them: sign position, digits, blank.
    void PutNumber(int n)
    {
        Put((n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(n)) + QLatin1Char(' '));
    }
    void EndUncountedLine()
    {
        out_ += line_;
        out_ += QLatin1String("\r\n");
        line_.clear();
    }
    void EndLine()
    {
        EndUncountedLine();
        ++LineCount;
    }
    void Line(int blanks, const QString& text)
    {
        Blanks(blanks);
        Put(text);
        EndLine();
    }
    void EmptyLine() { EndLine(); }
    void FormFeed()
    {
        Put(QStringLiteral("\f"));
        EndUncountedLine();
        LineCount = 0;
    }
    bool Room(int lines) const { return LineCount + lines <= PageLines; }

    QString CourtText(const QString& value) const
    {
        return value == QLatin1String("-1") ? QStringLiteral("N/A") : value;
    }
    int Pct(int s) const { return s_.ScaleScores[s].Percentile; }
    bool TruthDoubtful() const { return Pct(Truthfulness) >= 90; }

    // Blocks.
    void NewPage();
    void ClosingFooter();
    void PublisherFooter();
    void FillToFooter();
    void HeaderBlock(bool summary);
    void CautionBlock();
    void ProfileBlock(int first, int last);
    void ScaleParagraph(int s);
    void NotScorableMessage(int s);
    void ContinuedHeading();
    void SignificantItemsBlock();
    void Section2Block();
    void AdditionalInformationBlock();
    void ObservationsBlock(int testColumn, const QString& testLabel);
    void ResponsesBlock();
    void InvalidTestText();
    void SummaryPageBlock();

    const Scoring& s_;
    const ScoringData& d_;
    ClientValues& w_;
    QString out_;
    QString line_;
    int LineCount = 1;
    int PageNumber = 1;
};

void ReportWriter::NewPage()
{
    ++PageNumber;
    FormFeed();
    Blanks(7);
    Put(QStringLiteral("NAME: ") + w_.Name);
    At(41);
    Put(QLatin1Char('-') + QString::number(PageNumber) + QLatin1Char('-'));
    At(55);
    Put(QStringLiteral("ZEP-AP SHORT FORM REPORT"));
    EndLine();
    EmptyLine();
}

void ReportWriter::FillToFooter()
{
    while (LineCount < FooterStart)
        EmptyLine();
}

void ReportWriter::ClosingFooter()
{
    FillToFooter();
    At(14);
    Put(NoticeLine);
    EndLine();
}

void ReportWriter::PublisherFooter()
{
    FillToFooter();
    At(10);
    Put(PublisherLine);
    EndLine();
    if (LineCount < PageLines) {
        At(14);
        Put(NoticeLine);
        EndLine();
    }
}

void ReportWriter::HeaderBlock(bool summary)
{
    Line(27, QStringLiteral("ZEP-ADULT PROBATION SHORT FORM"));
    Line(27, QStringLiteral("******************************"));
    if (summary) {
        Blanks(34);
        Put(QStringLiteral("ONE-PAGE SUMMARY"));
        EndUncountedLine();
    }
    EmptyLine();

    Line(7, QStringLiteral("NAME: ") + w_.Name);
    Blanks(7);
    Put(QStringLiteral("ID#: ") + w_.SSN);
    At(26);
    Put(QStringLiteral("AGE: ") + w_.Age);
    At(35);
    Put(QStringLiteral("SEX: ") + CodeText(d_.GenderText, w_.Gender));
    EndLine();
    Line(7, QStringLiteral("DATE OF BIRTH   : ") + w_.DateOfBirth);
    Blanks(7);
    Put(QStringLiteral("ETHNICITY/RACE  : ") + CodeText(d_.RaceText, w_.Race));
    At(60);
    Put(QStringLiteral("CONFIDENTIAL REPORT"));
    EndLine();
    Line(7, QStringLiteral("EDUCATION/HIGHEST GRADE : ") + w_.Education);
    Line(7, QStringLiteral("MARITAL STATUS  : ") + CodeText(d_.MaritalText, w_.Marital));
    Line(7, QStringLiteral("DATE ZEP SCORED : ") + w_.TestDate);
    EmptyLine();
}

void ReportWriter::CautionBlock()
{
    for (const QString& text : CautionLines)
        Line(7, text);
    EmptyLine();
    EmptyLine();
}

void ReportWriter::ProfileBlock(int first, int last)
{
    Blanks(7);
    Put(QStringLiteral("MEASURES"));
    Blanks(12);
    Put(QStringLiteral("%ile"));
    Blanks(6);
    Put(QStringLiteral("        ZEP-AP SHORT FORM PROFILE"));
    EndLine();
    Blanks(7);
    Put(QStringLiteral("--------"));
    Blanks(12);
    Put(QStringLiteral("----"));
    Blanks(6);
    Put(ProfileBottom);
    EndLine();
    Line(37, QStringLiteral("-   LOW RISK    -  MEDIUM   -PROBLEM-MAX-"));
    Line(37, ProfileRuler);

    bool notScored = false;
    for (int s = first; s <= last; ++s) {
        const ScaleScore& score = s_.ScaleScores[s];
        Blanks(7);
        Put(d_.ScaleTitles[s]);
        At(score.Percentile < 10 ? 29 : 28);
        if (score.OmittedCount > MostOmittedItems) {
            Put(QStringLiteral(" **"));
            At(38);
            Put(QStringLiteral("Scale not scored, insufficient answers"));
            EndLine();
            notScored = true;
        } else {
            PutNumber(score.Percentile);
            if (TruthDoubtful() || (s == Alcohol && s_.AlcoholFloorApplied) || (s == Drugs && s_.DrugFloorApplied))
                Put(QStringLiteral("*"));
            At(38);
            const int n = score.Percentile * 10 / 25;
            Put(QString(n + 1, QLatin1Char('*')) + BarTrack.right(40 - n));
            EndLine();
        }
        Line(37, s != last ? ProfileRuler : ProfileBottom);
    }

    if (notScored) {
        Blanks(7);
        Put(QStringLiteral("** Too many omitted items"));
    } else if (TruthDoubtful()) {
        Blanks(7);
        Put(QStringLiteral("* These test results"));
    }
    At(38);
    Put(QStringLiteral("0"));
    Blanks(15);
    Put(QStringLiteral("40"));
    Blanks(10);
    Put(QStringLiteral("70"));
    Blanks(6);
    Put(QStringLiteral("90 100"));
    EndLine();

    if (notScored) {
        Blanks(7);
        Put(QStringLiteral("   to score this scale"));
    } else if (TruthDoubtful()) {
        Blanks(7);
        Put(QStringLiteral("  are inaccurate"));
    } else if (s_.AlcoholFloorApplied || s_.DrugFloorApplied) {
        Blanks(7);
        Put(QStringLiteral("* Score Due to Priors"));
    }
    At(38);
    Put(QStringLiteral("----------- PERCENTILE SCORES -----------"));
    EndLine();
    EmptyLine();
}

void ReportWriter::ScaleParagraph(int s)
{
    const int p = Pct(s);
    Blanks(7);
    Put(d_.ScaleTitles[s] + QStringLiteral(" SCALE: ") + d_.RiskRangeNames[RiskRange(p)] +
        QStringLiteral(" RISK RANGE"));
    At(61);
    Put(QStringLiteral("RISK PERCENTILE:") + QString::number(p));
    EndLine();

    // A file without the wanted label or without its END simply ends the paragraph.
    const QStringList& lines = d_.ExplanationLines[s];
    const QString label = RangeLabel(p);
    qsizetype i = lines.indexOf(label);
    if (i < 0)
        return;
    for (++i; i < lines.size() && lines.at(i) != QLatin1String("END"); ++i) {
        Line(8, lines.at(i));
        if (LineCount == PageLines)
            NewPage();
    }
}

void ReportWriter::NotScorableMessage(int s)
{
    Line(7, d_.ScaleTitles[s]);
    EmptyLine();
    Line(7, QStringLiteral("This scale  is inaccurate  and  not  scorable  because  the  respondent"));
    Line(7, QStringLiteral("omitted or skipped an excessive number of items."));
    if (LineCount < PageLines)
        EmptyLine();
}

void ReportWriter::ContinuedHeading()
{
    NewPage();
    Line(7, QStringLiteral("SIGNIFICANT ITEMS, continued"));
    EmptyLine();
}

void ReportWriter::SignificantItemsBlock()
{
    // From here on, short court values carry a blank so the columns of the later blocks line up.
    for (int n = 1; n <= 12; ++n)
        if (w_.Court(n).size() < 2)
            w_.Court(n) += QLatin1Char(' ');

    auto answeredItems = [&](int first, int last, QStringList& list) {
        for (int k = first; k <= last; ++k)
            if (s_.ItemPoints[d_.SignificantItems[k]] > 0)
                list.append(d_.SignificantItemTexts[k]);
    };
    QStringList alcohol, drugs, risk;
    if (s_.AlcoholFloorApplied)
        alcohol.append(QStringLiteral("* Score due to alcohol convictions"));
    answeredItems(1, 6, alcohol);
    alcohol.append(QStringLiteral("**  Alcohol-related convictions:") + CourtText(w_.AlcoholConvictions));
    if (s_.DrugFloorApplied)
        drugs.append(QStringLiteral("* Score due to drug convictions"));
    answeredItems(7, 12, drugs);
    drugs.append(QStringLiteral("**  Drug-related convictions:") + CourtText(w_.DrugConvictions));
    answeredItems(13, 18, risk);

    Line(7, QStringLiteral("SIGNIFICANT  ITEMS:  The  answers   are  the   client's   self-reported"));
    Line(7, QStringLiteral("responses. And, they represent direct admissions or unusual  responses,"));
    Line(7, QStringLiteral("which may help in understanding the client's situation."));
    EmptyLine();

    Blanks(7);
    Put(QStringLiteral("ALCOHOL"));
    At(RightColumn);
    Put(QStringLiteral("DRUGS"));
    EndLine();
    Blanks(7);
    Put(QStringLiteral("-------"));
    At(RightColumn);
    Put(QStringLiteral("-----"));
    EndLine();

    const qsizetype rows = std::max(alcohol.size(), drugs.size());
    for (qsizetype r = 0; r < rows; ++r) {
        if (r < alcohol.size()) {
            Blanks(7);
            Put(alcohol.at(r));
        }
        if (r < drugs.size()) {
            At(RightColumn);
            Put(drugs.at(r));
        }
        EndLine();
        if (LineCount > PageLines - 1)
            ContinuedHeading();
    }

    if (LineCount < PageLines)
        EmptyLine();
    if (!Room(RiskBlockLines))
        ContinuedHeading();

    Line(7, QStringLiteral("RISK"));
    Line(7, QStringLiteral("----"));

    for (int i = 0; i < SignificantCourtRows; ++i) {
        const CourtLabel& left = CourtColumns[i][0];
        const CourtLabel& right = CourtColumns[i][1];
        Blanks(7);
        Put(DottedLabel(QStringLiteral("**  ") + QLatin1String(left.Significant), 31) + CourtText(w_.*left.Value));
        At(RightColumn);
        Put(DottedLabel(QStringLiteral("**  ") + QLatin1String(right.Significant), 30) + CourtText(w_.*right.Value));
        EndLine();
    }

    const qsizetype m = risk.size();
    const qsizetype riskRows = (m + 1) / 2;
    for (qsizetype r = 1; r <= riskRows; ++r) {
        Blanks(7);
        Put(risk.at(r - 1));
        if (riskRows + r <= m) {
            At(RightColumn);
            Put(risk.at(riskRows + r - 1));
        }
        EndLine();
        if (LineCount == PageLines)
            NewPage();
    }

    if (LineCount < PageLines)
        EmptyLine();
}

void ReportWriter::Section2Block()
{
    QString texts[4];
    for (int q = 1; q <= 4; ++q) {
        const int item = 60 + q;
        const int answer = s_.Answers[item];
        if (answer == 0) {
            texts[q - 1] = QString::number(item) + QStringLiteral(". No response given.");
        } else {
            const int entry = (q - 1) * 4 + answer;
            texts[q - 1] = entry <= ChoiceTextCount ? d_.ChoiceTexts[entry] : QString();
        }
    }

    Line(7, QStringLiteral("SECTION 2: The client's  answers to  multiple choice  items are printed"));
    Line(7, QStringLiteral("below.  These answers represent the  client's opinion--with all  of its"));
    Line(7, QStringLiteral("biases.  These multiple choice answers allow comparison of the client's"));
    Line(7, QStringLiteral("subjective opinions with objective and empirically base scale scores."));
    EmptyLine();

    for (const QString& text : texts) {
        Line(7, text);
        if (LineCount == PageLines)
            NewPage();
    }
}

void ReportWriter::AdditionalInformationBlock()
{
    Line(21, QStringLiteral("ADDITIONAL INFORMATION PROVIDED BY CLIENT"));
    Line(21, QStringLiteral("-----------------------------------------"));

    for (const auto& [left, right] : CourtColumns) {
        Blanks(7);
        Put(DottedLabel(QLatin1String(left.Additional), 29) + w_.*left.Value);
        At(44);
        Put(DottedLabel(QLatin1String(right.Additional), 32) + w_.*right.Value);
        EndLine();
    }
    if (LineCount < PageLines)
        EmptyLine();
}

void ReportWriter::ObservationsBlock(int testColumn, const QString& testLabel)
{
    Line(7, ObservationsLine);
    for (int i = 0; i < 2; ++i) {
        EmptyLine();
        Line(7, QString(71, QLatin1Char('_')));
        if (!Room(SignatureRoom))
            break;
    }
    EmptyLine();
    Line(7, SignatureLine);
    Blanks(7);
    Put(SignatureLabels);
    At(testColumn);
    Put(testLabel);
    PutNumber(s_.ScoredClient);
    Put(QStringLiteral(")"));
    EndLine();
    if (LineCount < PageLines)
        EmptyLine();
}

void ReportWriter::ResponsesBlock()
{
    auto trueFalse = [&](int item) {
        const int a = s_.Answers[item];
        return a == 1 ? QLatin1Char('T') : a == 2 ? QLatin1Char('F') : QLatin1Char('0');
    };

    Blanks(7);
    Put(QStringLiteral("ZEP-AP SHORT FORM    "));
    At(29);
    Put(QStringLiteral(" 1-30   "));
    for (int item = 1; item <= 30; ++item) {
        Put(QString(trueFalse(item)));
        if (item % 10 == 0)
            Blanks(2);
    }
    EndLine();

    Blanks(7);
    Put(QStringLiteral("RESPONSES            "));
    At(29);
    Put(QStringLiteral("31-64   "));
    for (int item = 31; item <= 64; ++item) {
        Put(item <= 60 ? QString(trueFalse(item)) : QString::number(s_.Answers[item] % 10));
        if (item == 40 || item == 50 || item == 60)
            Blanks(2);
    }
    EndLine();
    EmptyLine();
}

void ReportWriter::InvalidTestText()
{
    const QStringList& lines = d_.InvalidTextLines;
    for (qsizetype i = 0; i < lines.size() && lines.at(i) != QLatin1String("END"); ++i) {
        Line(7, lines.at(i));
        if (LineCount > PageLines)
            NewPage();
    }
}

void ReportWriter::SummaryPageBlock()
{
    FormFeed();
    EmptyLine();
    HeaderBlock(true);
    EmptyLine();
    CautionBlock();
    ProfileBlock(1, ScaleCount);
    EmptyLine();
    AdditionalInformationBlock();
    EmptyLine();
    ObservationsBlock(59, QStringLiteral("(ZEP-SF TEST #"));
    if (LineCount < PageLines)
        ClosingFooter();
}

QString ReportWriter::Compose(SummaryPage summary)
{
    PageNumber = 1;
    LineCount = 1;

    HeaderBlock(false);
    CautionBlock();
    ProfileBlock(1, ScaleCount);
    if (!Room(KeepWithProfile))
        NewPage();

    if (Pct(Truthfulness) >= UnbelievableTruthfulness) {
        EmptyLine();
        EmptyLine();
        if (!Room(AdditionalInformationLines))
            NewPage();
        AdditionalInformationBlock();
        PublisherFooter();
        InvalidTestText();
        EmptyLine();
        ObservationsBlock(68, QStringLiteral("(TEST #"));
        EmptyLine();
        ResponsesBlock();
        ClosingFooter();
        return out_;
    }

    EmptyLine();
    if (!Room(FirstParagraphRoom))
        NewPage();

    for (int s = 1; s <= ScaleCount; ++s) {
        if (s_.ScaleScores[s].OmittedCount > MostOmittedItems)
            NotScorableMessage(s);
        else
            ScaleParagraph(s);
        if (LineCount > PageHeadingLines && LineCount < PageLines)
            EmptyLine();
        if (!Room(ScaleHeadingRoom))
            NewPage();
    }

    SignificantItemsBlock();

    if (!Room(ClosePageRoom) && LineCount <= FooterStart)
        ClosingFooter();

    if (!Room(Section2Lines))
        NewPage();
    Section2Block();

    if (LineCount + ObservationsToEndLines < PageLines)
        EmptyLine();
    EmptyLine();
    if (!Room(ObservationsRoom))
        NewPage();
    ObservationsBlock(68, QStringLiteral("(TEST #"));

    if (Room(ResponsesAndFooterLines + 1))
        EmptyLine();
    if (!Room(ResponsesAndFooterLines))
        NewPage();
    ResponsesBlock();

    if (LineCount < PageLines)
        PublisherFooter();

    if (summary == SummaryPage::With)
        SummaryPageBlock();
    return out_;
}

}  // namespace

QString ComposeReport(SummaryPage summary) { return ReportWriter().Compose(summary); }

ScoringResult WriteReport(SummaryPage summary)
{
    // ScoreAndReport has removed any earlier report, so the file is created anew (O_EXCL):
    // a link or pipe put in its place meanwhile is refused, never written through. A write
    // that fails half-way takes its own partial file away again. The report is confidential:
    // nobody but its owner may read it.
    const QString path = StateFile(QString::fromLatin1(ReportFileName));
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = OpenRegularFile(path, O_WRONLY | O_CREAT | O_EXCL, OwnerOnlyMode);
    if (fd < 0)
        return ScoringResult::Failure(
            QStringLiteral("Cannot write %1: %2").arg(EscapeControls(path), FileErrorText(errno)));
    int err = WriteAllAt(fd, ToAnsi(ComposeReport(summary)), 0);
    if (err == 0 && SyncFile(fd) != 0)
        err = errno;
    if (CloseFile(fd) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(encoded.constData());
        return ScoringResult::Failure(
            QStringLiteral("Cannot write %1: %2").arg(EscapeControls(path), FileErrorText(err)));
    }
    return {};
}

ScoringResult ScoreAndReport(SummaryPage summary)
{
    // Whatever happens below, the report of an earlier client must not be taken for this one.
    // Removing the name removes a link, not the file it points to.
    const QString reportPath = StateFile(QString::fromLatin1(ReportFileName));
    if (::unlink(QFile::encodeName(reportPath).constData()) != 0 && errno != ENOENT)
        return ScoringResult::Failure(
            QStringLiteral("Cannot remove the old %1: %2").arg(EscapeControls(reportPath), FileErrorText(errno)));

    const int slot = program().CurrentClient;
    if (slot < 1 || slot > MaxClients)
        return ScoringResult::Failure(
            QStringLiteral("No client to score: client slot %1 is outside 1..%2").arg(slot).arg(MaxClients));

    InitReportTables();
    if (ScoringResult loaded = LoadScoringData(scoring().Data); !loaded)
        return loaded;
    PrepareClientWork();
    ComputeRawScores();
    ComputePercentiles();
    return WriteReport(summary);
}
