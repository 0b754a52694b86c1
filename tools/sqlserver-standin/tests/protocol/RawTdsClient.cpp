#include "RawTdsClient.h"

#include "TextCodec.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace standin::testing {
namespace {

void readExactly(int s, uint8_t* into, size_t size) {
    for (size_t done = 0; done < size;) {
        pollfd p{s, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) throw std::runtime_error("no reply from the server");
        ssize_t n = ::recv(s, into + done, size - done, 0);
        if (n <= 0) throw std::runtime_error("server closed the connection");
        done += static_cast<size_t>(n);
    }
}

}  // namespace

Bytes login7(const Login7Fields& f) {
    Bytes password = tds::utf8ToUtf16le(f.password);
    for (uint8_t& b : password) b = static_cast<uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5);
    const Bytes sspi{'N', 'T', 'L', 'M', 'S', 'S', 'P', 0, 1, 0, 0, 0};
    // Variable fields in header order: host, user, password, app, server, (extension), library,
    // language, database.
    std::vector<Bytes> texts{tds::utf8ToUtf16le("host"),
                             f.integratedSecurity ? Bytes{} : tds::utf8ToUtf16le(f.user),
                             f.integratedSecurity ? Bytes{} : password,
                             tds::utf8ToUtf16le("raw"),
                             tds::utf8ToUtf16le("127.0.0.1"),
                             Bytes{},
                             tds::utf8ToUtf16le("raw-tds"),
                             tds::utf8ToUtf16le("us_english"),
                             tds::utf8ToUtf16le(f.database)};
    tds::ByteWriter head, data;
    uint16_t offset = 94;
    auto field = [&](const Bytes& b, bool countBytes) {
        head.u16(offset);
        head.u16(static_cast<uint16_t>(countBytes ? b.size() : b.size() / 2));
        data.append(b);
        offset = static_cast<uint16_t>(offset + b.size());
    };
    head.u32(0);  // patched below
    head.u32(f.version);
    head.u32(f.packetSize);
    head.u32(7);
    head.u32(4242);
    head.u32(0);
    head.u8(0xE0);
    head.u8(static_cast<uint8_t>(0x03 | (f.integratedSecurity ? 0x80 : 0)));
    head.u8(0);
    head.u8(0);
    head.u32(0);
    head.u32(0x409);
    for (size_t k = 0; k < texts.size(); ++k) field(texts[k], k == 5);
    head.append(Bytes(6, 0));  // client id
    field(f.integratedSecurity ? sspi : Bytes{}, true);
    field(Bytes{}, false);  // attach file
    field(Bytes{}, false);  // new password
    head.u32(0);            // long SSPI length
    Bytes out = head.take();
    out.insert(out.end(), data.bytes().begin(), data.bytes().end());
    for (int k = 0; k < 4; ++k)
        out[static_cast<size_t>(k)] = static_cast<uint8_t>(out.size() >> (8 * k));
    return out;
}

Bytes sqlBatch(const std::string& text) {
    tds::ByteWriter w;
    w.u32(22);
    w.u32(18);
    w.u16(2);
    w.u64(0);
    w.u32(1);
    w.append(tds::utf8ToUtf16le(text));
    return w.take();
}

RawTdsClient::RawTdsClient(uint16_t port) {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect to the stand-in");
}

RawTdsClient::~RawTdsClient() { ::close(socket_); }

void RawTdsClient::send(uint8_t type, const Bytes& payload, uint8_t lastStatus) {
    constexpr size_t chunk = 4096 - 8;
    size_t at = 0;
    do {
        size_t n = std::min(chunk, payload.size() - at);
        bool last = at + n == payload.size();
        size_t length = n + 8;
        Bytes packet{type,
                     static_cast<uint8_t>(last ? lastStatus : 0),
                     static_cast<uint8_t>(length >> 8),
                     static_cast<uint8_t>(length),
                     0,
                     0,
                     1,
                     0};
        packet.insert(packet.end(), payload.begin() + static_cast<std::ptrdiff_t>(at),
                      payload.begin() + static_cast<std::ptrdiff_t>(at + n));
        if (::send(socket_, packet.data(), packet.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(packet.size()))
            throw std::runtime_error("cannot send to the stand-in");
        at += n;
    } while (at < payload.size());
}

RawTdsClient::Reply RawTdsClient::receive() {
    Reply reply;
    for (;;) {
        uint8_t header[8];
        readExactly(socket_, header, 8);
        size_t length = static_cast<size_t>(header[2] << 8 | header[3]);
        size_t at = reply.payload.size();
        reply.payload.resize(at + length - 8);
        readExactly(socket_, reply.payload.data() + at, length - 8);
        reply.packetSizes.push_back(length);
        reply.statuses.push_back(header[1]);
        if (header[1] & 0x01) return reply;
    }
}

RawTdsClient::Reply RawTdsClient::logIn(const Login7Fields& fields) {
    send(0x12, Bytes{0xFF});
    receive();
    send(0x10, login7(fields));
    return receive();
}

bool RawTdsClient::closedByServer() {
    pollfd p{socket_, POLLIN, 0};
    if (::poll(&p, 1, 2000) <= 0) return false;
    uint8_t byte;
    // A server closing with our data unread resets the connection.
    const ssize_t n = ::recv(socket_, &byte, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}

std::pair<uint8_t, uint16_t> finalDone(const Bytes& reply) {
    if (reply.size() < 13) return {0, 0};
    const uint8_t* done = reply.data() + reply.size() - 13;  // TDS 7.2+: 8-byte row count
    return {done[0], static_cast<uint16_t>(done[1] | done[2] << 8)};
}

bool mentions(const Bytes& reply, const std::string& text) {
    Bytes wide = tds::utf8ToUtf16le(text);
    return std::search(reply.begin(), reply.end(), wide.begin(), wide.end()) != reply.end();
}

}  // namespace standin::testing
