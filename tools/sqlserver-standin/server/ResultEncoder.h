// A result set as COLMETADATA and ROW tokens, each SqlType as the TDS type a SQL Server
// would send for it.
#pragma once

#include "Bytes.h"
#include "Engine.h"

#include <cstdint>

namespace standin::tds {

void writeColumnMetadata(ByteWriter& w, const std::vector<ResultColumn>& columns, uint32_t version);
// Throws std::invalid_argument when a value's text does not fit its column's type.
void writeRow(ByteWriter& w, const std::vector<ResultColumn>& columns, const std::vector<Value>& row);

// RETURNVALUE: an output parameter of a remote procedure call.
void writeReturnValue(ByteWriter& w, const ReturnValue& value, uint32_t version);

}  // namespace standin::tds
