#include "app/SingleInstance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent)
{
    const QByteArray key = programFolder.toUtf8() + '#' + QByteArray::number(uint(::getuid()));
    name_ = QStringLiteral("zeptest-") +
            QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AskRunningCopyToShow()
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("show\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Listen(QWidget* window)
{
    window_ = window;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A copy that crashed leaves its socket behind; nobody answered on it above.
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
