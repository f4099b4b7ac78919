#include "testing/frmSelectLanguage.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/QuestionBank.h"
#include "widgets/FormHelpers.h"

namespace {
constexpr int LastMenuChoice = 3;
constexpr int CancelChoice = 3;
constexpr int LanguageSlotCount = 3;

void ReportBankError(const QString& text)
{
    ShowQuestionBankError(text + QStringLiteral("\r\rThe test cannot be given on screen until the question bank "
                                                "is installed in the program folder."));
}
}  // namespace

frmSelectLanguage::frmSelectLanguage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Presentation Language"));
    setFixedSize(Twips(6015), Twips(4740));
    SetBackground(this, Blue);

    fraSelectMethod = new QGroupBox(QStringLiteral("Select Language to Present"), this);
    fraSelectMethod->setObjectName(QStringLiteral("fraSelectMethod"));
    fraSelectMethod->setGeometry(TwipsRect(1020, 330, 3975, 3075));
    SetFrameFocusLook(fraSelectMethod, false);

    const int tops[] = {480, 1080, 1680, 2280};
    for (int i = 0; i <= LastMenuChoice; ++i) {
        const QString caption = i == CancelChoice ? QStringLiteral("Cancel Presentation") : QString();
        cmdMenuChoice[i] = MakeMenuChoice(fraSelectMethod, i, caption, 480, tops[i], 3015, 435, &sspMenuChoice[i]);
    }
    // The language slots stay hidden until a language is put on them.
    for (int i = 0; i < LanguageSlotCount; ++i) {
        cmdMenuChoice[i]->hide();
        sspMenuChoice[i]->hide();
    }
    for (int i = 0; i < LastMenuChoice; ++i)
        QWidget::setTabOrder(cmdMenuChoice[i], cmdMenuChoice[i + 1]);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, 4365, 6015, 375));

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {QString(), QString(), QString(), QStringLiteral("Cancel presentation")};
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    // The status text of a language slot names its language, known only once the slots are filled.
    for (int i = 0; i < LanguageSlotCount; ++i)
        cmdMenuChoice[i]->installEventFilter(this);
}

bool frmSelectLanguage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        for (int i = 0; i < LanguageSlotCount; ++i)
            if (watched == cmdMenuChoice[i])
                MsgPanel->setText(QStringLiteral("Present in ") + cmdMenuChoice[i]->text());
    return QDialog::eventFilter(watched, event);
}

qint16 frmSelectLanguage::LanguageCount()
{
    QStringList languages;
    {
        QuestionBank bank(program().DatabasePath);
        if (!bank.IsOpen()) {
            ReportBankError(bank.ErrorText());
            return 0;
        }
        languages = bank.LanguageTables();
        if (!bank.ErrorText().isEmpty()) {
            ReportBankError(bank.ErrorText());
            return 0;
        }
    }  // the bank is closed here, before anything is shown
    if (languages.isEmpty()) {
        ReportBankError(
            QStringLiteral("The question bank %1 holds no English or Spanish table.").arg(program().DatabasePath));
        return 0;
    }
    languages = languages.mid(0, LanguageSlotCount);
    for (int i = 0; i < LanguageSlotCount; ++i) {
        const bool used = i < languages.size();
        cmdMenuChoice[i]->setText(used ? languages[i] : QString());
        cmdMenuChoice[i]->setVisible(used);
        sspMenuChoice[i]->setVisible(used);
    }
    return qint16(languages.size());
}

int frmSelectLanguage::LanguageSlots() const
{
    int n = 0;
    while (n < LanguageSlotCount && !cmdMenuChoice[n]->text().isEmpty())
        ++n;
    return n;
}

int frmSelectLanguage::exec()
{
    program().InputAccepted = false;
    if (LanguageSlots() == 0)
        return QDialog::Rejected;
    CenterForm(this);
    Activate();
    return QDialog::exec();
}

void frmSelectLanguage::Activate()
{
    CenterFrame(fraSelectMethod);
    ClearMenuChoices(this, LastMenuChoice);
    cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
}

void frmSelectLanguage::ChooseMenu(int index)
{
    Program& p = program();
    if (index < CancelChoice) {
        Language = cmdMenuChoice[index]->text();
        p.InputAccepted = true;
        accept();
        return;
    }
    // Abandoning the presentation abandons a new client's entry; an existing client keeps its record.
    if (!p.EditMode) {
        ClearCurrentRecord();
        p.CurrentClient = 1;
    }
    p.InputAccepted = false;
    QDialog::reject();
}

void frmSelectLanguage::reject() { ChooseMenu(CancelChoice); }

QString frmSelectLanguage::OnlyLanguage() const { return cmdMenuChoice[0]->text(); }
