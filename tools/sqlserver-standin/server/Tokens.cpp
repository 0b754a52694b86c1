#include "Tokens.h"

namespace standin::tds {
namespace {

// Writes a token with a u16 length computed from what body() writes.
template <typename Body>
void lengthPrefixed(ByteWriter& w, uint8_t token, Body body)
{
    w.u8(token);
    size_t lengthAt = w.size();
    w.u16(0);
    body();
    w.patchU16(lengthAt, static_cast<uint16_t>(w.size() - lengthAt - 2));
}

}  // namespace

void writeEnvChange(ByteWriter& w, EnvChange type, std::string_view newValue, std::string_view oldValue)
{
    lengthPrefixed(w, 0xE3, [&] {
        w.u8(static_cast<uint8_t>(type));
        w.bVarchar(newValue);
        w.bVarchar(oldValue);
    });
}

void writeCollationEnvChange(ByteWriter& w, const Collation& collation)
{
    lengthPrefixed(w, 0xE3, [&] {
        w.u8(7);
        w.u8(static_cast<uint8_t>(collation.wire.size()));
        for (uint8_t b : collation.wire)
            w.u8(b);
        w.u8(0);
    });
}

void writeMessage(ByteWriter& w, const Message& m, std::string_view serverName, uint32_t version)
{
    lengthPrefixed(w, m.severity >= 11 ? 0xAA : 0xAB, [&] {
        w.u32(static_cast<uint32_t>(m.number));
        w.u8(m.state);
        w.u8(m.severity);
        w.usVarchar(m.text);
        w.bVarchar(serverName);
        w.bVarchar(m.procedure);
        if (hasWideCounts(version))
            w.u32(static_cast<uint32_t>(m.line));
        else
            w.u16(static_cast<uint16_t>(m.line));
    });
}

void writeLoginAck(ByteWriter& w, uint32_t version)
{
    lengthPrefixed(w, 0xAD, [&] {
        w.u8(1);  // SQL interface
        w.u32be(version);
        w.bVarchar("Microsoft SQL Server");
        w.u8(16);  // 16.0.1000
        w.u8(0);
        w.u16be(1000);
    });
}

void writeDone(ByteWriter& w, DoneToken token, uint16_t status, uint16_t command, uint64_t rowCount,
               uint32_t version)
{
    w.u8(static_cast<uint8_t>(token));
    w.u16(status);
    w.u16(command);
    if (hasWideCounts(version))
        w.u64(rowCount);
    else
        w.u32(static_cast<uint32_t>(rowCount));
}

void writeReturnStatus(ByteWriter& w, int32_t value)
{
    w.u8(0x79);
    w.u32(static_cast<uint32_t>(value));
}

}  // namespace standin::tds
