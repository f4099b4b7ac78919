#include "testing/frmNewEntry.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "testing/QuestionBank.h"
#include "widgets/FormHelpers.h"

namespace {

constexpr int LastMenuChoice = 2;
constexpr const char* EntryLanguage = "English";

// Looks of the grid cells (&HBBGGRR values where they come from).
const QColor Navy{0, 0, 128};   // &H800000
const QColor Green{0, 255, 0};  // &HFF00

// Grid geometry inside frEntry, in twips. A grid shows its header and 17 rows, so that the
// scroll rule, which keeps the row above the cursor in sight, never hides the cursor's row.
constexpr int GridTop = 480;
constexpr int RowHeight = 240;
constexpr int VisibleRows = 17;
constexpr int GridHeight = RowHeight * (VisibleRows + 1) + 30;
constexpr int SectionLabelHeight = 255;

void SetCellLook(QTableWidgetItem* cell, const QString& text, const QColor& background, const QColor& foreground)
{
    cell->setText(text);
    cell->setBackground(background);
    cell->setForeground(foreground);
}

// The cursor's row is shown by its colours alone; the style's focus mark on the current
// cell would cover the item number with a colour of its own.
class CellLookDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

}  // namespace

frmNewEntry::frmNewEntry(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewEntry"));
    setWindowTitle(QStringLiteral("Edit Client Responses"));
    setFixedSize(Twips(8400), Twips(7440));
    SetBackground(this, Blue);

    lblClientName = new QLabel(this);
    lblClientName->setObjectName(QStringLiteral("lblClientName"));
    lblClientName->setGeometry(TwipsRect(240, 120, 7920, 315));
    lblClientName->setAlignment(Qt::AlignCenter);
    SetBackground(lblClientName, Blue, White);
    SetBold(lblClientName, true);

    frEntry = new QFrame(this);
    frEntry->setObjectName(QStringLiteral("frEntry"));
    frEntry->setFrameShape(QFrame::Box);
    frEntry->setGeometry(TwipsRect(600, 600, 7200, 5160));
    SetBackground(frEntry, Blue, White);

    grdResponses[0] = MakeGrid(0);

    cmdMenuChoice[0] = MakeMenuChoice(this, 0, QStringLiteral("Save"), 2040, 6180, 1695, 375, &sspMenuChoice[0]);
    cmdMenuChoice[1] = MakeMenuChoice(this, 1, QStringLiteral("Cancel"), 4665, 6180, 1695, 375, &sspMenuChoice[1]);
    // Index 2 belongs to the button arrays of every form of this kind; this form never uses it.
    cmdMenuChoice[2] = MakeMenuChoice(this, 2, QString(), 6600, 6180, 1095, 375, &sspMenuChoice[2]);
    cmdMenuChoice[2]->hide();
    sspMenuChoice[2]->hide();

    MsgPanel = MakeStatusPanel(this, TwipsRect(0, 7065, 8400, 375));

    MenuChoicePattern::Options options;
    options.statusPanel = MsgPanel;
    options.statusTexts = {
        QStringLiteral("SAVE data, close this window and return to Main Menu"),
        QStringLiteral("DISCARD data, close this window and return to Main Menu"),
        QString(),
    };
    new MenuChoicePattern(this, LastMenuChoice, options, [this](int i) { ChooseMenu(i); });
    // The grids take every character as an answer and the buttons let no key through:
    // Escape must still reach the form, wherever the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &frmNewEntry::reject);
}

frmNewEntry::~frmNewEntry() = default;  // closes the question bank

QTableWidget* frmNewEntry::MakeGrid(int index)
{
    auto* grid = new QTableWidget(frEntry);
    grid->setObjectName(QStringLiteral("grdResponses_%1").arg(index));
    grid->hide();
    QFont font = grid->font();
    font.setPixelSize(11);
    grid->setFont(font);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The highlight is drawn with cell colours; selection colours would hide the marks.
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    // Tab leaves the grid; the cursor only moves the way the keys below move it.
    grid->setTabKeyNavigation(false);
    grid->setAutoScroll(false);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setItemDelegate(new CellLookDelegate(grid));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(Twips(RowHeight));
    QHeaderView* header = grid->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setFixedHeight(Twips(RowHeight));
    header->setHighlightSections(false);
    header->setStyleSheet(QStringLiteral("QHeaderView::section { padding: 0px; }"));
    grid->installEventFilter(this);
    connect(grid, &QTableWidget::currentCellChanged, this, [this, grid] {
        if (!loading_)
            HighlightRow(GridIndexOf(grid));
    });

    auto* label = new QLabel(QStringLiteral("Section %1").arg(index + 1), frEntry);
    label->setObjectName(QStringLiteral("lblSection_%1").arg(index));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    SetBackground(label, Blue, White);
    label->hide();
    lblSection[index] = label;
    return grid;
}

