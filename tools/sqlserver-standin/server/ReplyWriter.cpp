#include "ReplyWriter.h"

#include "Tokens.h"

#include <chrono>

namespace standin::tds {

bool isAttention(const std::optional<IncomingMessage>& message)
{
    if (!message)
        throw ConnectionClosed("client went away during a reply");
    if (message->type != packet::attention)
        throw ProtocolError("client sent a request before the reply ended");
    return true;
}

ReplyWriter::ReplyWriter(PacketStream& stream, size_t packetSize, uint32_t version)
    : stream_(stream), payloadSize_(packetSize - packet::headerSize), version_(version)
{
}

void ReplyWriter::checkForAttention()
{
    if (!cancelled_ && stream_.inputWaiting(0))
        cancelled_ = isAttention(stream_.readMessage());
}

void ReplyWriter::add(const Bytes& tokens)
{
    pending_.insert(pending_.end(), tokens.begin(), tokens.end());
    size_t sent = 0;
    // Keep at least one byte back so that finish() always has a last packet to mark.
    while (!cancelled_ && pending_.size() - sent > payloadSize_) {
        checkForAttention();
        stream_.sendPacket(0, pending_.data() + sent, payloadSize_);
        sent += payloadSize_;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void ReplyWriter::delay(int ms)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cancelled_) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        if (stream_.inputWaiting(static_cast<int>(left.count())))
            checkForAttention();
    }
}

void ReplyWriter::finish()
{
    checkForAttention();
    if (cancelled_) {
        // pending_ ends on a token boundary, so the acknowledgement stays readable.
        ByteWriter w;
        writeDone(w, DoneToken::Done, done::attention, 0, 0, version_);
        pending_.insert(pending_.end(), w.bytes().begin(), w.bytes().end());
    }
    size_t sent = 0;
    while (pending_.size() - sent > payloadSize_) {
        stream_.sendPacket(0, pending_.data() + sent, payloadSize_);
        sent += payloadSize_;
    }
    stream_.sendPacket(packet::endOfMessage, pending_.data() + sent, pending_.size() - sent);
    pending_.clear();
}

}  // namespace standin::tds
