// The entry rules without a window: answer types, grids, accepted digits, cursor steps.
#include <QtTest>

#include "testing/AnswerEntry.h"
#include "testing/QuestionBank.h"

namespace {

QuestionItem Item(int id, const QString& answer2)
{
    QuestionItem item;
    item.ID = id;
    item.Answer[0] = QStringLiteral("first");
    item.Answer[1] = answer2;
    return item;
}

// The test's own shape: 60 true/false items, then four items with four answers.
QList<EntryGrid> StandardGrids()
{
    QList<QuestionItem> items;
    for (int id = 1; id <= 60; ++id)
        items << Item(id, QStringLiteral("False"));
    for (int id = 61; id <= 64; ++id)
        items << Item(id, QStringLiteral("Two"));
    return LayoutEntryGrids(items);
}

QString Accepted(int type)
{
    QString accepted;
    for (QChar c : QStringLiteral("0123456789aX \r"))
        if (AcceptsAnswer(type, c))
            accepted += c;
    return accepted;
}

} // namespace

class tst_AnswerEntry : public QObject {
    Q_OBJECT

private slots:
    void typeComesFromTheFirstFiveCharactersExactly_data()
    {
        QTest::addColumn<QString>("answer2");
        QTest::addColumn<int>("type");
        QTest::newRow("False") << "False" << 0;
        QTest::newRow("False, longer") << "False, not at all" << 0;
        QTest::newRow("false lower case") << "false" << 2;
        QTest::newRow("No") << "No" << 1;
        QTest::newRow("No and blank") << "No " << 2;
        QTest::newRow("Not sure") << "Not sure" << 2;
        QTest::newRow("Sometimes") << "Sometimes" << 3;
        QTest::newRow("sometimes lower case") << "sometimes" << 2;
        QTest::newRow("Mostly True") << "Mostly True" << 4;
        QTest::newRow("Often") << "Often" << 5;
        QTest::newRow("empty") << "" << 2;
        QTest::newRow("missing") << QString() << 2;
        QTest::newRow("digit") << "2" << 2;
    }
    void typeComesFromTheFirstFiveCharactersExactly()
    {
        QFETCH(QString, answer2);
        QFETCH(int, type);
        QCOMPARE(AnswerTypeOf(answer2), type);
    }

