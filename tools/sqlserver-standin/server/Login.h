// The two messages that open a session: PRELOGIN and LOGIN7.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <string>

namespace standin::tds {

// Version 16.0.1000, encryption not supported, so the client logs in without TLS.
Bytes preloginReply();
// Checks that a PRELOGIN's option table stays inside the message.
void checkPrelogin(const Bytes& payload);

struct LoginRequest {
    uint32_t version = 0;
    uint32_t packetSize = 0;
    std::string user;
    std::string password;
    std::string database;  // empty: the login's default
    bool integratedSecurity = false;
};

LoginRequest parseLogin7(const Bytes& payload);

// LOGIN7 passwords travel with each byte's nibbles swapped and XORed with 0xA5.
std::string decodePassword(const uint8_t* data, size_t size);

}  // namespace standin::tds
