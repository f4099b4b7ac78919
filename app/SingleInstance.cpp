#include "app/SingleInstance.h"

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include "base/Ansi.h"
#include "base/MsgBox.h"
#include "base/Program.h"
#include "base/RegularFile.h"

namespace {

// The folder for the socket, or an empty text and the reason it is not safe: it must be a
// folder (not a link to one) of this user that nobody else may enter.
QString PrivateSocketFolder(QString& problem)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/zeptest-%1").arg(::getuid());
        ::mkdir(QFile::encodeName(folder).constData(), 0700);  // an existing one is checked below
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        problem = QStringLiteral("%1: %2").arg(EscapeControls(folder), FileErrorText(errno));
    else if (!S_ISDIR(st.st_mode))
        problem = QStringLiteral("%1 is not a folder").arg(EscapeControls(folder));
    else if (st.st_uid != ::getuid())
        problem = QStringLiteral("the folder %1 belongs to another user").arg(EscapeControls(folder));
    else if ((st.st_mode & 077) != 0)
        problem = QStringLiteral("other users may enter the folder %1").arg(EscapeControls(folder));
    return problem.isEmpty() ? folder : QString();
}

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent)
{
    const QString folder = PrivateSocketFolder(problem_);
    if (problem_.isEmpty())
        name_ = folder + QStringLiteral("/zeptest-") +
                QString::fromLatin1(
                    QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::HandOverToRunningCopy()
{
    if (problem_.isEmpty()) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (!socket.waitForConnected(1000))
            return false;  // nobody answers: this is the only copy
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) {
            problem_ = QStringLiteral("who answers at %1 cannot be learned: %2")
                           .arg(EscapeControls(name_), FileErrorText(errno));
        } else if (peer.uid != ::getuid()) {
            return false;  // not a copy of this user's: Listen takes the name over
        } else {
            socket.write("show\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return true;
        }
    }
    MsgBox::Show(QStringLiteral("Whether the program is running already cannot be checked: %1.\r\r"
                                "It starts all the same; do not start it a second time.")
                     .arg(problem_),
                 MsgBox::Buttons::OkOnly, MsgBox::Icon::Exclamation, QString::fromLatin1(AppTitle));
    return false;
}

bool SingleInstance::Listen(QWidget* window)
{
    window_ = window;
    if (name_.isEmpty())
        return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A copy that crashed leaves its socket behind, and another user's program is not ours:
    // neither answered as a copy above.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_))
        return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->readAll().contains("show") || !window_)
                    return;
                if (!startUpFinished_) {
                    // The main menu is not ready to be used before start-up has finished.
                    if (QWidget* shown = StartUpWindow(window_)) {
                        shown->raise();
                        shown->activateWindow();
                    }
                    return;
                }
                window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
                window_->showNormal();
                window_->raise();
                window_->activateWindow();
            });
        }
    });
    return true;
}

QWidget* StartUpWindow(const QWidget* mainWindow)
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != mainWindow && w->isVisible() && w->objectName().startsWith(QLatin1String("frm")))
            return w;
    return nullptr;
}
