#include "clients/DelNames.h"

#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"

namespace {

// The code a name character is replaced by. Codes near the top have nothing 7 or 3 above
// them: ú ü ý þ ÿ (250, 252, 253, 254, 255) wrap round from 256 onwards into the capital
// letters, ý to A, ú to B, ÿ to C, ü to D, þ to F, so a scrambled name stays printable.
// Code 29, a control character no typed name holds, would land on the blank and takes "!"
// instead: a blank in the result must always be a blank of the name.
// The bytes Windows-1252 leaves undefined ("z" becomes 0x81) are kept: the data file
// holds any byte, and FromAnsi/ToAnsi carry those five unchanged, so memory and disk agree.
int ScrambledCode(int code)
{
    int result = code + (code % 2 == 0 ? 7 : 3);
    if (result > 255)
        result = 'A' + (result - 256);
    if (result == ' ')
        result = '!';
    return result;
}

}  // namespace

QString ScrambleName(const QString& name)
{
    QByteArray bytes = ToAnsi(name);
    for (char& byte : bytes) {
        if (byte != ' ')
            byte = static_cast<char>(ScrambledCode(static_cast<unsigned char>(byte)));
    }
    return FromAnsi(bytes);
}

DeleteNamesOutcome DeleteClientNames()
{
    const auto answer = MsgBox::Show(QStringLiteral("You are about to delete the Client Name from\r"
                                                    "all tests on this diskette. This should not be done\r"
                                                    "until you have printed all reports and are finished\r"
                                                    "with this diskette and ready to return it.\r"
                                                    "\r"
                                                    "Are you SURE you want to do this?"),
                                     MsgBox::Buttons::YesNo, MsgBox::Icon::Critical, QStringLiteral("WARNING!"),
                                     MsgBox::Answer::No);  // Enter must not start what cannot be undone
    if (answer != MsgBox::Answer::Yes)
        return DeleteNamesOutcome::Declined;

    Program& p = program();
    for (int slot = 1; slot <= p.ClientCount; ++slot) {
        ClientRecord& record = p.ClientTable[slot];
        if (record.NameDeleted.trimmed().toInt() != 0)
            continue;
        const ClientRecord before = record;
        record.Name = ScrambleName(record.Name.text());
        record.NameDeleted = "1";
        if (!WriteClientRecord(slot)) {
            // The disk still holds this client as it was, and so must memory: a second run
            // then starts here. The clients before it are done, the ones after untouched.
            record = before;
            return DeleteNamesOutcome::Interrupted;
        }
    }
    MsgBox::Show(QStringLiteral("Process complete. Press Enter to continue."), MsgBox::Buttons::OkOnly,
                 MsgBox::Icon::None, QString::fromLatin1(AppTitle));
    return DeleteNamesOutcome::Completed;
}
