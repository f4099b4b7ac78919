#include "base/ProgramFolders.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "base/Ansi.h"
#include "base/Program.h"
#include "base/RegularFile.h"

namespace {

// An XDG variable counts only when it holds an absolute path; otherwise its default applies.
QString XdgFolder(const char* variable, const QString& underHome)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QDir::homePath() + QLatin1Char('/') + underHome;
}

}  // namespace

bool IsInstalledProgramFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    return clean == QLatin1String("/usr") || clean.startsWith(QLatin1String("/usr/")) ||
           ::access(QFile::encodeName(clean).constData(), W_OK) != 0;
}

int MakePrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    QString partial;
    for (const QString& part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        partial += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(partial).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(clean).constData(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if (st.st_uid != ::geteuid())
        return EACCES;
    return 0;
}

QString UseUserFolders()
{
    Program& p = program();
    const QString config = XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/zep");
    const QString state = XdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/zep");
    const QString site = qEnvironmentVariable("ZEP_SITE_DIR", QString::fromLatin1(DefaultSiteFolder));
    for (const QString& folder : {config, state})
        if (const int err = MakePrivateFolder(folder); err != 0)
            return QStringLiteral("Cannot make the folder %1: %2").arg(EscapeControls(folder), FileErrorText(err));
    p.IniPath = config + QLatin1Char('/') + QLatin1String(SettingsFileName);
    p.StateFolder = state;
    p.SiteFolder = site;
    p.DatabasePath = SuppliedFile(QLatin1String(QuestionBankFileName));
    return {};
}

QString UseFoldersOfProgram()
{
    return IsInstalledProgramFolder(program().ProgramFolder) ? UseUserFolders() : QString();
}
