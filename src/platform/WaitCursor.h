// Shows the wait cursor while a blocking call runs; restored however the scope is left.
#pragma once

namespace platform {

class WaitCursor final {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace platform
