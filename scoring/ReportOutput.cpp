#include "scoring/ReportOutput.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "base/Ansi.h"
#include "base/Program.h"
#include "base/RegularFile.h"
#include "scoring/ReportWriter.h"

namespace {

// A report is a few pages; anything far larger is not one of ours.
constexpr qint64 MaxReportBytes = 4 * 1024 * 1024;

FileProblem Problem(const QString& what, const QString& path, int err)
{
    return QStringLiteral("%1 %2: %3").arg(what, EscapeControls(path), FileErrorText(err));
}

FileProblem CopyFile(const QString& from, const QString& to)
{
    QByteArray bytes;
    if (const int err = ReadRegularFile(from, MaxReportBytes, bytes); err != 0)
        return Problem(QStringLiteral("Cannot read"), from, err);
    if (const int err = ReplaceFile(to, bytes, FileAccess::OwnerOnly); err != 0)
        return Problem(QStringLiteral("Cannot write"), to, err);
    return {};
}

}  // namespace

QString ReportFilePath() { return StateFile(QString::fromLatin1(ReportFileName)); }

QString NumberedReportPath(int n) { return StateFile(QStringLiteral("temp%1").arg(n)); }

FileProblem ReadReportBytes(QByteArray& bytes)
{
    if (const int err = ReadRegularFile(ReportFilePath(), MaxReportBytes, bytes); err != 0)
        return Problem(QStringLiteral("Cannot read"), ReportFilePath(), err);
    return {};
}

FileProblem ReadReportText(QString& text)
{
    QByteArray bytes;
    if (FileProblem problem = ReadReportBytes(bytes); !problem.isEmpty())
        return problem;
    bytes.chop(1);
    text = FromAnsi(bytes);
    return {};
}

QList<ReportPage> ReportPages(const QString& text)
{
    QList<ReportPage> pages(1);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        // The final line feed is not part of the text, so the last line may end in its
        // carriage return.
        if (i == lines.size() - 1 && line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line == QLatin1String("\f"))
            pages.append(ReportPage());
        else
            pages.last().append(line);
    }
    while (pages.size() > 1 && pages.last().join(QString()).isEmpty())
        pages.removeLast();
    return pages;
}

FileProblem ReadRawPrintBytes(QByteArray& bytes, bool& marked)
{
    if (FileProblem problem = ReadReportBytes(bytes); !problem.isEmpty())
        return problem;
    // A report's last page always has lines of its own, so a form-feed line at the end is one
    // that a raw print added.
    marked = bytes.endsWith(FormFeedLine);
    if (!marked)
        bytes += FormFeedLine;
    return {};
}

FileProblem AppendFormFeedLine()
{
    const QString path = ReportFilePath();
    const int fd = OpenRegularFile(path, O_WRONLY);
    if (fd < 0)
        return Problem(QStringLiteral("Cannot open"), path, errno);
    int err = 0;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        err = errno;
    if (err == 0)
        err = WriteAllAt(fd, QByteArray(FormFeedLine), st.st_size);
    if (err == 0 && SyncFile(fd) != 0)
        err = errno;
    // A full disk may take part of the line: the report is then left as it was.
    if (err != 0 && st.st_size > 0)
        (void)::ftruncate(fd, st.st_size);
    if (CloseFile(fd) != 0 && err == 0)
        err = errno;
    if (err != 0)
        return Problem(QStringLiteral("Cannot write"), path, err);
    return {};
}

FileProblem CopyReportToNumbered(int n) { return CopyFile(ReportFilePath(), NumberedReportPath(n)); }

FileProblem CopyNumberedToReport(int n) { return CopyFile(NumberedReportPath(n), ReportFilePath()); }

void RemoveReportCopies()
{
    // "temp1", "temp2", ...; and the staging files as StagedFile names them: ".temp1.Ab12Cd",
    // ".REPORT.PRN.x7Yz09".
    const QString numbered = QStringLiteral("temp[1-9][0-9]*");
    const QString report = QRegularExpression::escape(QString::fromLatin1(ReportFileName));
    const QRegularExpression copy(QStringLiteral("^(%1|\\.(%1|%2)\\.[A-Za-z0-9]{6})$").arg(numbered, report));
    const QDir folder(program().StateFolder);
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (copy.match(name).hasMatch())
            ::unlink(QFile::encodeName(folder.filePath(name)).constData());
}
