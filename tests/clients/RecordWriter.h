#pragma once
// What recordwriter writes, for the tests that check what it left behind.
#include "base/ClientRecord.h"

// The second version of a record that "recordwriter edit" writes in turn with the first: it
// differs from it both in the record's first 92 bytes and in its last 62, the parts on either
// side of the page boundary that record 27 crosses.
inline ClientRecord RewrittenRecord(ClientRecord record)
{
    record.Name = QStringLiteral("Rewritten");
    record.DateOfBirth = "01/01/1950";
    return record;
}
