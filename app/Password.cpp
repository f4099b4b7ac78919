#include "app/Password.h"

#include "app/MsgBox.h"
#include "app/frmMyInputBox.h"

bool CheckSecretCode()
{
    for (;;) {
        frmMyInputBox box;
        box.InputLength = 8;
        box.HelpMessage = QStringLiteral(
            "Enter the Secret Code to continue.  For security, asterisks (*) will show as you type.");
        box.setWindowTitle(QStringLiteral("Secret Code"));
        box.PasswordInput = true;
        box.exec();
        if (box.Cancelled)
            return false;
        if (box.InputValue.toUpper() == QString(QLatin1Char(SecretCode)))
            return true;
        MsgBox::Show(QStringLiteral("Incorrect Secret Code.  Please try again."), MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::Critical, QStringLiteral("Secret Code"));
    }
}
