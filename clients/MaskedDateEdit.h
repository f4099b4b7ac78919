#pragma once
// A line edit that always shows the date mask: typing fills the blanks, the slashes stay.
#include <QLineEdit>

#include "clients/DateMask.h"

class MaskedDateEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit MaskedDateEdit(QWidget* parent = nullptr);
    // The value as the mask shows it ("__/__/____" when nothing is typed).
    void SetValue(const QString& value);
    void Clear() { SetValue(QString()); }

    // Text from the clipboard or an input method, through the mask as if typed: all of
    // it, or (with a beep) none of it.
    bool InsertThroughMask(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void Show();
    DateMask mask_;
};
