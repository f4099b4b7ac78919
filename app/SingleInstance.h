#pragma once
// One running copy per program folder and user. A second copy asks the first to bring its
// window back and ends without touching any file.
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another copy answered; it has been asked to restore and raise its window.
    bool AskRunningCopyToShow();
    // Starts answering later copies. Until StartUpFinished(), they bring forward whatever
    // start-up is showing (the splash, a message, the drive chooser); afterwards they
    // restore and raise `window`.
    bool Listen(QWidget* window);
    void StartUpFinished() { startUpFinished_ = true; }
    QString serverName() const { return name_; }

private:
    QString name_;
    QLocalServer* server_ = nullptr;
    QWidget* window_ = nullptr;
    bool startUpFinished_ = false;
};

// The window start-up shows now: a modal box or chooser first, else the visible splash.
QWidget* StartUpWindow(const QWidget* mainWindow);
