// While the engine works on a request, an ear on the socket: input from the client (its
// attention, or the end of the connection) raises the flag the engine checks. The input itself
// stays unread, for the reply writer to judge.
#pragma once

#include <atomic>
#include <thread>

namespace standin::tds {

class AttentionWatch {
public:
    explicit AttentionWatch(int socket);
    ~AttentionWatch();
    AttentionWatch(const AttentionWatch&) = delete;
    AttentionWatch& operator=(const AttentionWatch&) = delete;

    const std::atomic<bool>* flag() const { return &raised_; }

private:
    void watch(int socket);

    std::atomic<bool> raised_{false};
    int wake_[2] = {-1, -1};  // written to when the watch ends
    std::thread thread_;
};

}  // namespace standin::tds
