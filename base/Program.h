#pragma once
// Program-wide state: one object, reachable from everywhere, reset by tests.
#include <array>

#include <QString>

#include "base/ClientRecord.h"

constexpr int MaxClients = 51;
constexpr const char* AppTitle = "ZEP - Adult Probation Short Form";
constexpr const char* SettingsFileName = "zeptest.ini";
constexpr const char* QuestionBankFileName = "ZEPSF.db";
// The item that ends each section of the test: items 1 to 60 (True/False), then 61 to 64.
constexpr std::array<qint16, 4> TestSectionBounds{0, 60, 64, 0};

struct Program {
    // The client records, owned by clients/DataAccess: the table, the slot being worked on,
    // and the data file as the table knows it (its path and the bytes of its whole records at
    // the last load, with every write since applied; a record is written only while the file
    // on the disk still holds exactly these bytes). Slot 0 never holds a client.
    std::array<ClientRecord, MaxClients + 1> ClientTable{};
    qint16 ClientCount = 0;
    qint16 CurrentClient = 0;
    QString LoadedDataFile;
    QByteArray LoadedRecords;

    // A workflow's forms, one after another: existing or new client, and whether the last
    // form was accepted. The client information form keeps its count of changes and the
    // client's name-deleted mark here while it is open.
    bool EditMode = false;
    bool InputAccepted = false;
    qint16 CurrentEditCount = 0;
    qint16 CurrentNameDeleted = 0;

    // Set by start-up (SetStartUpDefaults, then the settings file and the drive selection),
    // changed only by the main menu's options and a change of data drive.
    QString ProgramFolder;  // folder of the executable, where the supplied files are read
    QString IniPath;        // ProgramFolder + "/zeptest.ini", or the user's own (ProgramFolders.h)
    QString StateFolder;    // where reports and their copies are written: ProgramFolder, or the user's own
    QString SiteFolder;     // the office's copies of supplied files, read first; empty for none
    QString SndPath;
    QString DatabasePath;
    QString MainWorkspace;  // name of the question bank's database connection
    bool PrintDOS = true;
    bool NumLockOn = true;
    QString DataDrive;
    QString DataFilePath;
    std::array<qint16, 4> SectionBounds{0, 0, 0, 0};
    // The main menu closes the other forms when it is activated, except while a workflow runs.
    bool UnloadOthersOnActivate = true;

    // The secret code's wrong tries in a row; the right code clears it. Past three, each try waits.
    int SecretCodeMisses = 0;

    // Set when the program must end (a refused data disk, exit); the event loop is told too.
    bool Ended = false;
};

Program& program();

// Back to the state of a freshly started program (tests call this between cases).
void ResetProgram();

// The values a starting program gives itself before it reads any file: the program folder
// and the paths of the files in it, the question bank's connection name and the test's
// sections. Start-up calls it, and so does everything that stands in for a starting
// program (tests, tools, benchmarks, fuzzers), so that they all start alike.
void SetStartUpDefaults(const QString& programFolder);

// Ends the run: marks the program ended and leaves the event loop if one is running.
void EndProgram();

// Path of a file in the program folder.
QString ProgramFile(const QString& name);
// Path of a file the program writes for the user (REPORT.PRN, the bulk print's copies).
QString StateFile(const QString& name);
// Path of a supplied file to read (scoring data, report texts, the question bank): the
// office's copy when its folder holds one, otherwise the program folder's.
QString SuppliedFile(const QString& name);
