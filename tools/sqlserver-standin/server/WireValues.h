// The engine's canonical value texts turned into the binary forms of TDS types.
// Each throws std::invalid_argument on text that is not of its form.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace standin::tds {

int64_t parseInteger(std::string_view text);
double parseFloat(std::string_view text);

// Fixed-point text as an unsigned magnitude scaled by 10^scale, little-endian in `bytes`
// bytes (extra fraction digits are cut off), and its sign.
struct ScaledNumber {
    bool negative = false;
    std::vector<uint8_t> magnitude;
};
ScaledNumber parseScaled(std::string_view text, int scale, size_t bytes);

// Money and smallmoney: the value in ten-thousandths.
int64_t parseMoney(std::string_view text);

struct DateTimeParts {
    int32_t days = 0;     // since 1900-01-01
    uint32_t ticks = 0;   // 1/300 s since midnight
    uint16_t minutes = 0; // since midnight, for smalldatetime
};
DateTimeParts parseDateTime(std::string_view text);

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" in SQL Server's byte order: the first three
// groups little-endian, the last two as written.
std::vector<uint8_t> parseGuid(std::string_view text);
std::vector<uint8_t> parseHex(std::string_view text);

}  // namespace standin::tds