int frmNewEntry::GridIndexOf(QObject* watched) const
{
    for (int i = 0; i <= LastGrid; ++i)
        if (grdResponses[i] == watched)
            return i;
    return -1;
}

int frmNewEntry::CurrentRow(int grid) const { return grdResponses[grid]->currentRow() + 1; }

bool frmNewEntry::Load()
{
    loading_ = true;
    LastGrid = 0;
    const Program& p = program();
    lblClientName->setText(p.ClientTable[p.CurrentClient].Name.trimmed());

    bank_ = std::make_unique<QuestionBank>(p.DatabasePath);
    QList<QuestionItem> items;
    if (!bank_->IsOpen() || !bank_->ReadLanguage(QString::fromLatin1(EntryLanguage), items)) {
        loadError_ = bank_->ErrorText();
        bank_.reset();
        return false;
    }
    grids_ = LayoutEntryGrids(items);
    if (grids_.isEmpty()) {
        loadError_ = QStringLiteral("The question bank %1 has no items numbered 1 to %2 in the table %3.")
                         .arg(p.DatabasePath)
                         .arg(AnswerCount)
                         .arg(QString::fromLatin1(EntryLanguage));
        bank_.reset();
        return false;
    }
    return true;
}

void frmNewEntry::SetUpGrid(int index, int type)
{
    if (!grdResponses[index])
        grdResponses[index] = MakeGrid(index);
    QTableWidget* grid = grdResponses[index];
    const int columns = AnswerColumns(type);
    grid->setColumnCount(1 + columns);
    grid->setRowCount(0);
    QStringList headers{QStringLiteral("Num")};
    grid->setColumnWidth(0, Twips(ItemColumnWidth));
    for (int c = 1; c <= columns; ++c) {
        headers << QString::number(c);
        grid->setColumnWidth(c, Twips(AnswerColumnWidth));
    }
    grid->setHorizontalHeaderLabels(headers);
    grid->setProperty("Tag", QString::number(type));

    int left = 0;
    if (index > 0) {
        const QRect before = grdResponses[index - 1]->geometry();
        left = before.x() + before.width() + Twips(GridGap);
    }
    grid->setGeometry(left, Twips(GridTop), Twips(GridWidth(type)), Twips(GridHeight));
    lblSection[index]->setGeometry(left, Twips(GridTop - SectionLabelHeight), grid->width(), Twips(SectionLabelHeight));
}

void frmNewEntry::Activate()
{
    loading_ = true;
    CenterForm(this);
    ShowBusyPointer();
    CenterFrame(frEntry);
    cmdMenuChoice[0]->setEnabled(false);
    ClearMenuChoices(this, LastMenuChoice);

    // The grids, one per answer type in the order the bank first uses the type.
    LastGrid = int(grids_.size()) - 1;
    for (int g = 0; g <= LastGrid; ++g) {
        SetUpGrid(g, grids_[g].Type);
        QTableWidget* grid = grdResponses[g];
        grid->setRowCount(int(grids_[g].Items.size()));
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < grid->columnCount(); ++c) {
                auto* cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setTextAlignment(c == 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::Alignment(Qt::AlignCenter));
                grid->setItem(r, c, cell);
            }
        }
    }

    EntryAnswers = program().ClientTable[program().CurrentClient].Answers;
    FillGrids();

    // The group of grids is centred in the frame.
    const QRect last = grdResponses[LastGrid]->geometry();
    const int total = last.x() + last.width() + Twips(GridGap);
    const int shift = frEntry->width() / 2 - total / 2;
    for (int g = 0; g <= LastGrid; ++g) {
        grdResponses[g]->move(grdResponses[g]->x() + shift, grdResponses[g]->y());
        lblSection[g]->move(grdResponses[g]->x(), lblSection[g]->y());
        grdResponses[g]->show();
        lblSection[g]->show();
    }

    QWidget* previous = grdResponses[0];
    for (int g = 1; g <= LastGrid; ++g) {
        QWidget::setTabOrder(previous, grdResponses[g]);
        previous = grdResponses[g];
    }
    QWidget::setTabOrder(previous, cmdMenuChoice[0]);
    QWidget::setTabOrder(cmdMenuChoice[0], cmdMenuChoice[1]);

    grdResponses[0]->setCurrentCell(0, 0);
    grdResponses[0]->setFocus(Qt::OtherFocusReason);
    loading_ = false;
    ActiveGrid = 0;
    cmdMenuChoice[0]->setEnabled(true);
    cmdMenuChoice[1]->setEnabled(true);
    ShowNormalPointer();
}

