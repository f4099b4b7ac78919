#include "testing/frmPresentQA.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/QuestionBank.h"
#include "testing/Sound.h"
#include "widgets/FormHelpers.h"

namespace {

// Sizes in twips. The boxes are large enough for the longest instructions in a desktop font.
constexpr int FormWidth = 11400;
constexpr int FormHeight = 9000;
constexpr int FrameWidth = 10920;
constexpr int FrameHeight = 7440;
constexpr int QuestionHeight = 2640;
constexpr int AnswerTop = 2760;
constexpr int AnswerPitch = 840;
// The status texts of the test are long, the Spanish ones longest: the panel has room for
// two lines and wraps them rather than cutting them off.
constexpr int StatusHeight = 750;

QPlainTextEdit* MakeTextBox(QWidget* parent, const char* name, const QRect& geometry, int pointSize)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::StrongFocus);
    QFont f = box->font();
    f.setPointSize(pointSize);
    box->setFont(f);
    return box;
}

void SetTextColours(QPlainTextEdit* box, const QColor& background, const QColor& text)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, text);
    box->setPalette(pal);
}

// The screen shows a line break where the text has a carriage return and a line feed.
QString ScreenText(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

frmPresentQA::frmPresentQA(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPresentQA"));
    setWindowTitle(PresentationCaption(QString()));
    // The client must not be able to put the test away, and with it the whole program: the
    // window names its title-bar buttons itself, so that no minimise button is among them
    // (window managers give dialogs one unless told), and it stays above the others.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(Twips(FormWidth), Twips(FormHeight));
    SetBackground(this, Blue);

    frQandA = new QFrame(this);
    frQandA->setObjectName(QStringLiteral("frQandA"));
    frQandA->setGeometry(TwipsRect(240, 240, FrameWidth, FrameHeight));

    fraQuestions = new QGroupBox(QuestionFrameCaption(QString()), frQandA);
    fraQuestions->setObjectName(QStringLiteral("fraQuestions"));
    fraQuestions->setGeometry(TwipsRect(0, 0, FrameWidth, QuestionHeight));
    SetFrameFocusLook(fraQuestions, false);
    txtQuestion =
        MakeTextBox(fraQuestions, "txtQuestion", TwipsRect(120, 300, FrameWidth - 240, QuestionHeight - 420), 14);
    txtQuestion->setTabChangesFocus(true);
    SetTextColours(txtQuestion, Blue, White);

    fraAnswer = new QGroupBox(AnswerFrameCaption(QString()), frQandA);
    fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    fraAnswer->setGeometry(TwipsRect(0, AnswerTop, FrameWidth, FrameHeight - AnswerTop));
    SetFrameFocusLook(fraAnswer, false);
    for (int i = 0; i <= LastMenuChoice; ++i) {
        cmdMenuChoice[i] = MakeMenuChoice(fraAnswer, i, QString(), 240, 420 + i * AnswerPitch, FrameWidth - 480, 615,
                                          &sspMenuChoice[i]);
        auto* text = new QLineEdit(cmdMenuChoice[i]);
        text->setObjectName(QStringLiteral("txtButtonText_%1").arg(i));
        text->setGeometry(cmdMenuChoice[i]->rect().adjusted(Twips(120), Twips(60), -Twips(120), -Twips(60)));
        text->setReadOnly(true);
        text->setFrame(false);
        QPalette look = text->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Button));
        text->setPalette(look);
        // The text belongs to its button: it never takes the focus, and a click on it is a
        // click on the button.
        text->setFocusPolicy(Qt::NoFocus);
        text->setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont f = text->font();
        f.setPointSize(12);
        text->setFont(f);
        txtButtonText[i] = text;
    }

    fraInstructions = new QGroupBox(QStringLiteral("Instructions"), this);
    fraInstructions->setObjectName(QStringLiteral("fraInstructions"));
    fraInstructions->setGeometry(TwipsRect(240, 240, FrameWidth, FrameHeight));
    SetFrameFocusLook(fraInstructions, false);
    txtInstructions =
        MakeTextBox(fraInstructions, "txtInstructions", TwipsRect(120, 300, FrameWidth - 240, FrameHeight - 420), 10);
    fraInstructions->raise();

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, FormHeight - StatusHeight, FormWidth, StatusHeight));
    MsgPanel->setWordWrap(true);

    QWidget::setTabOrder(txtInstructions, txtQuestion);
    QWidget::setTabOrder(txtQuestion, cmdMenuChoice[0]);
    for (int i = 0; i < LastMenuChoice; ++i)
        QWidget::setTabOrder(cmdMenuChoice[i], cmdMenuChoice[i + 1]);
    txtInstructions->installEventFilter(this);
    txtQuestion->installEventFilter(this);

    MenuChoicePattern::Options options;
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseAnswer(i); });
    // Installed after the pattern so that the arrows reach this form before the pattern
    // discards them.
    for (QPushButton* button : cmdMenuChoice)
        button->installEventFilter(this);

    // The form sees these keys before its controls do.
    auto* back = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(back, &QShortcut::activated, this, [this] {
        if (!InstructionsOnScreen())
            GoBack();
    });
    auto* staffKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_F10), this);
    connect(staffKey, &QShortcut::activated, this, &frmPresentQA::BreakOff);

    for (int i = 0; i < 5; ++i)
        InstructionSounds[i] = InstructionSound(i);
}

