#include "widgets/FormHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "base/MsgBox.h"

void SetBackground(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetBold(QWidget* widget, bool bold)
{
    QFont f = widget->font();
    f.setBold(bold);
    widget->setFont(f);
}

void ShrinkFontToFit(QLabel* label)
{
    QFont f = label->font();
    const int room = label->contentsRect().width() - 2 * label->margin() - 4;
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(label->text()) > room)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    label->setFont(f);
}

void CenterForm(QWidget* form)
{
    if (form->isMaximized())
        return;
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect s = screen->geometry();
    const QSize f = form->frameGeometry().size();
    form->move(s.x() + s.width() / 2 - f.width() / 2, s.y() + s.height() / 2 - f.height() / 2);
}

void CenterFrame(QWidget* frame)
{
    const QWidget* form = frame->parentWidget();
    if (!form)
        return;
    const int left = form->width() / 2 - frame->width() / 2;
    const int top = form->height() / 2 - (frame->height() + Twips(1000)) / 2;
    frame->move(left, top);
}

namespace {
QWidget* Panel(QWidget* form, int index)
{
    return form->findChild<QWidget*>(QStringLiteral("sspMenuChoice_%1").arg(index));
}
QWidget* Button(QWidget* form, int index)
{
    return form->findChild<QWidget*>(QStringLiteral("cmdMenuChoice_%1").arg(index));
}
}  // namespace

void ClearMenuChoices(QWidget* form, int lastIndex)
{
    for (int i = 0; i <= lastIndex; ++i) {
        if (QWidget* panel = Panel(form, i))
            SetBackground(panel, Blue);
        if (QWidget* button = Button(form, i))
            SetBold(button, false);
    }
}

void ClearShpButtonColor(QWidget* form, int lastIndex)
{
    for (int i = 0; i <= lastIndex; ++i) {
        if (auto* shape = form->findChild<QWidget*>(QStringLiteral("shpMenuChoice_%1").arg(i)))
            SetBackground(shape, Blue);
        if (QWidget* button = Button(form, i))
            SetBold(button, false);
    }
}

void HighlightMenuChoice(QWidget* form, int index)
{
    if (QWidget* panel = Panel(form, index))
        SetBackground(panel, Cyan, Black);
    if (QWidget* button = Button(form, index))
        SetBold(button, true);
}

void SetMenuChoice(QWidget* form, int lastIndex, int index)
{
    ClearMenuChoices(form, lastIndex);
    HighlightMenuChoice(form, index);
}

void SelectAllText()
{
    QWidget* w = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setSelection(0, int(edit->text().size()));
    else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void ShowBusyPointer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
}

void ShowNormalPointer()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

void SetFrameFocusLook(QGroupBox* frame, bool focused)
{
    SetBackground(frame, focused ? Cyan : Blue, focused ? Black : White);
    SetBold(frame, focused);
    // The caption alone turns bold; the controls inside keep their own font.
    for (QWidget* child : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        SetBold(child, false);
}

QPushButton* MakeMenuChoice(QWidget* parent, int index, const QString& caption, int left, int top, int width,
                            int height, QFrame** panelOut)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("sspMenuChoice_%1").arg(index));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(TwipsRect(left - 60, top - 60, width + 135, height + 120));
    SetBackground(panel, Blue);

    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QStringLiteral("cmdMenuChoice_%1").arg(index));
    button->setGeometry(TwipsRect(left, top, width, height));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->raise();
    if (panelOut)
        *panelOut = panel;
    return button;
}

QLabel* MakeStatusPanel(QWidget* parent, const QRect& geometry)
{
    auto* panel = new QLabel(parent);
    panel->setObjectName(QStringLiteral("MsgPanel"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(geometry);
    panel->setIndent(4);
    SetBackground(panel, QColor(192, 192, 192), Black);
    return panel;
}

MenuChoicePattern::MenuChoicePattern(QWidget* form, int lastIndex, Options options, std::function<void(int)> onChoice)
    : QObject(form), form_(form), lastIndex_(lastIndex), options_(std::move(options)), onChoice_(std::move(onChoice))
{
    for (int i = 0; i <= lastIndex; ++i) {
        auto* button = qobject_cast<QPushButton*>(Button(form, i));
        buttons_.append(button);
        if (!button)
            continue;
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { onChoice_(i); });
    }
}

int MenuChoicePattern::IndexOf(QObject* watched) const
{
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i] == watched)
            return i;
    return -1;
}

bool MenuChoicePattern::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index < 0)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (options_.resetBeforeHighlight)
            SetMenuChoice(form_, lastIndex_, index);
        else
            HighlightMenuChoice(form_, index);
        if (options_.statusPanel && index < options_.statusTexts.size() && !options_.statusTexts[index].isNull())
            options_.statusPanel->setText(options_.statusTexts[index]);
        return false;
    case QEvent::FocusOut:
        if (options_.clearOnFocusOut)
            ClearMenuChoices(form_, lastIndex_);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return false;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event->type() == QEvent::KeyPress)
                buttons_[index]->click();
            return true;
        default: return true;  // no other key acts on a button
        }
    }
    default: return false;
    }
}

namespace {

QString DisplayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

MsgBox::Answer PresentMessage(const MsgBox::Message& m)
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(m.title);
    box.setText(DisplayText(m.text));
    switch (m.icon) {
    case MsgBox::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgBox::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgBox::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgBox::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgBox::Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (m.buttons) {
    case MsgBox::Buttons::OkOnly:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgBox::Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgBox::Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (m.defaultButton) {
    case MsgBox::Answer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
    case MsgBox::Answer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
    case MsgBox::Answer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
    case MsgBox::Answer::No: box.setDefaultButton(QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MsgBox::Answer::Ok;
    case QMessageBox::Yes: return MsgBox::Answer::Yes;
    case QMessageBox::No: return MsgBox::Answer::No;
    default: return MsgBox::Answer::Cancel;
    }
}

}  // namespace

QString AskSaveFileInDialog(const QString& title, const QString& suggested, const QString& filter)
{
    // Qt's own dialog, never the desktop's: the desktop's adds the chosen file to its list of
    // recent files, which outlives the file and would name whatever the operator typed.
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

void InstallUiServices()
{
    MsgBox::SetPresenter(PresentMessage);
    MsgBox::SetFilePresenter(AskSaveFileInDialog);
    SetBeepSound([] { QApplication::beep(); });
}
