// A client's attention reaches the statement running for it: long loops ask check() and stop.
#pragma once

#include <atomic>
#include <stdexcept>

namespace standin::cancel {

// The running batch was stopped at the client's request.
struct Cancelled : std::runtime_error {
    Cancelled() : std::runtime_error("cancelled") {}
};

// Watches `flag` (may be null) for the calling thread while the scope lives.
class Scope {
public:
    explicit Scope(const std::atomic<bool>* flag);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    const std::atomic<bool>* previous_;
};

bool requested();
// Throws Cancelled once the flag is set.
void check();

}  // namespace standin::cancel
