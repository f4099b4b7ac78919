// The scoring rules: raw scores, court points, percentiles, caps and floors.
#include "tests/scoring/ScoringTestCase.h"

class tst_ScoringEngine : public ScoringTestCase {
    Q_OBJECT
private slots:
    void init() { Fresh(); }

    // Leading blanks are skipped; a second point, or anything not a digit, ends the number.
    // Halves round to the even neighbour.
    void leadingNumbersAndRoundingHalvesToEven()
    {
        const std::pair<const char*, double> numbers[] = {{"12", 12},   {"", 0},     {"-1", -1},     {"  7x9", 7},
                                                          {"2.5", 2.5}, {".5", 0.5}, {"1.2.3", 1.2}, {"+3", 3}};
        for (auto [text, value] : numbers)
            QCOMPARE(LeadingNumber(QString::fromLatin1(text)), value);
        const std::pair<double, int> rounded[] = {{0.5, 0},  {1.5, 2},  {2.5, 2},   {3.5, 4},
                                                  {2.51, 3}, {-0.5, 0}, {-1.5, -2}, {16.4, 16}};
        for (auto [value, result] : rounded)
            QCOMPARE(RoundHalfEven(value), result);
    }

    void itemPointsComeFromTheKeyOfTheAnswerValue()
    {
        data.SetKeyPoints(12, 1, 3);  // True on item 12 earns 3
        data.SetKeyPoints(13, 2, 2);  // False on item 13 earns 2
        data.SetKeyPoints(21, 0, 2);  // an omitted item 21 earns 2
        ClientRecord r = QuietClient();
        SetAnswers(r, {11, 12}, '1');
        SetAnswers(r, {21, 22}, '0');
        SetAnswers(r, {61}, '4');
        QVERIFY(Score(r));
        const auto& points = scoring().ItemPoints;
        QCOMPARE((QList<int>{points[11], points[12], points[13], points[61]}), (QList<int>{1, 3, 2, 3}));
        QCOMPARE(Scale(Alcohol).RawScore, 1 + 3 + 2 + 3);
        QCOMPARE(Scale(Alcohol).ScoredItemCount, 4);
        // Omitted items are counted, and scored with the key for 0.
        QCOMPARE(Scale(Drugs).RawScore, 2);
        QCOMPARE(qMakePair(int(Scale(Drugs).OmittedCount), int(Scale(Drugs).ScoredItemCount)), qMakePair(2, 1));
    }

    void fiftySevenTrueAnswersIsValidFiftyEightIsNot()
    {
        ClientRecord r = QuietClient();
        r.AgeAtFirstConviction = "16";  // 5 Risk points when court history counts
        SetAnswerRange(r, 1, 57, '1');
        QVERIFY(Score(r));
        QCOMPARE(RawPct(Truthfulness), qMakePair(10, 3 * 10 + 1));
        QCOMPARE(Scale(Risk).RawScore, 10 + 5);

        SetAnswers(r, {58}, '1');
        QVERIFY(Score(r));
        QCOMPARE(RawPct(Truthfulness), qMakePair(99, 99));
        // Court points left out, level 5 correction added for scales with 2 or more scored items.
        QCOMPARE(Scale(Risk).RawScore, 10 + data.TruthCorrection[Risk][5]);
        QCOMPARE(Scale(Alcohol).Percentile, 99);
    }