void frmNewEntry::FillGrids()
{
    for (int g = 0; g <= LastGrid; ++g) {
        QTableWidget* grid = grdResponses[g];
        for (int r = 0; r < grid->rowCount(); ++r) {
            SetCellLook(grid->item(r, 0), QStringLiteral("%1.").arg(grids_[g].Items[r]), White, Navy);
            ShowNormalRow(g, r + 1);
        }
        grid->setCurrentCell(0, 0);
        grid->verticalScrollBar()->setValue(0);
        GridRow[g] = 1;
    }
}

void frmNewEntry::ShowNormalRow(int g, int row)
{
    QTableWidget* grid = grdResponses[g];
    if (row < 1 || row > grid->rowCount())
        return;
    const int item = grids_[g].Items[row - 1];
    // A stored character that is no answer of this grid shows no mark; it stays as it is
    // in EntryAnswers until the operator types an answer for the item.
    const int marked = MarkedColumn(EntryAnswers.at(item - 1), grid->columnCount() - 1);
    grid->item(row - 1, 0)->setBackground(White);
    grid->item(row - 1, 0)->setForeground(Navy);
    for (int c = 1; c < grid->columnCount(); ++c) {
        if (c == marked)
            SetCellLook(grid->item(row - 1, c), QStringLiteral("X"), Green, Black);
        else
            SetCellLook(grid->item(row - 1, c), QString(), White, Navy);
    }
}

void frmNewEntry::HighlightRow(int g)
{
    if (g < 0)
        return;
    QTableWidget* grid = grdResponses[g];
    const int row = CurrentRow(g);
    if (row < 1)
        return;
    ShowNormalRow(g, GridRow[g]);
    ShowNormalRow(g, row);  // brings the mark up to date before it turns cyan
    for (int c = 1; c < grid->columnCount(); ++c) {
        grid->item(row - 1, c)->setBackground(Cyan);
        grid->item(row - 1, c)->setForeground(Black);
    }
    GridRow[g] = row;
    ScrollIntoView(g, row);
}

void frmNewEntry::ScrollIntoView(int g, int row)
{
    QTableWidget* grid = grdResponses[g];
    const int top = grid->rowViewportPosition(row - 1);
    if (top >= 0 && top + grid->rowHeight(row - 1) <= grid->viewport()->height())
        return;
    // The grid's own rows count the header as row 0.
    grid->verticalScrollBar()->setValue(FirstVisibleRow(row, grid->rowCount() + 1) - 1);
}

bool frmNewEntry::eventFilter(QObject* watched, QEvent* event)
{
    const int g = GridIndexOf(watched);
    if (g < 0 || loading_)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        MsgPanel->setText(GridStatusText(grids_[g].Type));
        HighlightRow(g);
        return false;
    case QEvent::FocusOut:
        GridRow[g] = CurrentRow(g);
        ShowNormalRow(g, GridRow[g]);
        return false;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return false;  // the platform moves the focus in tab order
        case Qt::Key_Up: MoveUp(g); return true;
        case Qt::Key_Down: MoveDown(g); return true;
        default: break;
        }
        // Every character is an answer or a beep; other keys (arrows sideways, paging) do nothing.
        if (!key->text().isEmpty())
            TypeAnswer(g, key->text().at(0));
        return true;
    }
    default: return QDialog::eventFilter(watched, event);
    }
}

void frmNewEntry::TypeAnswer(int g, QChar typed)
{
    const int row = CurrentRow(g);
    if (row < 1 || !AcceptsAnswer(grids_[g].Type, typed)) {
        Beep();
        return;
    }
    const int item = grids_[g].Items[row - 1];
    EntryAnswers[item - 1] = typed;
    MoveDown(g);
}

