#include "WireValues.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace standin::tds {
namespace {

[[noreturn]] void bad(std::string_view what, std::string_view text)
{
    throw std::invalid_argument("not " + std::string(what) + ": '" + std::string(text) + "'");
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads exactly `width` digits at pos.
int fixedDigits(std::string_view text, size_t& pos, size_t width)
{
    int value = 0;
    for (size_t k = 0; k < width; ++k, ++pos) {
        if (pos >= text.size() || !isDigit(text[pos]))
            bad("a datetime", text);
        value = value * 10 + (text[pos] - '0');
    }
    return value;
}

void expect(std::string_view text, size_t& pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        bad("a datetime", text);
    ++pos;
}

// Days from 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

int64_t parseInteger(std::string_view text)
{
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        bad("an integer", text);
    return value;
}

double parseFloat(std::string_view text)
{
    std::string copy(text);
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size())
        bad("a number", text);
    return value;
}

ScaledNumber parseScaled(std::string_view text, int scale, size_t bytes)
{
    ScaledNumber n;
    n.magnitude.assign(bytes, 0);
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        n.negative = text[pos++] == '-';
    std::string digits;
    int fraction = -1;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '.' && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (!isDigit(c))
            bad("a decimal number", text);
        if (fraction < 0) {
            digits += c;
        } else if (fraction < scale) {
            digits += c;
            ++fraction;
        }
    }
    if (digits.empty())
        bad("a decimal number", text);
    digits.append(static_cast<size_t>(scale - std::max(fraction, 0)), '0');
    for (char c : digits) {
        unsigned carry = static_cast<unsigned>(c - '0');
        for (uint8_t& b : n.magnitude) {
            unsigned v = b * 10u + carry;
            b = static_cast<uint8_t>(v);
            carry = v >> 8;
        }
        if (carry != 0)
            bad("a decimal number in range", text);
    }
    return n;
}

int64_t parseMoney(std::string_view text)
{
    ScaledNumber n = parseScaled(text, 4, 8);
    uint64_t magnitude = 0;
    for (size_t k = 0; k < 8; ++k)
        magnitude |= static_cast<uint64_t>(n.magnitude[k]) << (8 * k);
    // The negative side reaches one unit further: -922337203685477.5808 is INT64_MIN.
    const uint64_t limit = static_cast<uint64_t>(INT64_MAX) + (n.negative ? 1 : 0);
    if (magnitude > limit)
        bad("money in range", text);
    return n.negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

DateTimeParts parseDateTime(std::string_view text)
{
    size_t pos = 0;
    int year = fixedDigits(text, pos, 4);
    expect(text, pos, '-');
    int month = fixedDigits(text, pos, 2);
    expect(text, pos, '-');
    int day = fixedDigits(text, pos, 2);
    int hour = 0, minute = 0, second = 0, millis = 0;
    if (pos < text.size()) {
        expect(text, pos, ' ');
        hour = fixedDigits(text, pos, 2);
        expect(text, pos, ':');
        minute = fixedDigits(text, pos, 2);
        expect(text, pos, ':');
        second = fixedDigits(text, pos, 2);
        if (pos < text.size()) {
            expect(text, pos, '.');
            millis = fixedDigits(text, pos, 3);
        }
    }
    if (pos != text.size() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59
        || second > 59)
        bad("a datetime", text);
    DateTimeParts parts;
    parts.days = static_cast<int32_t>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))
                                      - daysFromCivil(1900, 1, 1));
    parts.ticks = static_cast<uint32_t>((hour * 3600 + minute * 60 + second) * 300
                                        + static_cast<int>(std::lround(millis * 0.3)));
    parts.minutes = static_cast<uint16_t>(hour * 60 + minute);
    return parts;
}

std::vector<uint8_t> parseHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        bad("hexadecimal", text);
    std::vector<uint8_t> out;
    for (size_t k = 0; k < text.size(); k += 2) {
        int hi = hexDigit(text[k]), lo = hexDigit(text[k + 1]);
        if (hi < 0 || lo < 0)
            bad("hexadecimal", text);
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::vector<uint8_t> parseGuid(std::string_view text)
{
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        bad("a uniqueidentifier", text);
    std::string hex;
    for (char c : text)
        if (c != '-')
            hex += c;
    std::vector<uint8_t> b = parseHex(hex);
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
    std::swap(b[4], b[5]);
    std::swap(b[6], b[7]);
    return b;
}

}  // namespace standin::tds
