// Verification of typed answers, driven with the operator's keys; the data file is compared
// byte for byte after each way through the form.
#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/frmVerify.h"
#include "tests/support/TestSupport.h"

using MsgBox::Answer;

namespace {
// Client 2's answers: odd true/false items 1, even ones 2; the last four 1 to 4.
const QString Stored = QString(QStringLiteral("12")).repeated(30) + QStringLiteral("1234");
QString With(QString answers, int item, QChar answer)
{
    answers[item - 1] = answer;
    return answers;
}
QString Label(int item) { return QStringLiteral("Question #%1").arg(item); }
}  // namespace

class tst_Verify : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> t;
    std::unique_ptr<frmVerify> form;
    QByteArray before;

    // Client 2 of two on `folder`, holding `answers`, is verified.
    void Open(const QString& answers, const QString& folder = QString())
    {
        program().DataFilePath = (folder.isEmpty() ? t->disk() : folder) + QStringLiteral("/DATA401.ZEP");
        CHECKED(WriteClients(QFileInfo(program().DataFilePath).path(), {QStringLiteral("Ann"), QStringLiteral("Bob")}));
        before = FileWith(answers.leftJustified(AnswerCount));
        CHECKED(WriteFileBytes(program().DataFilePath, before));
        QVERIFY(LoadClientTable());
        program().CurrentClient = 2;
        form = std::make_unique<frmVerify>();
        form->Activate();
        CHECKED(ShowActive(form.get()));
        QTRY_VERIFY(Child<QLineEdit>(form, "txtCurQuestion")->hasFocus());
    }
    QByteArray FileWith(const QString& answers) const
    {
        return ReadFileBytes(program().DataFilePath).replace(RecordLength + 78, AnswerCount, answers.toLatin1());
    }
    void CompareDisk(const QByteArray& expected) const
    {
        QCOMPARE(ReadFileBytes(program().DataFilePath), expected);
        QCOMPARE(RecordToBytes(program().ClientTable[2]), expected.mid(RecordLength, RecordLength));
    }

