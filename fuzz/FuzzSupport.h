#pragma once
// Shared by the libFuzzer harnesses: one private folder per process standing in for the
// program folder and the data disk, the fuzz input written as a real file, and a check that
// stops the fuzzer (which then keeps the input) when a property does not hold.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "base/ClientRecord.h"

// Resets the program state and points the program folder, zeptest.ini and the data disk
// (the subfolder "disk") into this process's temporary folder. Message boxes are recorded
// (MsgBox::Shown) and answered OK, Cancel or No, so a retry loop always ends.
void PrepareRun();

// Copies every file of `folder` (a valid set of supplied files) into the program folder.
void CopyFilesToProgramFolder(const QString& folder);
// The scoring harnesses' three clients (slot 1 to 3), each scored on other norms with other
// answers; the second is an invalid test. Every field, the court history among them, holds
// one character.
ClientRecord ScoringClient(int slot);

QByteArray InputBytes(const uint8_t* data, size_t size);
// One record of DATA401.ZEP from the input: its first 154 bytes, a short input being the start
// of a record that ends in blanks.
QByteArray RecordInput(const uint8_t* data, size_t size);
// Replaces the file with these bytes; a harness that cannot write its input tests nothing.
void WriteInput(const QString& path, const QByteArray& bytes);
// The file's bytes; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

[[noreturn]] void FuzzFailed(const char* property, const char* file, int line);
#define REQUIRE(property) ((property) ? void() : FuzzFailed(#property, __FILE__, __LINE__))
