#include "clients/frmClientInfo.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/CodeTables.h"
#include "clients/DataAccess.h"
#include "clients/MaskedDateEdit.h"
#include "widgets/FormHelpers.h"
#include "widgets/TypingRule.h"

namespace {

constexpr int LastMenuChoice = 2;

const std::array<const char*, ClientInfoValues::FieldCount> Captions = {
    "Name:",           "ID Number:",    "Age:", "Sex:", "Ethnicity (Race):", "Education (highest grade completed):",
    "Marital Status:", "Date of Birth:"};

const std::array<const char*, ClientInfoValues::FieldCount> Prompts = {
    "Type client's name (up to 25 characters) or N for Not Available, then press Enter.",
    "Type ID number or N for Not Available, then press Enter.",
    "Type age in years or N for Not Available, then press Enter.",
    "Use up or down arrow keys to select sex or N/A for Not Available, then press Enter.",
    "Use up or down arrow keys to select ethnicity/race or N/A for Not Available, then press Enter.",
    "Enter years of education or N for Not Available, then press Enter.",
    "Use up or down arrow keys to select marital status or N/A for Not Available, then press Enter.",
    "Type date of birth in the form MM/DD/YYYY or N for Not Available, then press Enter."};

const std::array<const char*, ClientInfoValues::FieldCount> Refusals = {
    "Enter client's name. Press Enter to continue.",
    "Enter ID number of the client or N for Not Available. Press Enter to continue.",
    "Enter age of client in number of years. Press Enter to continue.",
    "Press down arrow to select sex or N/A for Not Available. Press Enter to continue.",
    "Press down arrow to select ethnicity. Press Enter to continue.",
    "Enter education level of client in number of years. Press Enter to continue.",
    "Press down arrow key to select marital status. Press Enter to continue.",
    "Enter date of birth month, day, year as MM/DD/YYYY or N for Not Available. Press Enter to continue."};

// The list position whose text the box shows, or -1 when it shows something else.
int SelectedCode(const QComboBox* combo)
{
    return combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

bool IsTextField(int field)
{
    return field == FieldName || field == FieldSSN || field == FieldAge || field == FieldEducation;
}

template <std::size_t N>
QComboBox* MakeList(QWidget* parent, const char* name, const std::array<const char*, N>& texts)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    for (const char* text : texts)
        combo->addItem(QString::fromLatin1(text));
    combo->setCurrentIndex(-1);
    return combo;
}

QLineEdit* MakeText(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    // The data file holds Windows-1252 only; anything else would be stored as "?".
    SetTypingRule(edit, IsStorableChar);
    return edit;
}

bool IsIdChar(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('N') ||
           c == QLatin1Char('n');
}

// The characters a list box lets the operator type: its code digits and N.
void SetListTypingRule(QComboBox* combo, const QString& allowed)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    SetTypingRule(
        combo->lineEdit(), [allowed](QChar c) { return allowed.contains(c); }, entries);
}

const QString GenderKeys = QStringLiteral("012Nn");
const QString RaceKeys = QStringLiteral("0123456Nn");
const QString MaritalKeys = QStringLiteral("012345Nn");

}  // namespace

