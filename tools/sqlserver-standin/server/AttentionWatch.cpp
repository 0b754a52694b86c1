#include "AttentionWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace standin::tds {

AttentionWatch::AttentionWatch(int socket) {
    if (::pipe2(wake_, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    thread_ = std::thread(&AttentionWatch::watch, this, socket);
}

AttentionWatch::~AttentionWatch() {
    const char stop = 0;
    while (::write(wake_[1], &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
}

void AttentionWatch::watch(int socket) {
    pollfd fds[2] = {{socket, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    int n = 0;
    do {
        n = ::poll(fds, 2, -1);
    } while (n < 0 && errno == EINTR);
    if (n > 0 && fds[0].revents != 0) raised_ = true;
}

}  // namespace standin::tds
