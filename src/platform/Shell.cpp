#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {
namespace {
ShellHook& Hook() {
    static ShellHook hook;
    return hook;
}
}  // namespace

void ShellOpen(const QString& target) {
    const bool opened =
        Hook() ? Hook()(target) : QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
    Q_UNUSED(opened);  // nothing to tell the user: the link simply does not open
}

void SetShellHook(ShellHook hook) { Hook() = std::move(hook); }

}  // namespace platform
