// DATA401.ZEP from the fuzz input, record by record through the record reader and writer, in
// memory: every record the program reads must write back byte for byte, whatever its bytes
// (a client saved unchanged must not change on the disk), and read again the same.
// fuzz_disk goes the whole way with the file on a disk.
#include "clients/ClientRecord.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = InputBytes(data, size);
    for (qsizetype at = 0; at + RecordLength <= input.size(); at += RecordLength) {
        const ClientRecord record = RecordFromBytes(input.constData() + at);
        const QByteArray bytes = RecordToBytes(record);
        REQUIRE(bytes == input.mid(at, RecordLength));
        REQUIRE(RecordFromBytes(bytes.constData()) == record);
    }
    return 0;
}
