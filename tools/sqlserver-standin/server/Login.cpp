#include "Login.h"

#include "TextCodec.h"

namespace standin::tds {
namespace {

constexpr uint8_t integratedSecurityFlag = 0x80;  // option flags 2

struct Field {
    uint16_t offset;
    uint16_t units;  // UTF-16 code units
};

Field fieldAt(ByteReader& r, size_t at)
{
    r.seek(at);
    Field f;
    f.offset = r.u16();
    f.units = r.u16();
    return f;
}

Bytes fieldBytes(const Bytes& payload, const Field& f)
{
    size_t end = size_t{f.offset} + 2 * size_t{f.units};
    if (end > payload.size())
        throw ProtocolError("LOGIN7 field beyond the end of the message");
    return Bytes(payload.begin() + f.offset, payload.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string fieldText(const Bytes& payload, const Field& f)
{
    Bytes b = fieldBytes(payload, f);
    return utf16leToUtf8(b.data(), b.size());
}

}  // namespace

Bytes preloginReply()
{
    ByteWriter w;
    // {option, offset, length}: VERSION, ENCRYPTION, INSTOPT, THREADID, MARS; data from 26.
    const uint8_t table[][3] = {{0, 26, 6}, {1, 32, 1}, {2, 33, 1}, {3, 34, 0}, {4, 34, 1}};
    for (const auto& option : table) {
        w.u8(option[0]);
        w.u16be(option[1]);
        w.u16be(option[2]);
    }
    w.u8(0xFF);
    w.append(Bytes{16, 0, 0x03, 0xE8, 0, 0});  // 16.0.1000, sub-build 0
    w.u8(0x02);                                // encryption not supported
    w.u8(0x00);                                // instance name accepted
    w.u8(0x00);                                // MARS off
    return w.take();
}

void checkPrelogin(const Bytes& payload)
{
    ByteReader r(payload);
    for (uint8_t option = r.u8(); option != 0xFF; option = r.u8()) {
        uint16_t offset = r.u16be(), length = r.u16be();
        if (size_t{offset} + length > payload.size())
            throw ProtocolError("PRELOGIN option beyond the end of the message");
    }
}

LoginRequest parseLogin7(const Bytes& payload)
{
    ByteReader r(payload);
    LoginRequest login;
    r.seek(4);
    login.version = r.u32();
    login.packetSize = r.u32();
    r.seek(25);
    login.integratedSecurity = (r.u8() & integratedSecurityFlag) != 0;
    login.user = fieldText(payload, fieldAt(r, 40));
    Bytes password = fieldBytes(payload, fieldAt(r, 44));
    login.password = decodePassword(password.data(), password.size());
    login.database = fieldText(payload, fieldAt(r, 68));
    Field sspi = fieldAt(r, 78);  // length in bytes here, not code units
    login.integratedSecurity = login.integratedSecurity || sspi.units != 0;
    return login;
}

std::string decodePassword(const uint8_t* data, size_t size)
{
    Bytes clear(data, data + size);
    for (uint8_t& b : clear) {
        uint8_t x = b ^ 0xA5;
        b = static_cast<uint8_t>((x << 4) | (x >> 4));
    }
    return utf16leToUtf8(clear.data(), clear.size());
}

}  // namespace standin::tds
