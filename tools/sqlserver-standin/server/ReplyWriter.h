// One reply message: whole tokens in, packets of the negotiated size out, with an ear on the
// socket for an attention from the client between packets.
#pragma once

#include "Bytes.h"
#include "PacketStream.h"

namespace standin::tds {

class ReplyWriter {
public:
    ReplyWriter(PacketStream& stream, size_t packetSize, uint32_t version);

    // Queues whole tokens and sends every packet they fill. Once the client has asked for
    // attention, the caller stops producing and calls finish(), which then acknowledges it.
    void add(const Bytes& tokens);
    bool cancelled() const { return cancelled_; }
    // Waits up to ms, returning early when an attention arrives.
    void delay(int ms);
    // Sends what is left with end of message (after the DONE acknowledging an attention, if one came).
    void finish();

private:
    void checkForAttention();

    PacketStream& stream_;
    size_t payloadSize_;
    uint32_t version_;
    Bytes pending_;
    bool cancelled_ = false;
};

// Judges a message that arrived while a reply was being written: true for an attention;
// a closed connection or any other request ends the session.
bool isAttention(const std::optional<IncomingMessage>& message);

}  // namespace standin::tds