frmClientInfo::frmClientInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmClientInfo"));
    setWindowTitle(QStringLiteral("Client Information"));
    setFixedSize(Twips(8985), Twips(6090));
    SetBackground(this, Blue);

    frClient = new QGroupBox(this);
    frClient->setObjectName(QStringLiteral("frClient"));
    frClient->setGeometry(TwipsRect(240, 120, 8505, 4560));
    SetBackground(frClient, Blue);

    txtName = MakeText(frClient, "txtName", 25);
    txtSSN = MakeText(frClient, "txtSSN", 11);
    txtAge = MakeText(frClient, "txtAge", 2);
    cmbGender = MakeList(frClient, "cmbGender", GenderText);
    cmbRace = MakeList(frClient, "cmbRace", RaceText);
    txtEducation = MakeText(frClient, "txtEducation", 2);
    cmbMarital = MakeList(frClient, "cmbMarital", MaritalText);
    mebDateOfBirth = new MaskedDateEdit(frClient);
    mebDateOfBirth->setObjectName(QStringLiteral("mebDateOfBirth"));
    SetTypingRule(txtSSN, IsIdChar);
    SetListTypingRule(cmbGender, GenderKeys);
    SetListTypingRule(cmbRace, RaceKeys);
    SetListTypingRule(cmbMarital, MaritalKeys);

    const std::array<int, ClientInfoValues::FieldCount> widths = {3300, 1800, 600, 1800, 2400, 600, 1800, 1500};
    for (int i = 0; i < ClientInfoValues::FieldCount; ++i) {
        const int top = 240 + i * 450;
        lblInfo[i] = new QLabel(QString::fromLatin1(Captions[i]), frClient);
        lblInfo[i]->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        lblInfo[i]->setGeometry(TwipsRect(120, top, 4320, 345));
        lblInfo[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        SetBackground(lblInfo[i], Blue, White);
        Field(i)->setGeometry(TwipsRect(4560, top, widths[i], 345));
        Field(i)->installEventFilter(this);
    }
    for (QComboBox* combo : {cmbGender, cmbRace, cmbMarital}) {
        combo->lineEdit()->installEventFilter(this);
        connect(combo, &QComboBox::editTextChanged, this, [this, combo] { RecognizeListText(combo); });
    }

    cmdMenuChoice[0] =
        MakeMenuChoice(frClient, 0, QStringLiteral("Information OK"), 1800, 3960, 2235, 375, &sspMenuChoice[0]);
    cmdMenuChoice[1] =
        MakeMenuChoice(frClient, 1, QStringLiteral("Cancel Input"), 4500, 3960, 2235, 375, &sspMenuChoice[1]);
    cmdMenuChoice[0]->installEventFilter(this);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusMoved(now); });
    // Escape is "Cancel Input" wherever the focus is, on the buttons too.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmClientInfo::reject);

    for (int i = 0; i + 1 < ClientInfoValues::FieldCount; ++i)
        QWidget::setTabOrder(Field(i), Field(i + 1));
    QWidget::setTabOrder(mebDateOfBirth, cmdMenuChoice[0]);
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, 5715, 8985, 375));

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    // "Information OK" explains a locked record; its text is set when it gains focus.
    options.statusTexts = {QString(), QStringLiteral("Cancel information input and return to Main Menu.")};
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });

    // Loading: a fresh start, or the stored client shown for correction.
    editCounter_.ClearSnapshots();
    editCountSnapshot_.clear();
    if (program().EditMode) {
        RecordToScreen();
    } else {
        program().CurrentEditCount = 0;
        program().CurrentNameDeleted = 0;
    }
}

frmClientInfo::~frmClientInfo()
{
    // Deleting the fields moves the focus; this form must not hear of it any more.
    disconnect(focusWatch_);
}

int frmClientInfo::exec()
{
    CenterForm(this);
    QMetaObject::invokeMethod(this, &frmClientInfo::Activate, Qt::QueuedConnection);
    return QDialog::exec();
}

void frmClientInfo::Activate()
{
    const Program& p = program();
    CenterFrame(frClient);
    ClearMenuChoices(this, LastMenuChoice);
    if (p.EditMode)
        cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
    else
        txtName->setFocus(Qt::OtherFocusReason);

    if (p.CurrentNameDeleted == 1)
        MsgBox::Show(
            QStringLiteral("This client's name has been deleted.\rEditing this information is no longer permitted."),
            MsgBox::Buttons::OkOnly, MsgBox::Icon::Information, QStringLiteral("Name Deleted"));
    else if (p.CurrentEditCount == EditCounter::Limit)
        MsgBox::Show(QStringLiteral("This client's information has been changed 3 times.\r"
                                    "No further editing is permitted. Press Enter to continue."),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Information, QStringLiteral("Edit Limit Reached"));
}