    void columnsWidthsDigitsAndHelpAgreePerType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("digits");
        QTest::newRow("true/false") << 0 << 2 << 1120 << "012";
        QTest::newRow("yes/no") << 1 << 2 << 1120 << "012";
        QTest::newRow("numbered") << 2 << 4 << 1550 << "01234";
        QTest::newRow("sometimes") << 3 << 4 << 1550 << "01234";
        QTest::newRow("mostly") << 4 << 5 << 1750 << "012345";
        QTest::newRow("often") << 5 << 5 << 1750 << "012345";
    }
    void columnsWidthsDigitsAndHelpAgreePerType()
    {
        QFETCH(int, type);
        QFETCH(int, columns);
        QFETCH(int, width);
        QFETCH(QString, digits);
        QCOMPARE(AnswerColumns(type), columns);
        QCOMPARE(GridWidth(type), width);
        QCOMPARE(Accepted(type), digits);
        // The help line explains exactly the digits the grid takes.
        const QString help = GridStatusText(type);
        QVERIFY(help.startsWith(QStringLiteral("0=No answer, 1=")));
        QVERIFY(help.endsWith(QStringLiteral(", Tab=Next grid")));
        for (int d = 0; d <= 9; ++d)
            QCOMPARE(help.contains(QStringLiteral("%1=").arg(d)), d <= columns);
    }

    void numberedHelpKeepsItsTwoBlanks()
    {
        QCOMPARE(GridStatusText(NumberedAnswers), QStringLiteral("0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"));
    }

    void onlyAnAnswerOfTheGridShowsAMark()
    {
        QCOMPARE(MarkedColumn(u'0', 2), 0);
        QCOMPARE(MarkedColumn(u'1', 2), 1);
        QCOMPARE(MarkedColumn(u'2', 2), 2);
        QCOMPARE(MarkedColumn(u'3', 2), 0);
        QCOMPARE(MarkedColumn(u'4', 4), 4);
        QCOMPARE(MarkedColumn(u'5', 4), 0);
        QCOMPARE(MarkedColumn(u'5', 5), 5);
        for (QChar odd : QStringLiteral(" X9/"))
            QCOMPARE(MarkedColumn(odd, 5), 0);
    }

    void itemsFallIntoOneGridPerTypeFirstMetFirst()
    {
        const QList<QuestionItem> items{
            Item(1, "False"), Item(2, "False"), Item(4, "Sometimes"), Item(3, "False"),
            Item(6, "No"),    Item(7, "Sometimes"), Item(5, "False"),
        };
        const QList<EntryGrid> grids = LayoutEntryGrids(items);
        QCOMPARE(grids.size(), 3);
        QCOMPARE(grids[0].Type, int(TrueFalseAnswers));
        QCOMPARE(grids[0].Items, (QList<int>{1, 2, 3, 5}));
        QCOMPARE(grids[1].Type, int(FrequencyAnswers));
        QCOMPARE(grids[1].Items, (QList<int>{4, 7}));
        QCOMPARE(grids[2].Type, int(YesNoAnswers));
        QCOMPARE(grids[2].Items, (QList<int>{6}));

        const QList<EntryGrid> standard = StandardGrids();
        QCOMPARE(standard.size(), 2);
        QCOMPARE(standard[0].Items.size(), 60);
        QCOMPARE(standard[1].Items, (QList<int>{61, 62, 63, 64}));
    }

    void itemsWithoutAPlaceInTheAnswersAreLeftOut()
    {
        const QList<QuestionItem> items{Item(0, "Often"), Item(1, "False"), Item(65, "No"), Item(-3, "No"),
                                        Item(1, "Often"), Item(64, "False")};
        const QList<EntryGrid> grids = LayoutEntryGrids(items);
        QCOMPARE(grids.size(), 1);
        QCOMPARE(grids[0].Items, (QList<int>{1, 64}));
        QVERIFY(LayoutEntryGrids({Item(99, "False")}).isEmpty());
    }

    void cursorRunsThroughTheGridsAndStopsAtTheEnds()
    {
        const QList<EntryGrid> grids = StandardGrids();
        auto down = [&](int grid, int row) { return StepDown(grids, {grid, row}); };
        auto up = [&](int grid, int row) { return StepUp(grids, {grid, row}); };

        QCOMPARE(down(0, 1).To, (EntryPosition{0, 2}));
        QCOMPARE(down(0, 60).To, (EntryPosition{1, 1}));
        QVERIFY(!down(0, 60).Beep);
        QCOMPARE(down(1, 3).To, (EntryPosition{1, 4}));
        QCOMPARE(down(1, 4).To, (EntryPosition{1, 4}));
        QVERIFY(down(1, 4).Beep);

        QCOMPARE(up(1, 1).To, (EntryPosition{0, 60}));
        QVERIFY(!up(1, 1).Beep);
        QCOMPARE(up(0, 7).To, (EntryPosition{0, 6}));
        QCOMPARE(up(0, 1).To, (EntryPosition{0, 1}));
        QVERIFY(up(0, 1).Beep);
    }

    void scrollingKeepsTheRowAboveOrFillsTheViewAtTheEnd()
    {
        // 60 items: header row plus 60 data rows.
        QCOMPARE(FirstVisibleRow(1, 61), 1);
        QCOMPARE(FirstVisibleRow(20, 61), 19);
        QCOMPARE(FirstVisibleRow(45, 61), 44);
        QCOMPARE(FirstVisibleRow(46, 61), 44);
        QCOMPARE(FirstVisibleRow(60, 61), 44);
        QCOMPARE(FirstVisibleRow(3, 5), 1);  // a short grid never scrolls above its first row
    }
};

QTEST_GUILESS_MAIN(tst_AnswerEntry)
#include "tst_AnswerEntry.moc"
