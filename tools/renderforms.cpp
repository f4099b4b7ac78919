// renderforms OUTDIR — draws every form of the program into OUTDIR/<form>.png without a
// display, for the user guide.
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "app/frmAbout.h"
#include "app/frmDriveSelect.h"
#include "app/frmMainMenu.h"
#include "base/Program.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCourtHistory.h"
#include "scoring/frmPrintSelected.h"
#include "scoring/frmSupervisorOptions.h"
#include "scoring/frmViewReport.h"
#include "testing/QuestionBank.h"
#include "testing/frmNewEntry.h"
#include "testing/frmPresentQA.h"
#include "testing/frmSelectEntryMethod.h"
#include "testing/frmSelectLanguage.h"
#include "testing/frmVerify.h"
#include "tools/DemoClients.h"
#include "widgets/FormHelpers.h"
#include "widgets/frmMyInputBox.h"

namespace {

bool Save(QWidget* form, const QString& folder, const QString& suffix = QString())
{
    QCoreApplication::processEvents();
    const QString file = folder + QLatin1Char('/') + form->objectName() + suffix + QStringLiteral(".png");
    if (!form->grab().save(file)) {
        std::fprintf(stderr, "renderforms: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// A control of a form by its name; the forms keep their controls to themselves.
template <class T>
T* Child(QWidget* form, const QString& name)
{
    T* child = form->findChild<T*>(name);
    if (!child) {
        std::fprintf(stderr, "renderforms: %s has no %s\n", qPrintable(form->objectName()), qPrintable(name));
        std::exit(1);
    }
    return child;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: renderforms OUTDIR\n");
        return 2;
    }
    const QString out = args[0];
    QDir().mkpath(out);

    Program& p = program();
    const QList<ClientRecord> clients = DemoClients();
    for (int i = 0; i < clients.size(); ++i)
        p.ClientTable[i + 1] = clients[i];
    p.ClientCount = qint16(clients.size());
    p.CurrentClient = 1;

    bool ok = true;
    frmMainMenu menu;
    menu.ShowLogo();
    menu.Activate();
    menu.show();
    auto* names = Child<QListWidget>(&menu, QStringLiteral("lbNameDisplay"));
    names->setFocus();
    names->setCurrentRow(1);
    ok &= Save(&menu, out);

    frmMyInputBox box;
    box.InputLength = 8;
    box.HelpMessage =
        QStringLiteral("Enter the Secret Code to continue.  For security, asterisks (*) will show as you type.");
    box.PasswordInput = true;
    box.setWindowTitle(QStringLiteral("Secret Code"));
    box.Activate();
    box.show();
    ok &= Save(&box, out);
    box.hide();

    frmSelectEntryMethod method;
    method.show();
    method.Activate();
    Child<QPushButton>(&method, QStringLiteral("cmdMenuChoice_0"))->setFocus();
    ok &= Save(&method, out);
    method.hide();

    frmDriveSelect chooser;
    chooser.show();
    ok &= Save(&chooser, out);
    chooser.hide();

    // The client forms as staff see them when correcting the first demo client.
    p.EditMode = true;
    frmClientInfo info;
    info.show();
    info.Activate();
    Child<QLineEdit>(&info, QStringLiteral("txtAge"))->setFocus();
    ok &= Save(&info, out);
    info.hide();

    frmCourtHistory court;
    court.show();
    court.Activate();
    Child<QLineEdit>(&court, QString::fromLatin1(CourtFields[0].Control))->setFocus();
    ok &= Save(&court, out);
    court.hide();
    p.EditMode = false;

    // The forms that read the question bank, over a bank of their own with the test's shape
    // (60 true/false items, four with four answers), so the pictures do not depend on a build.
    QList<QuestionItem> items;
    for (int id = 1; id <= 64; ++id) {
        QuestionItem item;
        item.ID = id;
        item.TestQuestion = id <= 60 ? QStringLiteral("I sometimes drink more than I meant to.")
                                     : QStringLiteral("How often have you been arrested for drinking and driving?");
        item.Answer[0] = id <= 60 ? QStringLiteral("True") : QStringLiteral("Never");
        item.Answer[1] = id <= 60 ? QStringLiteral("False") : QStringLiteral("Once");
        if (id > 60) {
            item.Answer[2] = QStringLiteral("A few times");
            item.Answer[3] = QStringLiteral("Many times");
        }
        items << item;
    }
    QTemporaryDir bankFolder;
    SetStartUpDefaults(bankFolder.path());
    QString bankError;
    if (!CreateQuestionBank(p.DatabasePath, {{QStringLiteral("English"), items}, {QStringLiteral("Spanish"), items}},
                            &bankError)) {
        std::fprintf(stderr, "renderforms: %s\n", qPrintable(bankError));
        ok = false;
    } else {
        frmSelectLanguage language;
        language.LanguageCount();
        language.show();
        language.Activate();
        ok &= Save(&language, out);
        language.hide();

        // The test as the client sees it: the general instructions, then item 61. The form
        // holds the bank while it lives.
        {
            frmPresentQA present;
            present.Language = QStringLiteral("English");
            if (!present.Load()) {
                std::fprintf(stderr, "renderforms: %s\n", qPrintable(present.LoadError()));
                ok = false;
            } else {
                present.show();
                QApplication::setActiveWindow(&present);
                present.Activate();
                ok &= Save(&present, out, QStringLiteral("-instructions"));
                auto pressEnter = [](QWidget* on) {
                    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                    QCoreApplication::sendEvent(on, &enter);
                };
                auto* instructions = Child<QPlainTextEdit>(&present, QStringLiteral("txtInstructions"));
                pressEnter(instructions);
                pressEnter(instructions);
                for (int item = 1; item <= 60; ++item)
                    Child<QPushButton>(&present, QStringLiteral("cmdMenuChoice_0"))->click();
                pressEnter(instructions);
                Child<QPushButton>(&present, QStringLiteral("cmdMenuChoice_1"))->setFocus();
                ok &= Save(&present, out);
            }
            present.hide();
        }

        p.EditMode = true;
        p.CurrentClient = 3;
        frmNewEntry entry;
        if (!entry.Load()) {
            std::fprintf(stderr, "renderforms: %s\n", qPrintable(entry.LoadError()));
            ok = false;
        } else {
            entry.Activate();
            entry.show();
            QApplication::setActiveWindow(&entry);
            ok &= Save(&entry, out);
        }
        entry.hide();
    }

    // The supervisor's forms, over a program folder holding the supplied scoring files.
    QTemporaryDir programFolder;
    p.ProgramFolder = programFolder.path();
    const QDir data(QStringLiteral(ZEP_DATA_DIR));
    for (const QString& name : data.entryList({QStringLiteral("*.TXT")}, QDir::Files))
        QFile::copy(data.filePath(name), programFolder.filePath(name));
    p.CurrentClient = 1;
    {
        frmSupervisorOptions options;
        options.show();
        Child<QRadioButton>(&options, QStringLiteral("optPrintOption_0"))->setFocus();
        ok &= Save(&options, out);
    }
    {
        frmViewReport viewer;
        viewer.show();
        ok &= viewer.Activate();
        Child<QPushButton>(&viewer, QStringLiteral("cmdMenuChoice_0"))->setFocus();
        ok &= Save(&viewer, out);
    }
    {
        frmPrintSelected selected;
        selected.show();
        selected.Activate();
        auto* list = Child<QListWidget>(&selected, QStringLiteral("lbNameDisplay"));
        list->setFocus();
        for (int row : {1, 3})
            list->item(row)->setSelected(true);
        list->setCurrentRow(3, QItemSelectionModel::NoUpdate);
        ok &= Save(&selected, out);
    }
    {
        frmVerify verify;
        verify.show();
        verify.Activate();
        QApplication::setActiveWindow(&verify);
        auto* answer = Child<QLineEdit>(&verify, QStringLiteral("txtCurQuestion"));
        answer->setFocus();
        for (const char digit : {'2', '1', '2'})
            QTest::keyClick(answer, digit);
        ok &= Save(&verify, out);
    }

    frmAbout::RevealTickMs = 1;
    frmAbout about(false, &menu);
    about.Load();
    while (!about.FadeDone())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ok &= Save(&about, out);
    return ok ? 0 : 1;
}