frmPresentQA::~frmPresentQA() { StopSound(); }

bool frmPresentQA::Load()
{
    const Program& p = program();
    CenterForm(this);
    bank_ = std::make_unique<QuestionBank>(p.DatabasePath);
    QList<QuestionItem> items;
    if (!bank_->IsOpen() || !bank_->ReadLanguage(Language, items)) {
        loadError_ = bank_->ErrorText();
        return false;
    }
    const QString problem = CheckTestItems(items, p.SectionBounds[2]);
    if (!problem.isEmpty()) {
        loadError_ =
            QStringLiteral("The table %1 of %2 cannot be given as the test. %3").arg(Language, p.DatabasePath, problem);
        return false;
    }
    Items = std::make_unique<ItemSequence>(items, p.SectionBounds[1], p.SectionBounds[2]);
    Sound = new TestSound(SoundFolder(p.SndPath, Language), this);
    GetNextQuestion();
    fraInstructions->setVisible(true);
    return true;
}

int frmPresentQA::exec()
{
    Activate();
    return QDialog::exec();
}

void frmPresentQA::Activate()
{
    CenterFrame(frQandA);
    CenterFrame(fraInstructions);
    setWindowTitle(PresentationCaption(Language));
    fraQuestions->setTitle(QuestionFrameCaption(Language));
    fraAnswer->setTitle(AnswerFrameCaption(Language));
    InitSound();
    Sound->PrepareSounds(QStringList(InstructionSounds.begin(), InstructionSounds.begin() + 3));
    PrepareItemSounds();
    ShowingGeneralInstructions = true;
    TestInstructions(0);
    PlaySound(InstructionSounds[0]);
    ClearMenuChoices(this, LastMenuChoice);
}

void frmPresentQA::TestInstructions(int section)
{
    txtInstructions->clear();
    fraInstructions->setVisible(true);
    fraInstructions->raise();
    txtInstructions->setPlainText(ScreenText(InstructionText(Language, section)));
    txtInstructions->setFocus(Qt::OtherFocusReason);
}

bool frmPresentQA::InstructionsOnScreen() const { return fraInstructions->isVisible(); }

