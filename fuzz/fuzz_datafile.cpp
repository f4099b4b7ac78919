// One record of DATA401.ZEP from the fuzz input, in memory, through the record reader and
// writer: every record the program reads must write back byte for byte, whatever its bytes
// (a client saved unchanged must not change on the disk), and read again the same. A record
// is read on its own, so one per run is enough, and keeps the runs fast; a short input is
// the start of a record that ends in blanks. fuzz_disk goes the whole way with whole files.
#include "base/ClientRecord.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = RecordInput(data, size);
    const ClientRecord record = RecordFromBytes(bytes.constData());
    REQUIRE(RecordToBytes(record) == bytes);
    REQUIRE(RecordFromBytes(RecordToBytes(record).constData()) == record);
    return 0;
}
