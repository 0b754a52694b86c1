// TDS packets over one connected socket: messages in, packets out.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace standin::tds {

namespace packet {
constexpr uint8_t sqlBatch = 0x01;
constexpr uint8_t rpc = 0x03;
constexpr uint8_t reply = 0x04;
constexpr uint8_t attention = 0x06;
constexpr uint8_t transactionManager = 0x0E;
constexpr uint8_t login7 = 0x10;
constexpr uint8_t prelogin = 0x12;

constexpr uint8_t endOfMessage = 0x01;
constexpr uint8_t ignore = 0x02;
constexpr size_t headerSize = 8;
}  // namespace packet

// The peer went away, or the socket failed: the session is over.
struct ConnectionClosed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct IncomingMessage {
    uint8_t type = 0;
    uint8_t status = 0;  // of the last packet
    Bytes payload;
    bool attention = false;  // an attention came between its packets
};

class PacketStream {
public:
    // The server takes messages of up to 65,536 packets; before login a packet holds 4096 bytes.
    static constexpr size_t packetsPerMessage = 65536;
    static constexpr size_t defaultMessageLimit = packetsPerMessage * 4096;

    explicit PacketStream(int socket) : socket_(socket) {}

    // The next whole message; nullopt when the peer closed the connection between messages.
    std::optional<IncomingMessage> readMessage();
    // Whether input arrives within timeoutMs (0: just look).
    bool inputWaiting(int timeoutMs);
    void sendPacket(uint8_t status, const uint8_t* data, size_t size);

    void setSessionId(uint16_t id) { sessionId_ = id; }
    // The largest message taken, packet headers included; a larger one is a ProtocolError.
    void setMessageLimit(size_t bytes) { messageLimit_ = bytes; }
    int socket() const { return socket_; }

private:
    bool readExactly(uint8_t* into, size_t size, bool atBoundary);

    int socket_;
    uint16_t sessionId_ = 0;
    uint8_t packetNumber_ = 1;
    size_t messageLimit_ = defaultMessageLimit;
};

}  // namespace standin::tds
