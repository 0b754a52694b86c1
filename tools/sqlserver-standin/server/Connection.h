// One client connection, from PRELOGIN to end of stream.
#pragma once

#include "Server.h"

#include <cstdint>

namespace standin::tds {

// Serves the session on a connected socket; returns when it ends. Never throws.
void serveConnection(int socket, ServerContext& context, uint16_t sessionId);

}  // namespace standin::tds
