#pragma once
// Deleting client names: before a data disk is handed back, every client's name is made
// unreadable and the record marked, so that the names never leave the office.
#include <QString>

// The name with each character's Windows-1252 code moved on (+7 for even codes, +3 for odd
// ones); blanks stay where they are, so the words keep their lengths.
QString ScrambleName(const QString& name);

enum class DeleteNamesOutcome {
    Declined,     // the operator answered No; nothing changed
    Completed,    // every client is marked and on the disk
    Interrupted,  // a record could not be written and the operator gave up; the rest is untouched
};

// Asks for confirmation, then scrambles and writes every client whose name is not yet deleted.
DeleteNamesOutcome DeleteClientNames();
