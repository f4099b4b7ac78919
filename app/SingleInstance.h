#pragma once
// One running copy per program folder and user. A second copy asks the first to bring its
// window back and ends without touching any file.
//
// The copies meet at a local socket in a folder only the user may enter: $XDG_RUNTIME_DIR, or
// "zeptest-" + the user's number in the temporary folder. Nobody else can then put a socket
// where a later copy looks, and a copy hands over only to a program of its own user.
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy of this user answered; it has been asked to restore and raise
    // its window, and this copy must end. When that cannot be checked (the folder is not the
    // user's alone, the answering program's user cannot be learned) the operator is told
    // why, and this copy starts all the same.
    bool HandOverToRunningCopy();
    // Starts answering later copies. Until StartUpFinished(), they bring forward whatever
    // start-up is showing (the splash, a message, the drive chooser); afterwards they
    // restore and raise `window`. False when there is no safe place to answer from.
    bool Listen(QWidget* window);
    void StartUpFinished() { startUpFinished_ = true; }
    // The socket's path; empty when its folder is not safe.
    QString serverName() const { return name_; }

private:
    QString name_;
    QString problem_;  // why another copy cannot be looked for, for the operator
    QLocalServer* server_ = nullptr;
    QWidget* window_ = nullptr;
    bool startUpFinished_ = false;
};

// The window start-up shows now: a modal box or chooser first, else the visible splash.
QWidget* StartUpWindow(const QWidget* mainWindow);