QWidget* frmClientInfo::Field(int field) const
{
    switch (field) {
    case FieldName: return txtName;
    case FieldSSN: return txtSSN;
    case FieldAge: return txtAge;
    case FieldGender: return cmbGender;
    case FieldRace: return cmbRace;
    case FieldEducation: return txtEducation;
    case FieldMarital: return cmbMarital;
    case FieldDateOfBirth: return mebDateOfBirth;
    }
    return nullptr;
}

int frmClientInfo::FieldOf(QObject* watched) const
{
    // A list box's line edit and its drop-down (a window of its own) belong to the box.
    for (QObject* o = watched; o; o = o->parent()) {
        for (int i = 0; i < ClientInfoValues::FieldCount; ++i)
            if (o == Field(i))
                return i;
        if (o == this)
            break;
    }
    return -1;
}

void frmClientInfo::FocusMoved(QWidget* now)
{
    // A field's visit ends only when another control of this form takes the focus: the
    // list's own drop-down, a message box or another window have it only for a while.
    if (!now || closing_)
        return;
    const int field = FieldOf(now);
    if ((field < 0 && now->window() != this) || field == focusedField_)
        return;
    const int left = focusedField_;
    focusedField_ = field;
    if (left >= 0)
        FieldLostFocus(left);
    // Leaving may have locked the form and moved the focus on already.
    if (field >= 0 && focusedField_ == field)
        FieldGotFocus(field);
}

bool frmClientInfo::Locked() const
{
    const Program& p = program();
    return p.CurrentNameDeleted == 1 || p.CurrentEditCount >= EditCounter::Limit;
}

ClientInfoValues frmClientInfo::Values() const
{
    ClientInfoValues v;
    v.Name = txtName->text();
    v.SSN = txtSSN->text();
    v.Age = txtAge->text();
    v.Gender = SelectedCode(cmbGender);
    v.Race = SelectedCode(cmbRace);
    v.Education = txtEducation->text();
    v.Marital = SelectedCode(cmbMarital);
    v.DateOfBirth = mebDateOfBirth->text();
    return v;
}

void frmClientInfo::RecordToScreen()
{
    Program& p = program();
    const ClientRecord& r = p.ClientTable[p.CurrentClient];
    const ClientInfoValues v = InfoFromRecord(r);
    txtName->setText(v.Name);
    txtSSN->setText(v.SSN);
    txtAge->setText(v.Age);
    txtEducation->setText(v.Education);
    recognizing_ = true;  // the stored code decides, not the text recognition
    cmbGender->setCurrentIndex(v.Gender < cmbGender->count() ? v.Gender : -1);
    cmbRace->setCurrentIndex(v.Race < cmbRace->count() ? v.Race : -1);
    cmbMarital->setCurrentIndex(v.Marital < cmbMarital->count() ? v.Marital : -1);
    recognizing_ = false;
    mebDateOfBirth->SetValue(v.DateOfBirth);

    p.CurrentNameDeleted = qint16(r.NameDeleted.trimmed().toInt());
    p.CurrentEditCount = qint16(r.EditCount.trimmed().toInt());
    if (p.CurrentNameDeleted == 1 || p.CurrentEditCount >= EditCounter::Limit) {
        DisableClientFields();
        if (p.CurrentNameDeleted == 1)
            MsgPanel->setText(
                QStringLiteral("Client name has been deleted. Editing is not permitted. Press Enter to continue."));
        else if (p.CurrentEditCount == EditCounter::Limit)
            MsgPanel->setText(QStringLiteral("Exceeded limits of editing. Press Enter to continue."));
    }
    editCounter_.TakeSnapshots(Values());
    editCountSnapshot_ = r.EditCount.trimmed();
}

void frmClientInfo::RecordToDB()
{
    Program& p = program();
    StoreInfo(Values(), p.ClientTable[p.CurrentClient]);
}

void frmClientInfo::DisableClientFields()
{
    for (int i = 0; i < ClientInfoValues::FieldCount; ++i)
        Field(i)->setEnabled(false);
}

