#include "Cancel.h"

namespace standin::cancel {
namespace {

thread_local const std::atomic<bool>* watched = nullptr;

}  // namespace

Scope::Scope(const std::atomic<bool>* flag) : previous_(watched) { watched = flag; }

Scope::~Scope() { watched = previous_; }

bool requested() { return watched && watched->load(std::memory_order_relaxed); }

void check() {
    if (requested()) throw Cancelled();
}

}  // namespace standin::cancel
