// The memory the server's XML parser may use, shared by the documents every session holds open.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

namespace standin {

class XmlMemory {
public:
    // What a parsed document is taken to cost per character of its text: MSXML's DOM keeps the
    // text in UTF-16 (2 bytes) plus its nodes, estimated at 6 bytes a character more.
    static constexpr std::size_t kBytesPerCharacter = 8;

    // A part of the memory, given back when it is destroyed.
    class Share {
    public:
        Share() = default;
        Share(XmlMemory* pool, std::size_t bytes) : pool_(pool), bytes_(bytes) {}
        Share(Share&& other) noexcept;
        Share& operator=(Share&& other) noexcept;
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        ~Share();

    private:
        XmlMemory* pool_ = nullptr;
        std::size_t bytes_ = 0;
    };

    void limit(std::size_t bytes);
    // The share a document of this text needs; nullopt when it would pass the limit.
    std::optional<Share> take(const std::string& utf8);

private:
    void give(std::size_t bytes);

    std::mutex mutex_;
    std::size_t limit_ = 0;
    std::size_t used_ = 0;
};

}  // namespace standin
