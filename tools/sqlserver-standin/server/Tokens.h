// The reply tokens that do not describe rows: messages, environment changes, login
// acknowledgement, DONE and return status.
#pragma once

#include "Bytes.h"
#include "Engine.h"

#include <cstdint>
#include <string_view>

namespace standin::tds {

constexpr uint32_t tds71 = 0x71000001;
constexpr uint32_t tds72 = 0x72090002;
constexpr uint32_t tds74 = 0x74000004;

// From 7.2 on user types take 4 bytes, row counts 8 and message line numbers 4.
constexpr bool hasWideCounts(uint32_t version) { return version >= 0x72000000; }

namespace done {
constexpr uint16_t more = 0x01;
constexpr uint16_t error = 0x02;
constexpr uint16_t count = 0x10;
constexpr uint16_t attention = 0x20;
}  // namespace done

enum class DoneToken : uint8_t { Done = 0xFD, DoneProc = 0xFE, DoneInProc = 0xFF };

enum class EnvChange : uint8_t { Database = 1, Language = 2, PacketSize = 4 };

void writeEnvChange(ByteWriter& w, EnvChange type, std::string_view newValue, std::string_view oldValue);
void writeCollationEnvChange(ByteWriter& w, const Collation& collation);
// ERROR for severity >= 11, INFO otherwise.
void writeMessage(ByteWriter& w, const Message& m, std::string_view serverName, uint32_t version);
void writeLoginAck(ByteWriter& w, uint32_t version);
void writeDone(ByteWriter& w, DoneToken token, uint16_t status, uint16_t command, uint64_t rowCount,
               uint32_t version);
void writeReturnStatus(ByteWriter& w, int32_t value);

}  // namespace standin::tds
