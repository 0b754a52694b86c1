#include "RpcRequest.h"

#include "TextCodec.h"
#include "CodePage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace standin::tds {
namespace {

enum : uint8_t {
    Int1 = 0x30,
    Bit = 0x32,
    Int2 = 0x34,
    Int4 = 0x38,
    DateTime4 = 0x3A,
    Flt4 = 0x3B,
    Money8 = 0x3C,
    DateTime8 = 0x3D,
    Flt8 = 0x3E,
    Money4 = 0x7A,
    Int8 = 0x7F,
    Guid = 0x24,
    IntN = 0x26,
    BitN = 0x68,
    DecimalN = 0x6A,
    NumericN = 0x6C,
    FltN = 0x6D,
    MoneyN = 0x6E,
    DateTimeN = 0x6F,
    Text = 0x23,
    NText = 0x63,
    BigVarChar = 0xA7,
    BigChar = 0xAF,
    NVarChar = 0xE7,
    NChar = 0xEF
};

constexpr uint16_t plpLength = 0xFFFF;

uint64_t little(const Bytes& b)
{
    uint64_t v = 0;
    for (size_t k = b.size(); k-- > 0;)
        v = (v << 8) | b[k];
    return v;
}

// A whole number of `size` bytes, sign-extended.
std::string integerText(const Bytes& b)
{
    uint64_t v = little(b);
    if (b.size() < 8 && (v >> (8 * b.size() - 1)) & 1)
        v |= ~uint64_t{0} << (8 * b.size());
    return std::to_string(static_cast<int64_t>(v));
}

std::string floatText(const Bytes& b)
{
    char buf[40];
    if (b.size() == 4) {
        float f;
        std::memcpy(&f, b.data(), 4);
        std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));
    } else {
        double d;
        std::memcpy(&d, b.data(), 8);
        std::snprintf(buf, sizeof buf, "%.17g", d);
    }
    return buf;
}

