#include "ResultEncoder.h"

#include "TextCodec.h"
#include "Tokens.h"
#include "WireValues.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace standin::tds {
namespace {

enum WireType : uint8_t {
    GuidType = 0x24,
    IntN = 0x26,
    BitN = 0x68,
    DecimalN = 0x6A,
    NumericN = 0x6C,
    FloatN = 0x6D,
    MoneyN = 0x6E,
    DateTimeN = 0x6F,
    BigVarChar = 0xA7,
    BigBinary = 0xAD,
    BigChar = 0xAF,
    NVarChar = 0xE7,
    NChar = 0xEF,
    TextType = 0x23,
    NTextType = 0x63,
};

constexpr int maxCharBytes = 8000;
constexpr uint16_t nullLength = 0xFFFF;

// How one column travels: its wire type and the fixed or maximum byte length.
struct Wire {
    WireType type;
    int length;  // bytes: fixed size for the N types, maximum for strings
    int precision = 0;
    int scale = 0;
    const Collation* collation = &serverCollation();  // the string types'
};

int decimalBytes(int precision) {
    return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17;
}

// Declared lengths beyond the largest non-max string mean a max type; a SQL Server of
// TDS 7.1 would send those as text / ntext, and so do we for every version.
Wire stringWire(const ColumnType& t, bool wide, bool fixed) {
    int unit = wide ? 2 : 1;
    int chars = t.length > 0 ? t.length : fixed ? 1 : maxCharBytes / unit;
    if (chars > maxCharBytes / unit) return {wide ? NTextType : TextType, 0};
    WireType type = wide ? (fixed ? NChar : NVarChar) : (fixed ? BigChar : BigVarChar);
    return {type, chars * unit};
}

Wire wireOf(const ColumnType& t) {
    switch (t.type) {
        case SqlType::TinyInt:
            return {IntN, 1};
        case SqlType::SmallInt:
            return {IntN, 2};
        case SqlType::Int:
            return {IntN, 4};
        case SqlType::BigInt:
            return {IntN, 8};
        case SqlType::Bit:
            return {BitN, 1};
        case SqlType::Real:
            return {FloatN, 4};
        case SqlType::Float:
            return {FloatN, 8};
        case SqlType::Decimal:
        case SqlType::Numeric: {
            int precision = std::clamp(t.precision > 0 ? t.precision : 18, 1, 38);
            int scale = std::clamp(t.scale, 0, precision);
            return {t.type == SqlType::Decimal ? DecimalN : NumericN, decimalBytes(precision),
                    precision, scale};
        }
        case SqlType::Money:
            return {MoneyN, 8};
        case SqlType::SmallMoney:
            return {MoneyN, 4};
        case SqlType::DateTime:
            return {DateTimeN, 8};
        case SqlType::SmallDateTime:
            return {DateTimeN, 4};
        case SqlType::Char:
            return stringWire(t, false, true);
        case SqlType::VarChar:
            return stringWire(t, false, false);
        case SqlType::NChar:
            return stringWire(t, true, true);
        case SqlType::NVarChar:
            return stringWire(t, true, false);
        case SqlType::Text:
            return {TextType, 0};
        case SqlType::NText:
            return {NTextType, 0};
        case SqlType::UniqueIdentifier:
            return {GuidType, 16};
        case SqlType::SqlVariant:
            return {NVarChar, maxCharBytes};  // its value as text
        case SqlType::Timestamp:
            return {BigBinary, 8};
    }
    throw std::invalid_argument("unknown column type");
}

Wire wireOf(const ResultColumn& c) {
    Wire wire = wireOf(c.type);
    if (c.collation) wire.collation = &*c.collation;
    return wire;
}

bool isBlob(WireType t) { return t == TextType || t == NTextType; }
bool isWideString(WireType t) { return t == NVarChar || t == NChar || t == NTextType; }
bool isString(WireType t) {
    return isWideString(t) || t == BigVarChar || t == BigChar || t == TextType;
}

void writeTypeInfo(ByteWriter& w, const Wire& wire, uint32_t version) {
    w.u8(wire.type);
    if (isBlob(wire.type)) {
        w.u32(wire.type == TextType ? 0x7FFFFFFF : 0x7FFFFFFE);
    } else if (isString(wire.type) || wire.type == BigBinary) {
        w.u16(static_cast<uint16_t>(wire.length));
    } else {
        w.u8(static_cast<uint8_t>(wire.length));
    }
    if (wire.type == DecimalN || wire.type == NumericN) {
        w.u8(static_cast<uint8_t>(wire.precision));
        w.u8(static_cast<uint8_t>(wire.scale));
    }
    if (isString(wire.type))
        for (uint8_t b : wire.collation->wire) w.u8(b);
    if (isBlob(wire.type)) {  // no table name
        if (hasWideCounts(version))
            w.u8(0);
        else
            w.u16(0);
    }
}

Bytes stringBytes(const Wire& wire, const std::string& text) {
    Bytes bytes;
    if (isWideString(wire.type)) {
        bytes = utf8ToUtf16le(text);
    } else {
        std::string narrow = utf8ToCodePage(text, wire.collation->codePage);
        bytes.assign(narrow.begin(), narrow.end());
    }
    if (!isBlob(wire.type) && bytes.size() > static_cast<size_t>(wire.length))
        bytes.resize(static_cast<size_t>(wire.length));
    return bytes;
}

void writeLittle(ByteWriter& w, uint64_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) w.u8(static_cast<uint8_t>(v >> (8 * k)));
}

