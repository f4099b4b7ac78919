#pragma once
// A print system of our own for the demonstration and the tests: a private CUPS daemon (its
// own configuration, spool and socket in a temporary folder) whose queues send every job over
// AppSocket to a listener in this process, so the job's bytes can be seen. cupsd must start
// as root; it runs its backends as the user lp.
#include <functional>

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

class PrintCatcher {
public:
    // The first queue becomes the default destination.
    explicit PrintCatcher(QStringList queues = {QStringLiteral("zepraw"), QStringLiteral("zeppdf")});
    ~PrintCatcher();

    // Starts the daemon and creates the queues; false with Error() when that failed. After
    // Kill() it starts the daemon again.
    bool Start();
    // Ends the daemon at once, as kill -9 or a crash would: its socket stays, and nobody answers there.
    void Kill();
    QString Error() const { return error_; }
    // What CUPS_SERVER must say for a program to use this print system.
    QString Server() const { return socket_; }

    // Runs a CUPS command (lpadmin, cupsdisable ...) against this daemon.
    bool Admin(const QString& command, const QStringList& args);

    // Every job received so far, whole, in order of arrival.
    QList<QByteArray> Jobs;
    // Called with each job as it arrives.
    std::function<void(const QByteArray&)> OnJob;

private:
    QStringList queues_;
    QTemporaryDir dir_;
    QTcpServer listener_;
    QProcess daemon_;
    QString socket_;
    QString error_;
};
