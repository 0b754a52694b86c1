// Parses a whole batch before anything of it runs, as the server's compiler does.
#pragma once

#include "Ast.h"

#include <string>
#include <vector>

namespace standin {

// Throws SqlError (compile) on a syntax error, a bad type size or an undeclared variable.
std::vector<ast::Located> parseBatch(const std::string& batch);

}  // namespace standin
