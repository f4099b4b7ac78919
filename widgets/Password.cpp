#include "widgets/Password.h"

#include <algorithm>

#include "base/MsgBox.h"
#include "base/Program.h"
#include "widgets/frmMyInputBox.h"

namespace {
constexpr int FreeTries = 3;
constexpr int LongestDelay = 30;
}  // namespace

int SecretCodeDelay(int misses)
{
    if (misses < FreeTries)
        return 0;
    const int doublings = misses - FreeTries;
    return doublings >= 4 ? LongestDelay : std::min(LongestDelay, 2 << doublings);
}

bool CheckSecretCode()
{
    for (;;) {
        frmMyInputBox box;
        box.InputLength = 8;
        box.HelpMessage =
            QStringLiteral("Enter the Secret Code to continue.  For security, asterisks (*) will show as you type.");
        // The count lives in the program, so cancelling the box does not start it again.
        const int misses = program().SecretCodeMisses;
        box.WaitSeconds = SecretCodeDelay(misses);
        box.WaitMessage = QStringLiteral("The Secret Code was wrong %1 times in a row.  Please wait %2 seconds "
                                         "before the next try.")
                              .arg(misses)
                              .arg(box.WaitSeconds);
        box.setWindowTitle(QStringLiteral("Secret Code"));
        box.PasswordInput = true;
        box.exec();
        if (box.Cancelled)
            return false;
        if (box.InputValue.toUpper() == QString(QLatin1Char(SecretCode))) {
            program().SecretCodeMisses = 0;
            return true;
        }
        ++program().SecretCodeMisses;
        MsgBox::Show(QStringLiteral("Incorrect Secret Code.  Please try again."), MsgBox::Buttons::OkOnly,
                     MsgBox::Icon::Critical, QStringLiteral("Secret Code"));
    }
}
