#include "XmlMemory.h"

#include "Text.h"

#include <utility>

namespace standin {

XmlMemory::Share::Share(Share&& other) noexcept
    : pool_(std::exchange(other.pool_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

XmlMemory::Share& XmlMemory::Share::operator=(Share&& other) noexcept {
    std::swap(pool_, other.pool_);
    std::swap(bytes_, other.bytes_);
    return *this;
}

XmlMemory::Share::~Share() {
    if (pool_) pool_->give(bytes_);
}

void XmlMemory::limit(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    limit_ = bytes;
}

std::optional<XmlMemory::Share> XmlMemory::take(const std::string& utf8) {
    const std::size_t bytes = text::utf16Length(utf8) * kBytesPerCharacter;
    std::lock_guard lock(mutex_);
    if (bytes > limit_ - used_) return std::nullopt;
    used_ += bytes;
    return Share(this, bytes);
}

void XmlMemory::give(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    used_ -= bytes;
}

}  // namespace standin