void frmClientInfo::CountFieldChange(const QString& fieldKey)
{
    Program& p = program();
    // Once locked, nothing counts any more (a field opened again for a missing value).
    if (!p.EditMode || p.CurrentEditCount >= EditCounter::Limit)
        return;
    const int field = int(std::find_if(ClientInfoFieldKeys.begin(), ClientInfoFieldKeys.end(),
                                       [&](const char* key) { return fieldKey == QLatin1String(key); }) -
                          ClientInfoFieldKeys.begin());
    if (field >= ClientInfoValues::FieldCount)
        return;
    const auto outcome = editCounter_.CountFieldChange(field, Values(), p.CurrentEditCount);
    if (outcome != EditCounter::Outcome::LimitReached || !Field(field)->isEnabled())
        return;
    MsgBox::Show(
        QStringLiteral("This client's information has been editted.\r3 times already. Further editting of this\r"
                       "information is no longer permitted."),
        MsgBox::Buttons::OkOnly, MsgBox::Icon::Information, QStringLiteral("Edit Limit Reached"));
    DisableClientFields();
    cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
}

void frmClientInfo::FieldGotFocus(int field)
{
    QMetaObject::invokeMethod(
        this, [] { SelectAllText(); }, Qt::QueuedConnection);
    SetBold(lblInfo[field], true);
    MsgPanel->setText(QString::fromLatin1(Prompts[field]));
}

void frmClientInfo::UpperCaseNotAvailable(int field)
{
    if (!IsTextField(field))
        return;
    auto* edit = static_cast<QLineEdit*>(Field(field));
    if (edit->text() == QLatin1String("n"))
        edit->setText(QStringLiteral("N"));
}

void frmClientInfo::FieldLostFocus(int field)
{
    SetBold(lblInfo[field], false);
    UpperCaseNotAvailable(field);
    CountFieldChange(QString::fromLatin1(ClientInfoFieldKeys[field]));
}

void frmClientInfo::RefuseField(int field)
{
    QWidget* widget = Field(field);
    switch (field) {
    case FieldSSN:
    case FieldAge:
    case FieldEducation: static_cast<QLineEdit*>(widget)->clear(); break;
    case FieldDateOfBirth: mebDateOfBirth->Clear(); break;
    default: break;
    }
    Beep();
    MsgBox::Show(QString::fromLatin1(Refusals[field]), MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical,
                 QString::fromLatin1(AppTitle));
    // On a locked client too: the operator must always be able to finish.
    widget->setEnabled(true);
    widget->setFocus(Qt::OtherFocusReason);
    // The next try replaces what was refused.
    SelectAllText();
}

void frmClientInfo::EnterInField(int field)
{
    UpperCaseNotAvailable(field);
    const ClientInfoValues v = Values();
    bool accepted = false;
    switch (field) {
    case FieldName: accepted = AcceptName(v.Name); break;
    case FieldSSN: accepted = AcceptSSN(v.SSN); break;
    case FieldAge: accepted = AcceptAge(v.Age); break;
    case FieldGender: accepted = v.Gender >= 0; break;
    case FieldRace: accepted = v.Race >= 0; break;
    case FieldEducation: accepted = AcceptEducation(v.Education); break;
    case FieldMarital: accepted = v.Marital >= 0; break;
    case FieldDateOfBirth: accepted = AcceptDateOfBirth(v.DateOfBirth); break;
    }
    if (!accepted) {
        RefuseField(field);
        return;
    }
    QWidget* next = cmdMenuChoice[0];
    for (int f = field + 1; f < ClientInfoValues::FieldCount; ++f) {
        if (Field(f)->isEnabled()) {
            next = Field(f);
            break;
        }
    }
    next->setFocus(Qt::TabFocusReason);
    // A field opened on a locked client for a missing value closes again once it holds one.
    if (Locked())
        Field(field)->setEnabled(false);
}

bool frmClientInfo::FilterComboKey(QComboBox* combo, const QString& allowed, QKeyEvent* key)
{
    const QString typed = key->text();
    if (typed.size() != 1 || !typed[0].isPrint())
        return false;
    if (allowed.contains(typed[0]))
        return false;
    combo->setEditText(QString());
    Beep();
    return true;
}

