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
    if (Hook()) {
        Hook()(target);
        return;
    }
    QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
}

void SetShellHook(ShellHook hook) { Hook() = std::move(hook); }

}  // namespace platform