void frmNewEntry::MoveDown(int g)
{
    const int row = CurrentRow(g);
    const EntryStep step = StepDown(grids_, {g, row});
    if (step.To.Grid != g) {
        MoveToGrid(g, step.To.Grid, step.To.Row);
        return;
    }
    if (step.Beep) {
        HighlightRow(g);  // shows the answer just typed on the last item
        Beep();
        return;
    }
    grdResponses[g]->setCurrentCell(step.To.Row - 1, grdResponses[g]->currentColumn());
    ScrollIntoView(g, step.To.Row);
}

void frmNewEntry::MoveUp(int g)
{
    const int row = CurrentRow(g);
    const EntryStep step = StepUp(grids_, {g, row});
    if (step.To.Grid != g) {
        MoveToGrid(g, step.To.Grid, step.To.Row);
        return;
    }
    if (step.Beep) {
        Beep();
        return;
    }
    grdResponses[g]->setCurrentCell(step.To.Row - 1, grdResponses[g]->currentColumn());
    ScrollIntoView(g, step.To.Row);
}

void frmNewEntry::MoveToGrid(int from, int to, int row)
{
    ShowNormalRow(from, CurrentRow(from));
    grdResponses[to]->setCurrentCell(row - 1, 0);
    grdResponses[to]->setFocus(Qt::OtherFocusReason);
    ActiveGrid = to;
    ScrollIntoView(to, row);
}

void frmNewEntry::ChooseMenu(int index)
{
    Program& p = program();
    if (index == 0) {
        cmdMenuChoice[0]->setEnabled(false);
        ClientRecord& record = p.ClientTable[p.CurrentClient];
        const QString stored = record.Answers;
        record.Answers = EntryAnswers;
        const bool written = p.EditMode ? WriteClientRecord(p.CurrentClient) : CompleteNewClient();
        if (!written) {
            // The operator gave up on the disk: the form stays so the answers are not lost,
            // and memory keeps what the disk holds.
            record.Answers = stored;
            cmdMenuChoice[0]->setEnabled(true);
            cmdMenuChoice[0]->setFocus(Qt::OtherFocusReason);
            return;
        }
        p.InputAccepted = true;
        Outcome = NewEntryOutcome::Saved;
        QDialog::accept();
        return;
    }
    if (index == 1) {
        cmdMenuChoice[1]->setEnabled(false);
        if (!p.EditMode)
            ClearCurrentRecord();
        p.InputAccepted = false;
        Outcome = NewEntryOutcome::Cancelled;
        QDialog::reject();
    }
}

void frmNewEntry::reject()
{
    // A whole sheet may have been typed: Escape or the window's close button, pressed by
    // mistake, must not lose it. "Cancel" itself is a deliberate choice and is not asked.
    const Program& p = program();
    if (EntryAnswers != p.ClientTable[p.CurrentClient].Answers.text() &&
        MsgBox::Show(QStringLiteral("The answers typed on this sheet are not saved.\r\r"
                                    "Close the window and discard them?"),
                     MsgBox::Buttons::YesNo, MsgBox::Icon::Exclamation, windowTitle(),
                     MsgBox::Answer::No) != MsgBox::Answer::Yes)
        return;
    ChooseMenu(1);
}

int frmNewEntry::exec()
{
    Activate();
    return QDialog::exec();
}

NewEntryOutcome ShowNewEntry(QWidget* parent)
{
    Program& p = program();
    p.InputAccepted = false;
    // A new client takes the slot after the last one; an existing client must be in the file.
    const int slot = p.CurrentClient;
    const bool slotUsable =
        p.EditMode ? (slot >= 1 && slot <= p.ClientCount) : (slot == p.ClientCount + 1 && slot <= MaxClients);
    if (!slotUsable) {
        MsgBox::Show(QStringLiteral("No client is chosen for answer entry (client number %1 of %2).")
                         .arg(slot)
                         .arg(p.ClientCount),
                     MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QString::fromLatin1(AppTitle));
        return NewEntryOutcome::NotOpened;
    }

    frmNewEntry form(parent);
    if (!form.Load()) {
        ShowQuestionBankError(QStringLiteral("The answers cannot be entered: the question bank cannot be used.\r\r%1")
                                  .arg(form.LoadError()));
        return NewEntryOutcome::NotOpened;
    }
    form.exec();
    return form.Outcome;
}
