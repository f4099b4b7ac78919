// The pieces every form shares.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/FormHelpers.h"
#include "app/frmDriveSelect.h"
#include "tests/support/TestSupport.h"

class tst_FormHelpers : public QObject {
    Q_OBJECT

private slots:
    void selectAllTextSelectsFieldsAndLeavesOtherControlsAlone()
    {
        QWidget form;
        auto* edit = new QLineEdit(QStringLiteral("12/31/2000"), &form);
        auto* button = new QPushButton(QStringLiteral("OK"), &form);
        auto* list = new QListWidget(&form);
        list->addItem(QStringLiteral("1-Ann"));
        ShowActive(&form);

        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->setCursorPosition(3);
        SelectAllText();
        QCOMPARE(edit->selectedText(), QStringLiteral("12/31/2000"));

        for (QWidget* w : {static_cast<QWidget*>(button), static_cast<QWidget*>(list)}) {
            w->setFocus();
            QTRY_VERIFY(w->hasFocus());
            SelectAllText();  // nothing to select: no change, no complaint
            QVERIFY(w->hasFocus());
        }
        QCOMPARE(list->selectedItems().size(), 0);
        QVERIFY(MsgBox::Shown().isEmpty());
    }

    void formsAreCentredEvenWhenLargerThanTheScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QWidget small;
        small.setFixedSize(200, 100);
        CenterForm(&small);
        QCOMPARE(small.pos(), QPoint(screen.x() + screen.width() / 2 - 100, screen.y() + screen.height() / 2 - 50));

        QWidget huge;
        huge.setFixedSize(screen.width() + 400, screen.height() + 200);
        CenterForm(&huge);
        QCOMPARE(huge.pos(), QPoint(screen.x() - 200, screen.y() - 100));
    }

    void framesSit500TwipsAboveTheCentre()
    {
        QWidget form;
        form.setFixedSize(Twips(8985), Twips(6090));
        QFrame frame(&form);
        frame.setGeometry(TwipsRect(1380, 120, 5535, 5475));
        CenterFrame(&frame);
        QCOMPARE(frame.x(), (Twips(8985) - Twips(5535)) / 2);
        QCOMPARE(frame.y(), Twips(6090) / 2 - (Twips(5475) + Twips(1000)) / 2);
        QVERIFY(frame.y() < 0);  // nothing clamps it
    }

    void menuChoicePanelsFrameTheirButtons()
    {
        QWidget form;
        QFrame* panel = nullptr;
        QPushButton* button = MakeMenuChoice(&form, 2, QStringLiteral("Go"), 3120, 1440, 2235, 375, &panel);
        QCOMPARE(button->objectName(), QStringLiteral("cmdMenuChoice_2"));
        QCOMPARE(panel->objectName(), QStringLiteral("sspMenuChoice_2"));
        QCOMPARE(panel->geometry(), TwipsRect(3060, 1380, 2370, 495));
        SetMenuChoice(&form, 2, 2);
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(0, 255, 255));
        QVERIFY(button->font().bold());
        ClearMenuChoices(&form, 2);
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(0, 0, 255));
        QVERIFY(!button->font().bold());
    }

    void driveChooserHelpAndEmptyFirstChoice()
    {
        TestProgram t;
        frmDriveSelect chooser;
        QCOMPARE(chooser.windowTitle(), QStringLiteral("Select Drive"));
        QCOMPARE(chooser.Label1->text(),
                 QStringLiteral(" Choose the drive associated with the data disk. (Usually A: or F:)"));
        WhenModalOpens("frmDriveSelect", [&](QWidget*) {
            QCOMPARE(chooser.drDrive->currentText(), QString());
            QTest::keyClick(chooser.drDrive->lineEdit(), Qt::Key_Tab);
            QTest::keyClick(chooser.cmdDone, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), chooser.cmdhelp);
            MsgBox::SetNextAnswer(MsgBox::Answer::Ok);
            QTest::keyClick(chooser.cmdhelp, Qt::Key_Return);
            QCOMPARE(LastMessage().text,
                     QStringLiteral("Use the dropdown box to select the drive that the floppy data \r\n"
                                    "diskette or USB Flash Drive is in. Floppy drives are usually A: or\r\n"
                                    "B: and USB drives are usually F: or G:"));
            QCOMPARE(LastMessage().icon, MsgBox::Icon::None);
            QTest::keyClick(chooser.cmdhelp, Qt::Key_Backtab);
            QTest::keyClick(chooser.cmdDone, Qt::Key_Return);
        });
        chooser.exec();
        QCOMPARE(chooser.SelectedDrive, QString());  // untouched list: the root folder
        QVERIFY(!chooser.isVisible());

        // The next showing keeps what was typed last time.
        WhenModalOpens("frmDriveSelect", [&](QWidget*) {
            QTest::keyClicks(chooser.drDrive->lineEdit(), QStringLiteral("/media/usb"));
            QTest::keyClick(chooser.drDrive->lineEdit(), Qt::Key_Tab);
            QTest::keyClick(chooser.cmdDone, Qt::Key_Return);
        });
        chooser.exec();
        WhenModalOpens("frmDriveSelect", [&](QWidget*) {
            QCOMPARE(chooser.drDrive->currentText(), QStringLiteral("/media/usb"));
            chooser.cmdDone->click();
        });
        chooser.exec();
        QCOMPARE(chooser.SelectedDrive, QStringLiteral("/media/usb"));
    }
};

QTEST_MAIN(tst_FormHelpers)
#include "tst_FormHelpers.moc"
