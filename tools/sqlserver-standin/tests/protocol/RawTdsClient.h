// A bare TDS client over a socket, for what the ODBC driver never sends or cannot show:
// integrated-security logins, transaction-manager requests, packet sizes, late attentions.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <string>

namespace standin::testing {

using tds::Bytes;

struct Login7Fields {
    std::string user = "sa";
    std::string password = "Secret-1";
    std::string database;
    uint32_t version = 0x74000004;
    uint32_t packetSize = 4096;
    bool integratedSecurity = false;  // sets the flag and sends SSPI bytes instead of a password
};

Bytes login7(const Login7Fields& fields);
// A SQL batch payload: ALL_HEADERS (TDS 7.2+) and the UTF-16LE text.
Bytes sqlBatch(const std::string& text);

class RawTdsClient {
public:
    explicit RawTdsClient(uint16_t port);
    ~RawTdsClient();
    RawTdsClient(const RawTdsClient&) = delete;
    RawTdsClient& operator=(const RawTdsClient&) = delete;

    void send(uint8_t type, const Bytes& payload, uint8_t lastStatus = 0x01);
    // One reply message: its payload, and the sizes and statuses of its packets.
    struct Reply {
        Bytes payload;
        std::vector<size_t> packetSizes;
        std::vector<uint8_t> statuses;
    };
    Reply receive();
    // PRELOGIN and LOGIN7; returns the login reply.
    Reply logIn(const Login7Fields& fields = {});
    // Whether the server closed the connection (waits up to two seconds).
    bool closedByServer();

private:
    int socket_ = -1;
};

// The DONE-family token that ends a reply: token, status.
std::pair<uint8_t, uint16_t> finalDone(const Bytes& reply);
// Whether the reply holds this UTF-8 text (as UTF-16LE).
bool mentions(const Bytes& reply, const std::string& text);

}  // namespace standin::testing
