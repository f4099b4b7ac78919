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
        const char* rows[][3] = {{"sex", "n", "0"},
                                 {"sex", "male", "1"},
                                 {"sex", "3", "-1"},
                                 {"sex", "", "-1"},
                                 {"race", "5", "5"},
                                 {"race", "N", "-1"},
                                 {"race", "Na", "5"},
                                 {"race", "N/A", "0"},
                                 {"race", "7", "-1"},
                                 {"marital", "N", "-1"},
                                 {"marital", "Separated", "4"},
                                 {"marital", "55", "-1"}};
        for (const auto& row : rows)
            QTest::addRow("%s %s", row[0], row[1]) << row[0] << row[1] << QByteArray(row[2]).toInt();
    }
    void recognizesListTexts()
    {
        QFETCH(QString, list);
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(list == "sex"    ? RecognizeGender(text)
                 : list == "race" ? RecognizeRace(text)
                                  : RecognizeMarital(text),
                 code);
        for (int i = 0; i < int(RaceText.size()); ++i)  // every display text recognises itself
            QCOMPARE(RecognizeRace(QString::fromLatin1(RaceText[i])), i);
    }

    void fieldRulesOnEnter_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("age") << "age" << QStringList{"11", "99", "n"} << QStringList{"10", "5", "1a", ""};
        QTest::newRow("education") << "education" << QStringList{"0", " 12 "} << QStringList{"", "NN", "ab"};
        QTest::newRow("ID") << "ID" << QStringList{"123-45-6789", "12345678901", "N"} << QStringList{"123-45-678"};
        QTest::newRow("name") << "name" << QStringList{"N"} << QStringList{""};
        // Enter wants a real calendar date.
        QTest::newRow("date on Enter") << "date" << QStringList{"01/15/2001", "N_/__/____", "n_/__/____"}
                                       << QStringList{"02/30/1990", "01/1_/1990", "__/__/____", "13/01/1990"};
        // "Information OK" also wants 1890..2000.
        QTest::newRow("date on OK") << "good date" << QStringList{"12/31/2000", "01/01/1890", "02/29/1996"}
                                    << QStringList{"01/15/2001", "12/31/1889", "04/31/1990", "02/29/1999",
                                                   "00/10/1990"};
        QTest::newRow("first conviction") << "first" << QStringList{"5", "99", "n"} << QStringList{"4", ""};
        QTest::newRow("court value") << "court" << QStringList{"0", "3", "n"} << QStringList{"", "ab", "NN"};
    }
    void fieldRulesOnEnter()
    {
        QFETCH(QString, rule);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, refused);
        const auto accepts = [&rule](QString text) {
            if (rule == "age")
                return AcceptAge(text);
            if (rule == "education")
                return AcceptEducation(text);
            if (rule == "ID")
                return AcceptSSN(text);
            if (rule == "name")
                return AcceptName(text);
            if (rule == "date")
                return AcceptDateOfBirth(text);
            if (rule == "good date")
                return GoodDate(text);
            if (rule == "first")
                return ValidateFirstConviction(text);
            return ValidateCourtValue(text, 0, 99);
        };
        for (const QString& text : accepted)
            QVERIFY2(accepts(text), qPrintable(text));
        for (const QString& text : refused)
            QVERIFY2(!accepts(text), qPrintable(text));
        // A court value "n" comes back as "N"; a refused one is left as it was.
        QString n = "n", ab = "ab";
        QVERIFY(ValidateCourtValue(n, 0, 99) && n == "N" && !ValidateCourtValue(ab, 0, 99) && ab == "ab");
    }

    void notAvailableClientStoresNsAndZeroCodes()
    {
        const ClientInfoValues v{"N", "N", "N", 0, 0, "N", 0, "N_/__/____"};
        QCOMPARE(FirstEmptyField(v), -1);
        ClientRecord r;
        StartNewRecord(r);
        StoreInfo(v, r);
        QCOMPARE(RecordToBytes(r).left(44), QByteArray("N").leftJustified(25) + "N          N  00N 0");
        QCOMPARE(r.DateOfBirth.text(), QString("N").leftJustified(10));
        QCOMPARE(r.Answers.text() + r.EditCount.text() + r.NameDeleted.text(), QString(66, '0'));
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
        QVERIFY(m.Type('n'));
        QCOMPARE(m.Text(), QString("N_/__/____"));
        QVERIFY(!m.Type('N'));  // "N" only in the first position
        m.Clear();
        for (QChar c : QString("01151990"))
            QVERIFY(m.Type(c));
        QCOMPARE(m.Text(), QString("01/15/1990"));
        QVERIFY(!m.Type('1'));  // full
        m.Backspace();
        QCOMPARE(m.Text(), QString("01/15/199_"));
        // Typing over a whole selection starts afresh; "/" moves on to the day.
        QVERIFY(m.Type('1', 0, 10) && m.Type('/') && m.Type('3'));
        QCOMPARE(m.Text(), QString("1_/3_/____"));
        m.SetText("04/17/1990");
        QCOMPARE(m.Text(), QString("04/17/1990"));
        QVERIFY(!DateMask::IsAcceptedKey('x') && DateMask::IsAcceptedKey('/'));
    }
};

QTEST_GUILESS_MAIN(tst_ClientRules)
#include "tst_ClientRules.moc"
