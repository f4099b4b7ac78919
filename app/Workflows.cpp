#include "app/Workflows.h"

#include <QCoreApplication>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCourtHistory.h"
#include "testing/QuestionBank.h"
#include "testing/frmNewEntry.h"
#include "testing/frmPresentQA.h"
#include "testing/frmSelectEntryMethod.h"
#include "testing/frmSelectLanguage.h"
#include "widgets/Password.h"

bool ShowClientInfoAndCourtHistory(QWidget* parent)
{
    Program& p = program();
    {
        frmClientInfo info(parent);
        info.exec();
    }
    if (!p.InputAccepted)
        return false;
    p.InputAccepted = false;
    frmCourtHistory court(parent);
    court.exec();
    return p.InputAccepted;
}

void RunEditCurrentClient(QWidget* parent)
{
    program().EditMode = true;
    if (ShowClientInfoAndCourtHistory(parent))
        ShowNewEntry(parent);
}

void RunAddNewClient(QWidget* parent)
{
    program().EditMode = false;
    frmSelectEntryMethod method(parent);
    QObject::connect(&method, &frmSelectEntryMethod::MethodChosen, &method, [&method](EntryMethod chosen) {
        if (chosen == EntryMethod::OnScreen)
            AdministerTest(method);
        else
            EnterFromAnswerSheet(method);
    });
    method.exec();
}

void AdministerTest(frmSelectEntryMethod& background)
{
    Program& p = program();
    if (!ShowClientInfoAndCourtHistory(&background))
        return;

    frmPresentQA present(&background);
    {
        frmSelectLanguage chooser(&background);
        const qint16 languages = chooser.LanguageCount();
        if (languages == 0) {
            // The operator has been told that the bank cannot be used; no test can be given.
            p.InputAccepted = false;
            return;
        }
        if (languages < 2) {
            present.Language = chooser.OnlyLanguage();
        } else {
            p.InputAccepted = false;
            chooser.exec();
            present.Language = chooser.Language;
        }
    }
    if (!p.InputAccepted)
        return;
    // The items are read while staff are still at the keyboard: a bank that cannot be used
    // is told to them, not to the client.
    if (!present.Load()) {
        ShowQuestionBankError(QStringLiteral("The test cannot be given on screen.\r\r%1").arg(present.LoadError()));
        p.InputAccepted = false;
        return;
    }

    background.ShowContinuePrompt();
    MsgBox::Show(QStringLiteral("Press the Enter key to begin the test."), MsgBox::Buttons::OkOnly, MsgBox::Icon::None,
                 QStringLiteral("Onscreen Presentation"));
    present.exec();
    background.ShowContinuePrompt();
    QCoreApplication::processEvents();
    // The client who took the test gets back to the main menu only through the staff.
    if (p.InputAccepted)
        while (!CheckSecretCode()) {
        }
}

void EnterFromAnswerSheet(frmSelectEntryMethod& background)
{
    Program& p = program();
    if (ShowClientInfoAndCourtHistory(&background)) {
        p.InputAccepted = false;
        ShowNewEntry(&background);
    }
}