// A little-endian unsigned magnitude of any length in decimal digits.
std::string decimalDigits(Bytes magnitude)
{
    std::string digits;
    while (std::any_of(magnitude.begin(), magnitude.end(), [](uint8_t b) { return b != 0; })) {
        unsigned remainder = 0;
        for (size_t k = magnitude.size(); k-- > 0;) {
            const unsigned v = remainder * 256 + magnitude[k];
            magnitude[k] = static_cast<uint8_t>(v / 10);
            remainder = v % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    }
    return digits.empty() ? "0" : digits;
}

// Digits scaled by 10^scale as fixed-point text.
std::string scaledText(bool negative, std::string digits, int scale)
{
    if (static_cast<int>(digits.size()) <= scale)
        digits.insert(0, static_cast<size_t>(scale) + 1 - digits.size(), '0');
    if (scale > 0)
        digits.insert(digits.size() - static_cast<size_t>(scale), ".");
    return (negative ? "-" : "") + digits;
}

std::string moneyText(const Bytes& b)
{
    // money sends its high half first
    const uint64_t raw = b.size() == 8 ? (little(Bytes(b.begin(), b.begin() + 4)) << 32) |
                                             little(Bytes(b.begin() + 4, b.end()))
                                       : little(b);
    const int64_t n = b.size() == 8 ? static_cast<int64_t>(raw)
                                    : static_cast<int32_t>(static_cast<uint32_t>(raw));
    const uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    Bytes bytes;
    for (int k = 0; k < 8; ++k)
        bytes.push_back(static_cast<uint8_t>(magnitude >> (8 * k)));
    return scaledText(n < 0, decimalDigits(bytes), 4);
}

std::string dateTimeText(const Bytes& b)
{
    long long days = 0, ms = 0;
    if (b.size() == 8) {
        days = static_cast<int32_t>(little(Bytes(b.begin(), b.begin() + 4)));
        ms = (static_cast<long long>(little(Bytes(b.begin() + 4, b.end()))) * 10 + 1) / 3;
    } else {
        days = static_cast<long long>(little(Bytes(b.begin(), b.begin() + 2)));
        ms = static_cast<long long>(little(Bytes(b.begin() + 2, b.end()))) * 60000;
    }
    // days since 1900-01-01 to a civil date
    long long z = days + 25567 + 719468;  // 1900-01-01 is day -25567 from 1970
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld", y, m, d,
                  ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buf;
}

std::string guidText(const Bytes& b)
{
    static const int order[] = {3,  2, 1, 0,  -1, 5,  4,  -1, 7,  6,
                                -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
    std::string out;
    char hex[3];
    for (int k : order) {
        if (k < 0) {
            out += '-';
            continue;
        }
        std::snprintf(hex, sizeof hex, "%02X", b[static_cast<size_t>(k)]);
        out += hex;
    }
    return out;
}

// The chunks of a PLP value (a max type) joined; nullopt for PLP NULL.
std::optional<Bytes> readPlp(ByteReader& r)
{
    const uint64_t total = little(r.take(8));
    if (total == ~uint64_t{0})
        return std::nullopt;
    Bytes out;
    for (uint32_t chunk = r.u32(); chunk != 0; chunk = r.u32()) {
        const Bytes part = r.take(chunk);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

std::string textOf(const Bytes& b, bool wide, int codePage)
{
    if (wide)
        return utf16leToUtf8(b.data(), b.size());
    return codepage::decode(codePage, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

struct TypeInfo {
    uint8_t type = 0;
    uint32_t length = 0;
    int precision = 0;
    int scale = 0;
};

TypeInfo readTypeInfo(ByteReader& r)
{
    TypeInfo t;
    t.type = r.u8();
    switch (t.type) {
        case Int1:
        case Bit:
        case Int2:
        case Int4:
        case DateTime4:
        case Flt4:
        case Money8:
        case DateTime8:
        case Flt8:
        case Money4:
        case Int8:
            break;
        case Guid:
        case IntN:
        case BitN:
        case FltN:
        case MoneyN:
        case DateTimeN:
            t.length = r.u8();
            break;
        case DecimalN:
        case NumericN:
            t.length = r.u8();
            t.precision = r.u8();
            t.scale = r.u8();
            break;
        case BigVarChar:
        case BigChar:
        case NVarChar:
        case NChar:
            t.length = r.u16();
            r.skip(5);  // collation
            break;
        case Text:
        case NText:
            t.length = r.u32();
            r.skip(5);
            break;
        default:
            throw std::invalid_argument("a parameter of TDS type 0x" + std::to_string(t.type));
    }
    return t;
}

ColumnType columnType(const TypeInfo& t, size_t bytes)
{
    switch (t.type) {
        case Int1:
            return {SqlType::TinyInt};
        case Bit:
        case BitN:
            return {SqlType::Bit};
        case Int2:
            return {SqlType::SmallInt};
        case Int4:
            return {SqlType::Int};
        case Int8:
            return {SqlType::BigInt};
        case IntN:
            return {bytes == 1   ? SqlType::TinyInt
                    : bytes == 2 ? SqlType::SmallInt
                    : bytes == 8 ? SqlType::BigInt
                                 : SqlType::Int};
        case Flt4:
            return {SqlType::Real};
        case Flt8:
            return {SqlType::Float};
        case FltN:
            return {t.length == 4 ? SqlType::Real : SqlType::Float};
        case Money4:
            return {SqlType::SmallMoney};
        case Money8:
            return {SqlType::Money};
        case MoneyN:
            return {t.length == 4 ? SqlType::SmallMoney : SqlType::Money};
        case DateTime4:
            return {SqlType::SmallDateTime};
        case DateTime8:
            return {SqlType::DateTime};
        case DateTimeN:
            return {t.length == 4 ? SqlType::SmallDateTime : SqlType::DateTime};
        case DecimalN:
        case NumericN:
            return {t.type == DecimalN ? SqlType::Decimal : SqlType::Numeric, 0, t.precision,
                    t.scale};
        case Guid:
            return {SqlType::UniqueIdentifier};
        case Text:
            return {SqlType::Text};
        case NText:
            return {SqlType::NText};
        case BigVarChar:
        case BigChar:
            return {SqlType::VarChar, t.length == plpLength ? 8000 : static_cast<int>(t.length)};
        default:
            return {SqlType::NVarChar,
                    t.length == plpLength ? 4000 : static_cast<int>(t.length / 2)};
    }
}

Value readValue(ByteReader& r, const TypeInfo& t, int codePage, size_t& bytes)
{
    const bool wide = t.type == NVarChar || t.type == NChar || t.type == NText;
    switch (t.type) {
        case BigVarChar:
        case BigChar:
        case NVarChar:
        case NChar: {
            std::optional<Bytes> b;
            if (t.length == plpLength) {
                b = readPlp(r);
            } else if (const uint16_t n = r.u16(); n != 0xFFFF) {
                b = r.take(n);
            }
            return b ? Value(textOf(*b, wide, codePage)) : std::nullopt;
        }
        case Text:
        case NText: {
            const uint32_t n = r.u32();
            return n == 0xFFFFFFFF ? std::nullopt : Value(textOf(r.take(n), wide, codePage));
        }
        default:
            break;
    }
    size_t n = 0;
    switch (t.type) {
        case Int1:
        case Bit:
            n = 1;
            break;
        case Int2:
            n = 2;
            break;
        case Int4:
        case DateTime4:
        case Flt4:
        case Money4:
            n = 4;
            break;
        case Money8:
        case DateTime8:
        case Flt8:
        case Int8:
            n = 8;
            break;
        default:
            n = r.u8();
    }
    bytes = n;
    if (n == 0)
        return std::nullopt;
    const Bytes b = r.take(n);
    switch (t.type) {
        case Flt4:
        case Flt8:
        case FltN:
            return floatText(b);
        case Money4:
        case Money8:
        case MoneyN:
            return moneyText(b);
        case DateTime4:
        case DateTime8:
        case DateTimeN:
            return dateTimeText(b);
        case Guid:
            return guidText(b);
        case DecimalN:
        case NumericN: {
            return scaledText(b[0] == 0, decimalDigits(Bytes(b.begin() + 1, b.end())), t.scale);
        }
        case Bit:
        case BitN:
            return std::string(b[0] ? "1" : "0");
        default:
            return integerText(b);
    }
}

}  // namespace

std::string rpcName(uint16_t id)
{
    static const char* const names[] = {
        "sp_cursor",         "sp_cursoropen",      "sp_cursorprepare", "sp_cursorexecute",
        "sp_cursorprepexec", "sp_cursorunprepare", "sp_cursorfetch",   "sp_cursoroption",
        "sp_cursorclose",    "sp_executesql",      "sp_prepare",       "sp_execute",
        "sp_prepexec",       "sp_prepexecrpc",     "sp_unprepare"};
    return id >= 1 && id <= 15 ? names[id - 1] : "#" + std::to_string(id);
}

RpcRequest readRpcRequest(ByteReader& r, int codePage)
{
    RpcRequest request;
    const uint16_t length = r.u16();
    if (length == 0xFFFF) {
        request.procedure = rpcName(r.u16());
    } else {
        const Bytes name = r.take(2 * size_t{length});
        request.procedure = utf16leToUtf8(name.data(), name.size());
    }
    r.u16();  // option flags
    while (r.remaining() > 0) {
        const uint8_t next = r.u8();
        if (next == 0x80 || next == 0xFF ||
            next == 0xFE)  // another call follows: the first one runs
            break;
        Parameter p;
        const Bytes name = r.take(2 * size_t{next});
        p.name = utf16leToUtf8(name.data(), name.size());
        p.output = (r.u8() & 0x01) != 0;
        const TypeInfo type = readTypeInfo(r);
        size_t bytes = type.length;
        p.value = readValue(r, type, codePage, bytes);
        p.type = columnType(type, bytes);
        request.parameters.push_back(std::move(p));
    }
    return request;
}

}  // namespace standin::tds
