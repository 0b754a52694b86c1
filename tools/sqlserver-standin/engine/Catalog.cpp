#include "CatalogImpl.h"
#include "Text.h"

#include <libxml/parser.h>

#include <filesystem>
#include <stdexcept>

namespace standin {
namespace {

// A database's file name: its name with anything a path could trip over replaced.
std::string fileName(const std::string& directory, const std::string& name) {
    std::string safe;
    for (char c : name)
        safe += (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' ||
                 static_cast<unsigned char>(c) >= 0x80)
                    ? c
                    : '_';
    return (std::filesystem::path(directory) / (safe + ".sqlite")).string();
}

Collation collationFor(const CatalogOptions& options, const std::string& database) {
    const auto named = options.collations.find(database);
    if (named == options.collations.end()) return serverCollation();
    if (auto c = findCollation(named->second)) return *c;
    throw std::invalid_argument("unknown collation '" + named->second + "'");
}

}  // namespace

Database* Catalog::Impl::find(const std::string& name) const {
    for (const auto& d : databases)
        if (text::equalNoCase(d->name(), name)) return d.get();
    return nullptr;
}

Catalog::Catalog(const CatalogOptions& options) : impl_(std::make_unique<Impl>()) {
    xmlInitParser();
    impl_->xmlMemory.limit(options.xmlMemoryBytes);
    if (!options.dataDirectory.empty()) std::filesystem::create_directories(options.dataDirectory);
    std::vector<std::string> names = {"master", "model", "msdb", "tempdb"};
    names.insert(names.end(), options.userDatabases.begin(), options.userDatabases.end());
    for (const std::string& name : names) {
        if (impl_->find(name)) continue;
        const std::string file =
            options.dataDirectory.empty() ? std::string() : fileName(options.dataDirectory, name);
        impl_->databases.push_back(
            std::make_unique<Database>(name, file, collationFor(options, name)));
    }
}

Catalog::~Catalog() = default;

std::optional<std::string> Catalog::findDatabase(const std::string& name) const {
    if (const Database* d = impl_->find(name)) return d->name();
    return std::nullopt;
}

}  // namespace standin
