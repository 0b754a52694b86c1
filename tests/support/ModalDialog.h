// Drives a real modal dialog from inside its own event loop.
#pragma once

#include <functional>

class QWidget;

// Runs `open`, which brings up a modal dialog, and calls `inside` with that dialog while it is
// shown. `inside` must close it; a guard closes it after five seconds and fails the test.
void WithModalDialog(const std::function<void()>& open,
                     const std::function<void(QWidget&)>& inside);
