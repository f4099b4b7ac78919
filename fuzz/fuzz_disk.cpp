// DATA401.ZEP from the fuzz input, on a disk: loading it, saving a client unchanged and adding one.
#include "base/MsgBox.h"
#include "base/Program.h"
#include "clients/DataAccess.h"
#include "fuzz/FuzzSupport.h"

namespace {

ClientRecord Named(const char* name)
{
    ClientRecord r;
    r.Name = name;
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrepareRun();
    Program& p = program();
    const QByteArray input = InputBytes(data, size);
    const int records = int(input.size() / RecordLength);
    const bool partial = input.size() % RecordLength != 0;
    WriteInput(p.DataFilePath, input);
    const ClientRecord before = p.ClientTable[1] = Named("Not from this disk");

    const bool loaded = LoadClientTable();
    REQUIRE(ReadBytes(p.DataFilePath) == input);
    if (!loaded) {
        // Refused only when too many; then the table is as it was.
        REQUIRE(records > MaxClients && p.ClientCount == 0 && p.ClientTable[1] == before);
        return 0;
    }
    REQUIRE(p.ClientCount == records && p.CurrentClient == (records > 0 ? 1 : 0));
    REQUIRE(partial || MsgBox::Shown().isEmpty());
    for (int slot = 1; slot <= records; ++slot)
        REQUIRE(RecordToBytes(p.ClientTable[slot]) == input.mid((slot - 1) * RecordLength, RecordLength));

    // Saving a client nobody changed changes no byte on the disk.
    if (records > 0) {
        REQUIRE(WriteClientRecord(records));
        REQUIRE(ReadBytes(p.DataFilePath) == input);
    }
    // A new client follows the last whole record, in place of any partial one.
    if (records < MaxClients) {
        const ClientRecord added = Named("Added Client");
        p.CurrentClient = qint16(records + 1);
        p.ClientTable[records + 1] = added;
        REQUIRE(CompleteNewClient() && p.ClientCount == records + 1);
        REQUIRE(ReadBytes(p.DataFilePath) == input.left(records * RecordLength) + RecordToBytes(added));
        REQUIRE(LoadClientTable() && p.ClientCount == records + 1 && p.ClientTable[records + 1] == added);
    }
    return 0;
}
