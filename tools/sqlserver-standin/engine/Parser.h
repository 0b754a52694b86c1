// Parses a whole batch before anything of it runs, as the server's compiler does.
#pragma once

#include "Ast.h"

#include <string>
#include <vector>

namespace standin {

// Throws SqlError (compile) on a syntax error, a bad type size or an undeclared variable.
// `declared` names variables that exist before the batch (the parameters of a remote call).
std::vector<ast::Located> parseBatch(const std::string& batch,
                                     const std::vector<std::string>& declared = {});

// One expression alone (a column's stored default), and its text back.
ast::Expr parseExpression(const std::string& text);
std::string sourceOf(const ast::Expr& e);

}  // namespace standin