    void courtHistoryPointsFollowTheRowTables_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("points");
        QTest::newRow("first conviction at 16") << 1 << "16" << int(Risk) << 5;
        QTest::newRow("first conviction at 17") << 1 << "17" << int(Risk) << 4;
        QTest::newRow("first conviction at 36") << 1 << "36" << int(Risk) << 1;
        QTest::newRow("first conviction at 37") << 1 << "37" << int(Risk) << 0;
        QTest::newRow("misdemeanors .6 rounds to 1") << 2 << ".6" << int(Risk) << 1;
        QTest::newRow("misdemeanors .5 rounds to 0") << 2 << ".5" << int(Risk) << 0;
        QTest::newRow("misdemeanors 9") << 2 << "9" << int(Risk) << 5;
        QTest::newRow("felonies 99") << 3 << "99" << int(Risk) << 7;
        QTest::newRow("probation .6 is not rounded") << 4 << ".6" << int(Risk) << 0;
        QTest::newRow("probation 5 or more") << 4 << "5" << int(Risk) << 6;
        QTest::newRow("probation revocations 5 or more") << 5 << "5" << int(Risk) << 7;
        QTest::newRow("alcohol convictions 3") << 6 << "3" << int(Alcohol) << 2;
        QTest::newRow("alcohol convictions 4") << 6 << "4" << int(Alcohol) << 3;
        QTest::newRow("parole 5 or more") << 7 << "5" << int(Risk) << 6;
        QTest::newRow("parole revocations 4") << 8 << "4" << int(Risk) << 5;
        QTest::newRow("jail 5") << 9 << "5" << int(Risk) << 5;
        QTest::newRow("prison 1") << 10 << "1" << int(Risk) << 2;
        QTest::newRow("prison 5") << 10 << "5" << int(Risk) << 7;
        QTest::newRow("years 9 or more") << 11 << "9" << int(Risk) << 9;
        QTest::newRow("drug convictions 4 or more") << 12 << "4" << int(Drugs) << 3;
        QTest::newRow("alcohol convictions N/A") << 6 << "N" << int(Alcohol) << 0;
        QTest::newRow("years -1 (N/A)") << 11 << "-1" << int(Risk) << 0;
    }

    void courtHistoryPointsFollowTheRowTables()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(int, scale);
        QFETCH(int, points);
        ClientRecord r = QuietClient();
        SetCourt(r, field, value);
        QVERIFY(Score(r));
        QCOMPARE(TrimBlanks(scoring().ClientWork.Court(field)), value);
        for (int s = Alcohol; s <= Risk; ++s)
            QCOMPARE(Scale(s).RawScore, s == scale ? points : 0);
    }

    void normsAreChosenByGenderAndRaceGroup_data()
    {
        QTest::addColumn<QString>("gender");
        QTest::addColumn<QString>("race");
        QTest::addColumn<int>("genderIndex");
        QTest::addColumn<int>("raceGroup");
        QTest::newRow("male Caucasian") << "1"
                                        << "1" << 1 << 1;
        QTest::newRow("female Black") << "2"
                                      << "2" << 2 << 2;
        QTest::newRow("male Hispanic") << "1"
                                       << "3" << 1 << 3;
        QTest::newRow("Asian uses group 1") << "2"
                                            << "4" << 2 << 1;
        QTest::newRow("Other uses group 1") << "1"
                                            << "6" << 1 << 1;
        QTest::newRow("N/A race and gender use male Caucasian") << "0"
                                                                << "0" << 1 << 1;
        QTest::newRow("blank codes count as N/A") << " "
                                                  << " " << 1 << 1;
    }

    void normsAreChosenByGenderAndRaceGroup()
    {
        QFETCH(QString, gender);
        QFETCH(QString, race);
        QFETCH(int, genderIndex);
        QFETCH(int, raceGroup);
        // A distinct percentile for raw 5 of every group shows which table was used.
        for (int g = 1; g <= 2; ++g)
            for (int r = 1; r <= 3; ++r)
                data.Pct[Truthfulness][5][r][g] = 10 * g + r;
        ClientRecord rec = QuietClient();
        rec.Gender = gender;
        rec.Race = race;
        SetAnswerRange(rec, 1, 5, '1');
        QVERIFY(Score(rec));
        QCOMPARE(scoring().GenderIndex, genderIndex);
        QCOMPARE(scoring().RaceGroup, raceGroup);
        QCOMPARE(int(Scale(Truthfulness).Percentile), 10 * genderIndex + raceGroup);
    }

    void fewScoredItemsCapThePercentile()
    {
        // Items 19 and 20 are not critical, so no critical-item floor interferes.
        data.SetKeyPoints(19, 1, 5);
        data.SetKeyPoints(20, 1, 5);
        data.SetPercentile(Alcohol, 5, 60);
        data.SetPercentile(Alcohol, 10, 70);
        data.SetPercentile(Alcohol, 11, 80);
        data.SetPercentile(Truthfulness, 5, 60);
        ClientRecord r = QuietClient();
        SetAnswers(r, {19}, '1');
        SetAnswerRange(r, 1, 5, '1');  // Truthfulness itself is never capped
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).ScoredItemCount, 1);
        QCOMPARE(Scale(Truthfulness).Percentile, 60);
        // Level 2 correction for Truthfulness 60 does not apply to a scale with one scored item.
        QCOMPARE(RawPct(Alcohol), qMakePair(5, 28));

        // The cap's edge: 29 is cut to 28.
        data.SetPercentile(Alcohol, 5, 29);
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).Percentile, 28);

        SetAnswerRange(r, 1, 5, '2');
        SetAnswers(r, {20}, '1');
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).ScoredItemCount, 2);
        QCOMPARE(Scale(Alcohol).Percentile, 38);

        // The cap comes before the floors: 50 is capped to 28, then 1 alcohol conviction raises it to 40.
        data.SetPercentile(Alcohol, 6, 50);
        SetAnswers(r, {17, 20}, '2');
        r.AlcoholConvictions = "1";
        QVERIFY(Score(r));
        QCOMPARE(RawPct(Alcohol), qMakePair(5 + 1, 40));
        QVERIFY(scoring().AlcoholFloorApplied);
    }

    void truthfulnessCorrectionsRaiseTheOtherRawScores()
    {
        const std::pair<int, int> cases[] = {{39, 0}, {40, 1}, {55, 1}, {56, 2}, {69, 2},
                                             {70, 3}, {89, 3}, {90, 4}, {94, 4}};
        for (auto [truthPercentile, level] : cases) {
            data.SetPercentile(Truthfulness, 2, truthPercentile);
            ClientRecord r = QuietClient();
            SetAnswers(r, {1, 2}, '1');
            SetAnswers(r, {11, 12}, '1');      // Alcohol: 2 scored items, corrected
            SetAnswers(r, {21}, '1');          // Drugs: 1 scored item, left alone
            SetAnswers(r, {31, 32, 33}, '1');  // Risk: 3 scored items, corrected
            QVERIFY(Score(r));
            const int alcohol = 2 + (level ? data.TruthCorrection[Alcohol][level] : 0);
            const int risk = 3 + (level ? data.TruthCorrection[Risk][level] : 0);
            // The corrected raw scores are the ones looked up.
            QCOMPARE(RawPct(Alcohol), qMakePair(alcohol, std::min(38, 3 * alcohol + 1)));
            QCOMPARE(Scale(Drugs).RawScore, 1);
            QCOMPARE(RawPct(Risk), qMakePair(risk, 3 * risk + 1));
        }
    }

    void truthfulnessOf95MakesEveryOtherScale99ButNot94()
    {
        ClientRecord r = QuietClient();
        SetAnswers(r, {1, 2, 3}, '1');
        SetAnswers(r, {11, 12}, '1');
        SetAnswers(r, {21}, '1');
        r.DrugConvictions = "1";

        data.SetPercentile(Truthfulness, 3, 94);
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).RawScore, 2 + data.TruthCorrection[Alcohol][4]);
        QCOMPARE(Scale(Alcohol).Percentile, 3 * 6 + 1);
        QCOMPARE(Scale(Drugs).Percentile, 40);
        QVERIFY(scoring().DrugFloorApplied);

        data.SetPercentile(Truthfulness, 3, 95);
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).RawScore, 2 + data.TruthCorrection[Alcohol][5]);
        QCOMPARE(Scale(Drugs).RawScore, 1 + 1);
        for (int s = Alcohol; s <= Risk; ++s)
            QCOMPARE(Scale(s).Percentile, 99);
        // The computation ended before any floor was looked at.
        QVERIFY(!scoring().DrugFloorApplied);
    }

    void criticalItemFloors_data()
    {
        QTest::addColumn<int>("criticalAnswers");
        QTest::addColumn<QString>("convictions");
        QTest::addColumn<int>("percentile");
        QTest::newRow("one critical item, no floor") << 1 << "0" << 3 * 6 + 1;
        QTest::newRow("two give 40") << 2 << "0" << 40;
        QTest::newRow("one and two convictions give 40 and the conviction floor 61") << 1 << "2" << 61;
        QTest::newRow("three give 69") << 3 << "0" << 69;
        QTest::newRow("four give 88") << 4 << "0" << 88;
        QTest::newRow("five give 92") << 5 << "0" << 92;
    }

    void criticalItemFloors()
    {
        QFETCH(int, criticalAnswers);
        QFETCH(QString, convictions);
        QFETCH(int, percentile);
        // Critical items need more than 1 point; 2 points each here, so raw = 2 per answer
        // (plus the court points), and a low table keeps the floors visible.
        for (int item = 21; item <= 28; ++item)
            data.SetKeyPoints(item, 1, 2);
        for (int raw = 1; raw <= 30; ++raw)
            data.SetPercentile(Drugs, raw, 3 * 6 + 1);
        ClientRecord r = QuietClient();
        SetAnswerRange(r, 21, 20 + criticalAnswers, '1');
        SetAnswers(r, {29, 30}, '1');  // scored but not critical: no cap, no count
        r.DrugConvictions = convictions;
        QVERIFY(Score(r));
        QCOMPARE(int(Scale(Drugs).Percentile), percentile);
    }

    void riskCriticalCountIncludesCourtHistory()
    {
        for (int raw = 1; raw <= 80; ++raw)
            data.SetPercentile(Risk, raw, 10);
        ClientRecord r = QuietClient();
        SetAnswerRange(r, 37, 40, '1');  // scored, not critical
        r.TimesPrison = "1";
        r.TimesJail = "2";
        QVERIFY(Score(r));
        QCOMPARE(Scale(Risk).Percentile, 40);

        r.MisdemeanorConvictions = "3";
        r.FelonyConvictions = "3";
        QVERIFY(Score(r));
        QCOMPARE(Scale(Risk).Percentile, 88);
    }

    // A conviction floor raises the percentile and says so; it never lowers one.
    void convictionFloorsRaiseAndFlag()
    {
        const std::pair<const char*, int> floors[] = {{"1", 40}, {"2", 61}, {"3", 72},
                                                      {"4", 80}, {"5", 89}, {"12", 89}};
        for (auto [convictions, floor] : floors)
            for (bool alcohol : {true, false}) {
                Fresh();
                ClientRecord r = QuietClient();
                (alcohol ? r.AlcoholConvictions : r.DrugConvictions) = QString::fromLatin1(convictions);
                QVERIFY(Score(r));
                QCOMPARE(int(Scale(alcohol ? Alcohol : Drugs).Percentile), floor);
                QCOMPARE(scoring().AlcoholFloorApplied, alcohol);
                QCOMPARE(scoring().DrugFloorApplied, !alcohol);
            }
        data.SetPercentile(Alcohol, 5, 45);
        ClientRecord r = QuietClient();
        SetAnswerRange(r, 11, 14, '1');
        r.AlcoholConvictions = "1";
        QVERIFY(Score(r));
        QCOMPARE(Scale(Alcohol).Percentile, 45);
        QVERIFY(!scoring().AlcoholFloorApplied);
    }
};

QTEST_GUILESS_MAIN(tst_ScoringEngine)
#include "tst_ScoringEngine.moc"
