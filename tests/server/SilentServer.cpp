#include "SilentServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace {

// A prelogin reply as SQL Server sends it: version 16.0.1000, no encryption, MARS off.
constexpr std::array<uint8_t, 43> kPreloginReply{
    0x04, 0x01, 0x00, 0x2B, 0x00, 0x35, 0x01, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x06, 0x01, 0x00,
    0x20, 0x00, 0x01, 0x02, 0x00, 0x21, 0x00, 0x01, 0x03, 0x00, 0x22, 0x00, 0x00, 0x04, 0x00,
    0x22, 0x00, 0x01, 0xFF, 0x10, 0x00, 0x03, 0xE8, 0x00, 0x00, 0x02, 0x00, 0x00};

bool ReadExactly(int socket, uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t got = read(socket, data, size);
        if (got <= 0) return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// Reads one packet, whatever it holds.
bool ReadPacket(int socket) {
    std::array<uint8_t, 4096> buffer{};
    if (!ReadExactly(socket, buffer.data(), 8)) return false;
    const size_t length = (size_t{buffer[2]} << 8) | buffer[3];
    return length >= 8 && length <= buffer.size() && ReadExactly(socket, buffer.data(), length - 8);
}

}  // namespace

SilentServer::SilentServer(Answers answers) : answers_(answers) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(listener_, 8);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    server_ = QStringLiteral("127.0.0.1,%1").arg(ntohs(address.sin_port));
    thread_ = std::thread([this] { Serve(); });
}

SilentServer::~SilentServer() {
    shutdown(listener_, SHUT_RDWR);  // ends the waiting accept
    thread_.join();
    close(listener_);
    for (const int client : clients_) close(client);
}

void SilentServer::Serve() {
    for (;;) {
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        clients_.push_back(client);
        if (answers_ == Answers::PreloginOnly && ReadPacket(client)) {
            [[maybe_unused]] const ssize_t written =
                write(client, kPreloginReply.data(), kPreloginReply.size());
        }
    }
}