void frmClientInfo::RecognizeListText(QComboBox* combo)
{
    if (recognizing_)
        return;
    const QString text = combo->currentText();
    const int code = combo == cmbGender ? RecognizeGender(text)
                     : combo == cmbRace ? RecognizeRace(text)
                                        : RecognizeMarital(text);
    recognizing_ = true;
    if (code >= 0) {
        combo->setCurrentIndex(code);
        combo->setEditText(combo->itemText(code));
        // The next key typed replaces the entry instead of being appended to it.
        combo->lineEdit()->selectAll();
    } else if (!text.isEmpty() && combo->hasFocus()) {
        combo->showPopup();
        combo->lineEdit()->selectAll();
    }
    recognizing_ = false;
}

void frmClientInfo::UpdateButtonStatus()
{
    const Program& p = program();
    if (p.CurrentNameDeleted == 1)
        MsgPanel->setText(QStringLiteral("Client name has been deleted. No further editing is permitted."));
    else if (p.CurrentEditCount == EditCounter::Limit)
        MsgPanel->setText(QStringLiteral("Exceeded limits of editing. No further editing is permitted."));
    else
        MsgPanel->setText(QStringLiteral("If information is correct press Enter or press Tab to change an entry."));
}

bool frmClientInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmdMenuChoice[0]) {
        if (event->type() == QEvent::FocusIn)
            UpdateButtonStatus();
        return QDialog::eventFilter(watched, event);
    }
    const int field = FieldOf(watched);
    if (field < 0)
        return QDialog::eventFilter(watched, event);
    auto* combo = qobject_cast<QComboBox*>(Field(field));
    const bool onComboEdit = combo && watched == combo->lineEdit();

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        // A combo box hands its keys on to its line edit: act on them once, at the box.
        if (onComboEdit)
            break;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            EnterInField(field);
            return true;
        }
        if (field == FieldGender)
            return FilterComboKey(combo, GenderKeys, key);
        if (field == FieldRace)
            return FilterComboKey(combo, RaceKeys, key);
        if (field == FieldMarital)
            return FilterComboKey(combo, MaritalKeys, key);
        break;
    }
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmClientInfo::ChooseMenu(int index)
{
    if (index == 0)
        InformationOk();
    else
        reject();
}

void frmClientInfo::InformationOk()
{
    Program& p = program();
    const ClientInfoValues v = Values();
    if (const int empty = FirstEmptyField(v); empty >= 0) {
        EnterInField(empty);
        return;
    }
    if (!v.DateOfBirth.toUpper().startsWith(QLatin1Char('N')) && !GoodDate(v.DateOfBirth)) {
        RefuseField(FieldDateOfBirth);
        return;
    }
    bool nothingChanged = false;
    if (p.EditMode)
        nothingChanged = InfoMatchesRecord(v, p.ClientTable[p.CurrentClient]);
    else
        p.CurrentClient = qint16(p.ClientCount + 1);
    p.InputAccepted = true;
    closing_ = true;
    // A client that was locked when the form opened (three changes made, or the name deleted)
    // is never written here, whatever the fields hold: they may not even be able to hold the
    // stored values (an age of "100" shows as "10").
    const bool lockedAtOpen =
        p.EditMode && (p.CurrentNameDeleted == 1 || editCountSnapshot_.toInt() >= EditCounter::Limit);
    if (nothingChanged || lockedAtOpen) {
        accept();
        return;
    }

    ClientRecord& record = p.ClientTable[p.CurrentClient];
    const ClientRecord before = record;
    if (!p.EditMode)
        StartNewRecord(record);
    RecordToDB();
    if (p.EditMode) {
        record.EditCount = QString::number(p.CurrentEditCount);
        // The change counts only once it is on the disk; otherwise memory keeps matching
        // the file and the operator can try again or cancel.
        if (!WriteClientRecord(p.CurrentClient)) {
            record = before;
            p.InputAccepted = false;
            closing_ = false;
            cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    accept();
}

void frmClientInfo::reject()
{
    closing_ = true;
    program().InputAccepted = false;
    QDialog::reject();
}
