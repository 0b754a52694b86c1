// A remote procedure call as the client sends it: the procedure and its typed parameters,
// each value read from its TDS type into the engine's canonical text.
#pragma once

#include "Bytes.h"
#include "Engine.h"

#include <string>
#include <vector>

namespace standin::tds {

struct RpcRequest {
    std::string procedure;  // by name, or the name of a well-known procedure id
    std::vector<Parameter> parameters;
};

// Reads the first call of an RPC message from `r` (positioned after ALL_HEADERS); varchar values
// are in `codePage`, the session's. Throws ProtocolError on a malformed message and
// std::invalid_argument on a type the stand-in lacks.
RpcRequest readRpcRequest(ByteReader& r, int codePage);

// The procedure a well-known id stands for (10 sp_executesql, 13 sp_prepexec, ...).
std::string rpcName(uint16_t id);

}  // namespace standin::tds
