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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Show();
    DateMask mask_;
};