void writeFixed(ByteWriter& w, const Wire& wire, const std::string& text) {
    w.u8(static_cast<uint8_t>(wire.length));
    switch (wire.type) {
        case IntN:
            writeLittle(w, static_cast<uint64_t>(parseInteger(text)), wire.length);
            break;
        case BitN:
            w.u8(parseInteger(text) != 0);
            break;
        case FloatN:
            if (wire.length == 4) {
                float f = static_cast<float>(parseFloat(text));
                uint32_t bits;
                std::memcpy(&bits, &f, 4);
                w.u32(bits);
            } else {
                double d = parseFloat(text);
                uint64_t bits;
                std::memcpy(&bits, &d, 8);
                w.u64(bits);
            }
            break;
        case DecimalN:
        case NumericN: {
            ScaledNumber n = parseScaled(text, wire.scale, static_cast<size_t>(wire.length - 1));
            w.u8(n.negative ? 0 : 1);
            w.append(n.magnitude);
            break;
        }
        case MoneyN: {
            uint64_t v = static_cast<uint64_t>(parseMoney(text));
            if (wire.length == 8) {  // high half first
                w.u32(static_cast<uint32_t>(v >> 32));
                w.u32(static_cast<uint32_t>(v));
            } else {
                w.u32(static_cast<uint32_t>(v));
            }
            break;
        }
        case DateTimeN: {
            DateTimeParts parts = parseDateTime(text);
            if (wire.length == 8) {
                w.u32(static_cast<uint32_t>(parts.days));
                w.u32(parts.ticks);
            } else {
                w.u16(static_cast<uint16_t>(parts.days));
                w.u16(parts.minutes);
            }
            break;
        }
        case GuidType:
            w.append(parseGuid(text));
            break;
        default:
            throw std::invalid_argument("not a fixed-length type");
    }
}

void writeValue(ByteWriter& w, const Wire& wire, const Value& value) {
    if (isBlob(wire.type)) {
        if (!value) return w.u8(0);
        w.u8(16);
        w.append(Bytes(16, 0xEE));  // text pointer: any 16 bytes
        w.append(Bytes(8, 0));      // timestamp
        Bytes bytes = stringBytes(wire, *value);
        w.u32(static_cast<uint32_t>(bytes.size()));
        return w.append(bytes);
    }
    if (isString(wire.type) || wire.type == BigBinary) {
        if (!value) return w.u16(nullLength);
        Bytes bytes = wire.type == BigBinary ? parseHex(*value) : stringBytes(wire, *value);
        if (wire.type == BigBinary && bytes.size() != 8)
            throw std::invalid_argument("a timestamp is 8 bytes: '" + *value + "'");
        w.u16(static_cast<uint16_t>(bytes.size()));
        return w.append(bytes);
    }
    if (!value) return w.u8(0);
    writeFixed(w, wire, *value);
}

}  // namespace

void writeColumnMetadata(ByteWriter& w, const std::vector<ResultColumn>& columns,
                         uint32_t version) {
    w.u8(0x81);
    w.u16(static_cast<uint16_t>(columns.size()));
    for (const ResultColumn& c : columns) {
        if (hasWideCounts(version))
            w.u32(0);
        else
            w.u16(0);
        w.u16(c.nullable ? 0x0001 : 0x0000);
        writeTypeInfo(w, wireOf(c), version);
        w.bVarchar(c.name);
    }
}

void writeReturnValue(ByteWriter& w, const ReturnValue& value, uint32_t version) {
    w.u8(0xAC);
    w.u16(value.ordinal);
    w.bVarchar(value.name);
    w.u8(0x01);  // an output parameter
    if (hasWideCounts(version))
        w.u32(0);
    else
        w.u16(0);
    w.u16(0x0001);  // nullable
    const Wire wire = wireOf(value.type);
    writeTypeInfo(w, wire, version);
    writeValue(w, wire, value.value);
}

void writeRow(ByteWriter& w, const std::vector<ResultColumn>& columns,
              const std::vector<Value>& row) {
    if (row.size() != columns.size())
        throw std::invalid_argument("a row has " + std::to_string(row.size()) + " values for " +
                                    std::to_string(columns.size()) + " columns");
    w.u8(0xD1);
    for (size_t k = 0; k < columns.size(); ++k) writeValue(w, wireOf(columns[k]), row[k]);
}

}  // namespace standin::tds
