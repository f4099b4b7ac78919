#pragma once
// Program-wide state: one object, reachable from everywhere, reset by tests.
#include <array>

#include <QString>

#include "base/ClientRecord.h"

constexpr int MaxClients = 51;
constexpr const char* AppTitle = "ZEP - Adult Probation Short Form";

struct Program {
    // Client records in memory; slot 0 never holds a client.
    std::array<ClientRecord, MaxClients + 1> ClientTable{};
    qint16 ClientCount = 0;
    qint16 CurrentClient = 0;
    bool EditMode = false;
    bool InputAccepted = false;
    qint16 CurrentEditCount = 0;
    qint16 CurrentNameDeleted = 0;

    // Filled at start-up.
    QString ProgramFolder;   // folder of the executable
    QString IniPath;         // ProgramFolder + "/zeptest.ini"
    QString SndPath;
    QString DatabasePath;
    QString MainWorkspace;   // name of the question bank's database connection
    bool PrintDOS = true;
    bool NumLockOn = true;
    QString DataDrive;
    QString DataFilePath;
    // The data file as the client table knows it: its path and the bytes of its whole
    // records at the last load, with every write since applied. A record is written only
    // while the file on the disk still holds exactly these bytes.
    QString LoadedDataFile;
    QByteArray LoadedRecords;
    bool UnloadOthersOnActivate = true;
    std::array<qint16, 4> SectionBounds{0, 0, 0, 0};

    // The "One-page summary report" box of the supervisor utilities; the report writer reads it.
    bool SumPageChecked = false;

    // Wrong secret codes typed in a row; the right code clears it. Past three, each try waits.
    int SecretCodeMisses = 0;

    // Set when the program must end (a refused data disk, exit); the event loop is told too.
    bool Ended = false;
};

Program& program();

// Back to the state of a freshly started program (tests call this between cases).
void ResetProgram();

// Ends the run: marks the program ended and leaves the event loop if one is running.
void EndProgram();

// Path of a file in the program folder.
QString ProgramFile(const QString& name);
