#include "tools/PrintCatcher.h"

#include <csignal>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QThread>

namespace {

bool WriteText(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size() && f.flush();
}

}  // namespace

PrintCatcher::PrintCatcher(QStringList queues) : queues_(std::move(queues))
{
    QObject::connect(&listener_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* s = listener_.nextPendingConnection()) {
            auto bytes = std::make_shared<QByteArray>();
            QObject::connect(s, &QTcpSocket::readyRead, [s, bytes] { *bytes += s->readAll(); });
            // The backend closes its side once the whole job is sent.
            QObject::connect(s, &QTcpSocket::readChannelFinished, [this, s, bytes] {
                *bytes += s->readAll();
                Jobs.append(*bytes);
                if (OnJob)
                    OnJob(*bytes);
                s->disconnectFromHost();
                s->deleteLater();
            });
        }
    });
}

PrintCatcher::~PrintCatcher()
{
    daemon_.terminate();
    daemon_.waitForFinished(10000);
}

void PrintCatcher::Kill()
{
    daemon_.kill();
    daemon_.waitForFinished(10000);
}

bool PrintCatcher::Admin(const QString& command, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socket_);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error_ = QStringLiteral("%1 %2 failed: %3")
                     .arg(command, args.join(QLatin1Char(' ')), QString::fromLocal8Bit(p.readAll()).trimmed());
        return false;
    }
    return true;
}

bool PrintCatcher::Start()
{
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
    if (cupsd.isEmpty())
        return error_ = QStringLiteral("cupsd is not installed (package cups)"), false;
    if (::geteuid() != 0)
        return error_ = QStringLiteral("cupsd must be started as root"), false;
    if (!dir_.isValid() || (!listener_.isListening() && !listener_.listen(QHostAddress::LocalHost)))
        return error_ = QStringLiteral("no temporary folder or local port"), false;

    // The daemon's own folders; its backends and filters run as lp and must reach the spool.
    const QString root = dir_.path();
    ::chmod(QFile::encodeName(root).constData(), 0755);
    for (const char* sub : {"spool", "cache", "state", "log"})
        QDir(root).mkdir(QString::fromLatin1(sub));
    const struct group* lp = ::getgrnam("lp");
    if (!lp)
        return error_ = QStringLiteral("there is no group lp"), false;
    for (const char* sub : {"spool", "cache", "state"}) {
        const QByteArray path = QFile::encodeName(root + QLatin1Char('/') + QString::fromLatin1(sub));
        if (::chown(path.constData(), 0, lp->gr_gid) != 0 || ::chmod(path.constData(), 0775) != 0)
            return error_ = QStringLiteral("cannot prepare %1").arg(QString::fromLocal8Bit(path)), false;
    }
    socket_ = root + QStringLiteral("/cups.sock");
    const bool written =
        WriteText(root + QStringLiteral("/cupsd.conf"),
                  QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                      .arg(socket_)) &&
        WriteText(root + QStringLiteral("/cups-files.conf"),
                  QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                                 "TempDir %1/spool\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                 "PageLog %1/log/page_log\nUser lp\nGroup lp\nFileDevice No\nSandboxing Relaxed\n")
                      .arg(root));
    if (!written)
        return error_ = QStringLiteral("cannot write the daemon's configuration in %1").arg(root), false;

    // The daemon ends with us, even when we do not end in an orderly way.
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QFile::remove(socket_);  // a killed daemon's, which nobody answers
    daemon_.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
                          QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf")});
    for (int i = 0; i < 400 && !QFile::exists(socket_) && daemon_.state() != QProcess::NotRunning; ++i)
        QThread::msleep(25);
    if (!QFile::exists(socket_))
        return error_ = QStringLiteral("cupsd did not start; see %1/log/error_log").arg(root), false;

    const QString device = QStringLiteral("socket://127.0.0.1:%1").arg(listener_.serverPort());
    for (const QString& queue : queues_)
        if (!Admin(QStringLiteral("lpadmin"),
                   {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"), device}))
            return false;
    return Admin(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queues_.value(0)});
}
