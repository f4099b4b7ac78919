// The client-information and court-history rules, called without any form.
#include <QtTest>

#include "clients/ClientValidation.h"
#include "clients/CodeTables.h"
#include "clients/DateMask.h"

class tst_ClientRules : public QObject {
    Q_OBJECT

private slots:
    void recognizesListTexts_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        // Digit first, prefix second, "N/A" last; "N" alone is ambiguous for race and marital.
        QTest::newRow("sex n") << "sex" << "n" << 0;
        QTest::newRow("sex 2") << "sex" << "2" << 2;
        QTest::newRow("sex male lower") << "sex" << "male" << 1;
        QTest::newRow("sex 3") << "sex" << "3" << -1;
        QTest::newRow("sex empty") << "sex" << "" << -1;
        QTest::newRow("race 5") << "race" << "5" << 5;
        QTest::newRow("race N") << "race" << "N" << -1;
        QTest::newRow("race Na") << "race" << "Na" << 5;
        QTest::newRow("race N/A text") << "race" << "N/A" << 0;
        QTest::newRow("race Native American") << "race" << "Native American" << 5;
        QTest::newRow("race 7") << "race" << "7" << -1;
        QTest::newRow("marital N") << "marital" << "N" << -1;
        QTest::newRow("marital 0") << "marital" << "0" << 0;
        QTest::newRow("marital Separated") << "marital" << "Separated" << 4;
        QTest::newRow("marital 6") << "marital" << "6" << -1;
        QTest::newRow("marital 55") << "marital" << "55" << -1;
    }
    void recognizesListTexts()
    {
        QFETCH(QString, list);
        QFETCH(QString, text);
        QFETCH(int, code);
        const int got = list == "sex" ? RecognizeGender(text) : list == "race" ? RecognizeRace(text) : RecognizeMarital(text);
        QCOMPARE(got, code);
    }

    void everyDisplayTextRecognisesItself()
    {
        for (int i = 0; i < int(GenderText.size()); ++i)
            QCOMPARE(RecognizeGender(QString::fromLatin1(GenderText[i])), i);
        for (int i = 0; i < int(RaceText.size()); ++i)
            QCOMPARE(RecognizeRace(QString::fromLatin1(RaceText[i])), i);
        for (int i = 0; i < int(MaritalText.size()); ++i)
            QCOMPARE(RecognizeMarital(QString::fromLatin1(MaritalText[i])), i);
    }

    void fieldRulesOnEnter()
    {
        QVERIFY(!AcceptAge("10"));
        QVERIFY(AcceptAge("11"));
        QVERIFY(AcceptAge("99"));
        QVERIFY(AcceptAge("n"));
        QVERIFY(!AcceptAge("5"));
        QVERIFY(!AcceptAge("1a"));
        QVERIFY(!AcceptAge(""));
        QVERIFY(AcceptEducation("0"));
        QVERIFY(AcceptEducation(" 12 "));
        QVERIFY(!AcceptEducation(""));
        QVERIFY(!AcceptEducation("NN"));
        QVERIFY(!AcceptEducation("ab"));
        QVERIFY(!AcceptSSN("123-45-678"));
        QVERIFY(AcceptSSN("123-45-6789"));
        QVERIFY(AcceptSSN("12345678901"));
        QVERIFY(AcceptSSN("N"));
        QVERIFY(!AcceptName(""));
        QVERIFY(AcceptName("N"));
    }

    void datesOfBirth()
    {
        // Enter wants a real calendar date; "Information OK" also wants 1890..2000.
        QVERIFY(!AcceptDateOfBirth("02/30/1990"));
        QVERIFY(AcceptDateOfBirth("01/15/2001"));
        QVERIFY(!GoodDate("01/15/2001"));
        QVERIFY(AcceptDateOfBirth("N_/__/____"));
        QVERIFY(AcceptDateOfBirth("n_/__/____"));
        QVERIFY(!AcceptDateOfBirth("01/1_/1990"));
        QVERIFY(!AcceptDateOfBirth("__/__/____"));
        QVERIFY(!AcceptDateOfBirth("13/01/1990"));
        QVERIFY(GoodDate("12/31/2000"));
        QVERIFY(GoodDate("01/01/1890"));
        QVERIFY(!GoodDate("12/31/1889"));
        QVERIFY(!GoodDate("04/31/1990"));
        QVERIFY(GoodDate("02/29/1996"));
        QVERIFY(!GoodDate("02/29/1999"));
        QVERIFY(!GoodDate("00/10/1990"));
    }

    void courtValues()
    {
        QString n = "n";
        QVERIFY(ValidateCourtValue(n, 0, 99));
        QCOMPARE(n, QString("N"));
        QString zero = "0", empty, letters = "ab", nn = "NN", three = "3";
        QVERIFY(ValidateCourtValue(zero, 0, 99));
        QVERIFY(!ValidateCourtValue(empty, 0, 99));
        QVERIFY(!ValidateCourtValue(letters, 0, 99));
        QVERIFY(!ValidateCourtValue(nn, 0, 99));
        QCOMPARE(letters, QString("ab")); // a refused text is left as it was
        QVERIFY(ValidateCourtValue(three, 0, 99));
        QVERIFY(!ValidateFirstConviction("4"));
        QVERIFY(ValidateFirstConviction("5"));
        QVERIFY(ValidateFirstConviction("99"));
        QVERIFY(ValidateFirstConviction("n"));
        QVERIFY(!ValidateFirstConviction(""));
    }

    void editLimitCountsEachLeftChange()
    {
        ClientInfoValues v{"Jane Doe", "123-45-6789", "34", 2, 1, "12", 2, "04/17/1990"};
        EditCounter counter;
        counter.TakeSnapshots(v);
        qint16 count = 0;
        QCOMPARE(counter.CountFieldChange(FieldAge, v, count), EditCounter::Outcome::Unchanged);
        v.Age = "35";
        QCOMPARE(counter.CountFieldChange(FieldAge, v, count), EditCounter::Outcome::Counted);
        QCOMPARE(counter.CountFieldChange(FieldAge, v, count), EditCounter::Outcome::Unchanged);
        v.Name = "Jane Roe";
        QCOMPARE(counter.CountFieldChange(FieldName, v, count), EditCounter::Outcome::Counted);
        QCOMPARE(count, qint16(2));
        v.Name = "Jane Doe"; // back as it was: still a change against the last one
        QCOMPARE(counter.CountFieldChange(FieldName, v, count), EditCounter::Outcome::LimitReached);
        QCOMPARE(count, qint16(3));
        v.Gender = 1;
        QCOMPARE(counter.CountFieldChange(FieldGender, v, count), EditCounter::Outcome::LimitReached);
        QCOMPARE(count, qint16(3));
    }

    void notAvailableClientStoresNsAndZeroCodes()
    {
        const ClientInfoValues v{"N", "N", "N", 0, 0, "N", 0, "N_/__/____"};
        QCOMPARE(FirstEmptyField(v), -1);
        ClientRecord r;
        StartNewRecord(r);
        StoreInfo(v, r);
        QCOMPARE(r.Name.text(), QString("N").leftJustified(25));
        QCOMPARE(r.Education.text(), QString("N "));
        QCOMPARE(r.DateOfBirth.text(), QString("N").leftJustified(10));
        QCOMPARE(r.Gender.text() + r.Race.text() + r.Marital.text(), QString("000"));
        QCOMPARE(r.Answers.text(), QString(64, '0'));
        QCOMPARE(r.EditCount.text() + r.NameDeleted.text(), QString("00"));
        QCOMPARE(r.TestDate.text(), QDate::currentDate().toString("MM/dd/yyyy"));
        // Shown again as the form shows it, nothing reads as changed.
        QVERIFY(InfoMatchesRecord(v, r));
        ClientInfoValues changed = v;
        changed.Marital = 1;
        QVERIFY(!InfoMatchesRecord(changed, r));
    }

    void firstEmptyFieldInFormOrder()
    {
        ClientInfoValues v{"A", "N", "", 1, -1, "", 1, "__/__/____"};
        QCOMPARE(FirstEmptyField(v), int(FieldAge));
        v.Age = "30";
        QCOMPARE(FirstEmptyField(v), int(FieldRace));
        v.Race = 3;
        QCOMPARE(FirstEmptyField(v), int(FieldEducation));
        v.Education = "8";
        QCOMPARE(FirstEmptyField(v), int(FieldDateOfBirth));
    }

    void dateMaskTyping()
    {
        DateMask m;
        QCOMPARE(m.Text(), QString("__/__/____"));
        QVERIFY(m.Type('n'));
        QCOMPARE(m.Text(), QString("N_/__/____"));
        QVERIFY(!m.Type('N')); // "N" only in the first position
        m.Clear();
        for (QChar c : QString("01151990"))
            QVERIFY(m.Type(c));
        QCOMPARE(m.Text(), QString("01/15/1990"));
        QVERIFY(!m.Type('1')); // full
        m.Backspace();
        QCOMPARE(m.Text(), QString("01/15/199_"));
        // Typing over a whole selection starts afresh.
        QVERIFY(m.Type('1', 0, 10));
        QCOMPARE(m.Text(), QString("1_/__/____"));
        QVERIFY(m.Type('/'));
        QVERIFY(m.Type('3'));
        QCOMPARE(m.Text(), QString("1_/3_/____"));
        m.SetText("N");
        QCOMPARE(m.Text(), QString("N_/__/____"));
        m.SetText("04/17/1990");
        QCOMPARE(m.Text(), QString("04/17/1990"));
        QVERIFY(!DateMask::IsAcceptedKey('x'));
        QVERIFY(DateMask::IsAcceptedKey('/'));
    }
};

QTEST_GUILESS_MAIN(tst_ClientRules)
#include "tst_ClientRules.moc"