void frmPresentQA::LeaveInstructions()
{
    fraQuestions->setVisible(true);
    fraAnswer->setVisible(true);
    if (ShowingGeneralInstructions) {
        // The first section's instructions follow the general ones at once: hiding the box
        // in between would hand the focus to the question, and its recording would start.
        ShowingGeneralInstructions = false;
        TestInstructions(1);
        QCoreApplication::processEvents();
        PlaySound(InstructionSounds[1]);
        return;
    }
    fraInstructions->setVisible(false);
    MsgPanel->setText(QuestionStatusText(Language));
    txtQuestion->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::GetNextQuestion()
{
    const ItemSequence::Next next = Items->GetNextQuestion();
    if (next == ItemSequence::Next::FinishTest) {
        FinishTest();
        return;
    }
    fraQuestions->setVisible(true);
    fraAnswer->setVisible(true);
    if (next == ItemSequence::Next::ShowItemAfterInstructions) {
        StopSound();
        // The instructions take the focus before the answers go, so that no other control
        // gets it (and speaks) in between.
        TestInstructions(2);
        fraQuestions->setVisible(false);
        fraAnswer->setVisible(false);
        QCoreApplication::processEvents();
        PlaySound(InstructionSounds[2]);
    }
    ShowRecord();
}

void frmPresentQA::ShowRecord()
{
    const QuestionItem& item = Items->Record();
    txtQuestion->setPlainText(QString::number(item.ID) + QStringLiteral(". ") + item.TestQuestion);
    QuestionSound = AudioFileName(item.QuestionAudio);
    for (int k = 0; k <= LastMenuChoice; ++k) {
        // Every item has its first two answers; the others only when the bank gives a text.
        const bool present = k < 2 || !item.Answer[k].isEmpty();
        cmdMenuChoice[k]->setVisible(present);
        sspMenuChoice[k]->setVisible(present);
        txtButtonText[k]->setVisible(present);
        if (present) {
            txtButtonText[k]->setText(item.Answer[k]);
            txtButtonText[k]->setCursorPosition(0);
            ChoiceSounds[k] = AudioFileName(item.ChoiceAudio[k]);
        }
    }
    QTextCursor start = txtQuestion->textCursor();
    start.movePosition(QTextCursor::Start);
    txtQuestion->setTextCursor(start);
    PrepareItemSounds();
}

void frmPresentQA::PrepareItemSounds()
{
    QStringList names{QuestionSound};
    for (int k = 0; k <= LastMenuChoice; ++k)
        if (k < 2 || !Items->Record().Answer[k].isEmpty())
            names << ChoiceSounds[k];
    Sound->PrepareSounds(names);
}

void frmPresentQA::FinishTest()
{
    Program& p = program();
    MsgPanel->clear();
    ClientRecord& record = p.ClientTable[p.CurrentClient];
    record.Answers = AnswerString(Items->ItemAnswers, p.SectionBounds[2]);
    // The client counts only once the record is on the disk. When the operator gives up on
    // the disk the test stays on its last item with every answer kept: answering it again
    // tries once more, and only the staff key throws the answers away.
    if (!CompleteNewClient()) {
        Items->StayOnLastItem();
        MsgPanel->setText(QuestionStatusText(Language));
        txtQuestion->setFocus(Qt::OtherFocusReason);
        return;
    }
    StopSound();
    p.InputAccepted = true;
    QDialog::accept();
}

void frmPresentQA::ChooseAnswer(int index)
{
    if (index < 0 || index > LastMenuChoice || !cmdMenuChoice[index]->isVisible())
        return;
    Items->ChooseAnswer(index);
    SetBold(txtButtonText[index], false);
    GetNextQuestion();
    // The next item comes up with its question highlighted and spoken.
    if (isVisible() && !InstructionsOnScreen())
        txtQuestion->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::AnswerGotFocus(int index)
{
    SetBold(txtButtonText[index], true);
    MsgPanel->setText(AnswerStatusText(Language, Sound && Sound->AudioOn));
    PlaySound(ChoiceSounds[index]);
}

void frmPresentQA::MoveBetweenAnswers(int index, int step)
{
    for (int i = index + step; i >= 0 && i <= LastMenuChoice; i += step) {
        if (cmdMenuChoice[i]->isVisible()) {
            cmdMenuChoice[i]->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    // Past the first or the last answer the question comes again.
    txtQuestion->setFocus(Qt::TabFocusReason);
}

void frmPresentQA::GoBack()
{
    if (Items->GoBack() == ItemSequence::Back::Beep) {
        Beep();
        return;
    }
    ShowRecord();
    cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
    txtQuestion->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::BreakOff()
{
    Program& p = program();
    ClearCurrentRecord();
    p.CurrentClient = 1;
    StopSound();
    QDialog::done(QDialog::Rejected);
}

void frmPresentQA::reject() {}

void frmPresentQA::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Minimised all the same (with the main menu behind it, or by another program): the
    // test comes straight back.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            showNormal();
            raise();
            activateWindow();
        });
}

void frmPresentQA::InitSound() { Sound->InitSound(); }

void frmPresentQA::PlaySound(const QString& name) { Sound->PlaySound(name); }

void frmPresentQA::StopSound()
{
    if (Sound)
        Sound->StopSound();
}

int frmPresentQA::AnswerIndexOf(QObject* watched) const
{
    for (int i = 0; i <= LastMenuChoice; ++i)
        if (cmdMenuChoice[i] == watched)
            return i;
    return -1;
}

bool frmPresentQA::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const int key = type == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;

    if (watched == txtInstructions) {
        if (type == QEvent::FocusIn) {
            MsgPanel->setText(InstructionsStatusText(Language));
            for (QLineEdit* text : txtButtonText)
                SetBold(text, false);
        } else if (type == QEvent::KeyPress) {
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab)
                LeaveInstructions();
            // Scrolling keys move through a long text; nothing else acts here.
            return !(key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown);
        }
        return false;
    }

    if (watched == txtQuestion) {
        switch (type) {
        case QEvent::FocusIn:
            if (InstructionsOnScreen()) {
                txtInstructions->setFocus(Qt::OtherFocusReason);
                return false;
            }
            ClearMenuChoices(this, LastMenuChoice);
            SetTextColours(txtQuestion, Cyan, Black);
            MsgPanel->setText(QuestionStatusText(Language));
            PlaySound(QuestionSound);
            return false;
        case QEvent::FocusOut: SetTextColours(txtQuestion, Blue, White); return false;
        case QEvent::KeyPress:
            if (key == Qt::Key_Down)
                cmdMenuChoice[0]->setFocus(Qt::TabFocusReason);
            return key != Qt::Key_Tab && key != Qt::Key_Backtab;
        default: return false;
        }
    }

    const int index = AnswerIndexOf(watched);
    if (index >= 0) {
        if (type == QEvent::FocusIn) {
            AnswerGotFocus(index);
        } else if (type == QEvent::FocusOut) {
            SetBold(txtButtonText[index], false);
        } else if (type == QEvent::KeyPress && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            MoveBetweenAnswers(index, key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
