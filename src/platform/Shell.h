// Hands a web address or a "mailto:" address to the user's default programs.
#pragma once

#include <functional>

#include <QString>

namespace platform {

// Opens the target with the "open" verb; a failure is ignored, as there is nobody to tell.
void ShellOpen(const QString& target);

// The hook answers whether the hand-over succeeded.
using ShellHook = std::function<bool(const QString& target)>;
void SetShellHook(ShellHook hook);

}  // namespace platform
