// The catalog's inside, shared by the sessions: the databases, fixed after start-up.
#pragma once

#include "Database.h"
#include "Engine.h"
#include "XmlMemory.h"

#include <memory>
#include <vector>

namespace standin {

struct Catalog::Impl {
    std::vector<std::unique_ptr<Database>> databases;
    XmlMemory xmlMemory;
    Database* find(const std::string& name) const;
};

}  // namespace standin
