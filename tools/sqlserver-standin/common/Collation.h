// Collations by name: their code page, what COLLATIONPROPERTY reports, and their five bytes on the
// wire.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct Collation {
    std::string name;  // as it was given
    int codePage = 1252;
    uint32_t lcid = 0x409;
    int version = 0;          // 0 for the oldest names, 1 for _90, 2 for _100, 3 for _140
    int comparisonStyle = 0;  // COLLATIONPROPERTY's bit mask
    std::array<uint8_t, 5> wire{};
};

// The server's default, SQL_Latin1_General_CP1_CI_AS.
const Collation& serverCollation();

// A Windows collation (`Turkish_CI_AS`, `Latin1_General_100_CI_AS_SC_UTF8`, `..._BIN2`) or the
// default SQL collation, letter case ignored; nullopt for a name the stand-in does not know.
std::optional<Collation> findCollation(std::string_view name);

}  // namespace standin
