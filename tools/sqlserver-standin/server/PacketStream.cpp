#include "PacketStream.h"

#include <poll.h>
#include <sys/socket.h>
#include <cerrno>
#include <cstring>

namespace standin::tds {
namespace {

[[noreturn]] void socketFailed(const char* what) {
    throw ConnectionClosed(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

bool PacketStream::readExactly(uint8_t* into, size_t size, bool atBoundary) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::recv(socket_, into + done, size - done, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) socketFailed("read");
        if (n == 0) {
            if (atBoundary && done == 0) return false;
            throw ConnectionClosed("connection closed inside a packet");
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::optional<IncomingMessage> PacketStream::readMessage() {
    IncomingMessage message;
    size_t received = 0;
    for (bool first = true;; first = false) {
        uint8_t header[packet::headerSize];
        if (!readExactly(header, sizeof header, first)) return std::nullopt;
        size_t length = static_cast<size_t>(header[2] << 8 | header[3]);
        if (length < packet::headerSize) throw ProtocolError("packet length below the header size");
        if (!first && header[0] == packet::attention) {
            // A client may ask for an attention between any two packets of a request it is
            // still sending: the request is read to its end and answered by the attention.
            message.attention = true;
            Bytes ignored(length - packet::headerSize);
            readExactly(ignored.data(), ignored.size(), false);
            continue;
        }
        if (first)
            message.type = header[0];
        else if (header[0] != message.type)
            throw ProtocolError("packet type changed inside a message");
        message.status = header[1];
        received += length;
        if (received > messageLimit_)
            throw ProtocolError("message larger than " + std::to_string(messageLimit_) + " bytes");
        size_t at = message.payload.size();
        message.payload.resize(at + length - packet::headerSize);
        readExactly(message.payload.data() + at, length - packet::headerSize, false);
        if (message.status & packet::endOfMessage) return message;
    }
}

bool PacketStream::inputWaiting(int timeoutMs) {
    pollfd p{socket_, POLLIN, 0};
    for (;;) {
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) socketFailed("poll");
        return n > 0;
    }
}

void PacketStream::sendPacket(uint8_t status, const uint8_t* data, size_t size) {
    Bytes out;
    out.reserve(packet::headerSize + size);
    size_t length = packet::headerSize + size;
    out = {packet::reply,
           status,
           static_cast<uint8_t>(length >> 8),
           static_cast<uint8_t>(length),
           static_cast<uint8_t>(sessionId_ >> 8),
           static_cast<uint8_t>(sessionId_),
           packetNumber_++,
           0};
    out.insert(out.end(), data, data + size);
    size_t sent = 0;
    while (sent < out.size()) {
        ssize_t n = ::send(socket_, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) socketFailed("write");
        sent += static_cast<size_t>(n);
    }
}

}  // namespace standin::tds