private slots:
    void init() { t = std::make_unique<TestProgram>(); }
    void cleanup() { form.reset(); }

    void passes_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");        // the first pass ("\b" is Backspace)
        QTest::addColumn<QString>("corrections");  // the correction pass
        QTest::addColumn<QString>("asked");        // its items
        QTest::addColumn<QString>("result");
        QTest::newRow("no differences") << Stored << "2\b" + Stored << ""
                                        << "" << Stored;
        QTest::newRow("three differences") << Stored << With(With(With(Stored, 62, '4'), 40, '1'), 5, '2') << "103"
                                           << "5 40 62" << With(With(Stored, 40, '0'), 62, '3');
        QTest::newRow("blank answers") << Stored.left(60) << Stored << "4321"
                                       << "61 62 63 64" << Stored.left(60) + "4321";
    }
    void passes()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, corrections);
        QFETCH(QString, asked);
        QFETCH(QString, result);
        CHECKED(Open(stored));
        MsgBox::SetNextAnswers({Answer::Ok, Answer::Ok});
        TypeText(typed);
        QStringList labels;
        for (QChar c : corrections) {
            labels << Child<QLabel>(form, "lblCurQuestion")->text().mid(10);
            TypeText(c);
        }
        QCOMPARE(labels.join(QLatin1Char(' ')), asked);
        QStringList shown;
        for (const auto& m : MsgBox::Shown())
            shown << m.title + QLatin1Char('|') + m.text + (m.icon == MsgBox::Icon::None ? "" : " with an icon");
        QCOMPARE(shown,
                 (corrections.isEmpty()
                      ? QStringList{"Data Verification.|Data Verification complete. No corrections needed."}
                      : QStringList{"Data Corrections|Data Correction needed. Please correct the following questions.",
                                    "Data Verification|Data Verification complete."}));
        QCOMPARE(form->result(), int(QDialog::Accepted));
        CHECKED(CompareDisk(FileWith(result)));
    }

    void keysOnTheCurrentItem_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("next");      // the item asked afterwards; the same one beeps
        QTest::addColumn<QString>("prev");  // the Previous Question box, empty while hidden
        QTest::newRow("2 on item 1") << 1 << int(Qt::Key_2) << 2 << "2";
        QTest::newRow("3 on item 60") << 60 << int(Qt::Key_3) << 60 << "1";
        QTest::newRow("3 on item 61") << 61 << int(Qt::Key_3) << 62 << "3";
        QTest::newRow("5 on item 63") << 63 << int(Qt::Key_5) << 63 << "2";
        QTest::newRow("Enter on item 1") << 1 << int(Qt::Key_Return) << 1 << "";
        QTest::newRow("Backspace on item 1") << 1 << int(Qt::Key_Backspace) << 1 << "";
        QTest::newRow("Backspace on item 2") << 2 << int(Qt::Key_Backspace) << 1 << "";
        QTest::newRow("Backspace on item 3") << 3 << int(Qt::Key_Backspace) << 2 << "1";
    }
    void keysOnTheCurrentItem()
    {
        QFETCH(int, item);
        QFETCH(int, key);
        QFETCH(int, next);
        QFETCH(QString, prev);
        CHECKED(Open(Stored));
        TypeText(Stored.left(item - 1));
        Press(key);
        Child<QLineEdit>(form, "txtCurQuestion")->insert(QStringLiteral("1"));  // pasted: thrown away
        QCOMPARE(Child<QLabel>(form, "lblCurQuestion")->text(), Label(next));
        QCOMPARE(BeepCount(), next == item ? 1 : 0);
        const bool noPrevious = Child<QGroupBox>(form, "Frame1")->isHidden();
        QCOMPARE(noPrevious ? QString() : Child<QLabel>(form, "lblPrevQuestion")->text(),
                 prev.isEmpty() ? "" : Label(next - 1));
        QCOMPARE(noPrevious ? QString() : Child<QLineEdit>(form, "txtPrevQuestion")->text(), prev);
        QCOMPARE(Child<QLineEdit>(form, "txtCurQuestion")->text(), QString());
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::newRow("button, first pass") << Stored.left(10) << int(Qt::Key_Tab);
        QTest::newRow("Escape, correction pass") << With(Stored, 5, '2') << int(Qt::Key_Escape);
    }
    void cancelWritesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        CHECKED(Open(Stored));
        MsgBox::SetNextAnswer(Answer::Ok);
        TypeText(typed);
        Press(key);
        if (key == Qt::Key_Tab)
            Press(Qt::Key_Return);
        QVERIFY(form->isHidden());  // closed by Cancel, not by a save
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QCOMPARE(MsgBox::Shown().size(), typed.size() / AnswerCount);
        CHECKED(CompareDisk(before));
    }

    void failedWriteKeepsTheFormOpen()
    {
        TmpfsMount disk;
        REQUIRE_TMPFS(disk);
        CHECKED(Open(Stored, disk.path()));
        MsgBox::SetNextAnswers({Answer::Ok, Answer::Cancel});
        TypeText(With(Stored, 5, '2'));
        QVERIFY(disk.remountReadOnly());
        TypeText(QStringLiteral("0"));
        QCOMPARE(MsgBox::Shown().size(), 2);
        QCOMPARE(LastMessage().title, QStringLiteral("Data Disk Error"));
        QVERIFY(form->isVisible());
        QVERIFY(disk.remountWritable());
        CHECKED(CompareDisk(before));
        // With the disk writable again, Enter saves what was typed.
        MsgBox::SetNextAnswer(Answer::Ok);
        Press(Qt::Key_Return);
        QCOMPARE(LastMessage().title, QStringLiteral("Data Verification"));
        QVERIFY(!form->isVisible());
        CHECKED(CompareDisk(FileWith(With(Stored, 5, '0'))));
    }
};

QTEST_MAIN(tst_Verify)
#include "tst_Verify.moc"
