#include "base/ClientRecord.h"

QByteArray RecordToBytes(const ClientRecord& record)
{
    QByteArray out;
    out.reserve(RecordLength);
    ClientRecord::ForEachField(record, [&](const char*, const auto& field) { out += ToAnsi(field.text()); });
    Q_ASSERT(out.size() == RecordLength);
    return out;
}

ClientRecord RecordFromBytes(const char* bytes)
{
    ClientRecord record;
    int offset = 0;
    ClientRecord::ForEachField(record, [&](const char*, auto& field) {
        constexpr int length = std::remove_reference_t<decltype(field)>::Length;
        field = FromAnsi(bytes + offset, length);
        offset += length;
    });
    return record;
}
