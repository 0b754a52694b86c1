#include "Server.h"

#include "Connection.h"
#include "Engine.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <thread>

namespace standin::tds {

const char* const batchLogSeparator = "----- end of batch -----\n";
const char* const serverName = "STANDIN";

BatchLog::BatchLog(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {
    if (!out_) throw std::runtime_error("cannot write the log file '" + path + "'");
}

void BatchLog::write(const std::string& batch) {
    std::lock_guard lock(mutex_);
    out_ << batch << '\n' << batchLogSeparator << std::flush;
}

namespace {

int listenOnLoopback(uint16_t port) {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    int yes = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 || ::listen(s, 64) < 0)
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                                 std::strerror(errno));
    return s;
}

uint16_t boundPort(int s) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// Test equipment must not outlive the test that started it.
void stopWithParent(bool watchStdin) {
    pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) std::_Exit(0);
    if (watchStdin)
        std::thread([] {
            char buffer[256];
            while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0 || errno == EINTR) {
            }
            std::_Exit(0);
        }).detach();
}

[[noreturn]] void acceptForever(int listener, ServerContext& context) {
    std::atomic<uint16_t> nextSessionId{51};
    for (;;) {
        int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno != EINTR && errno != ECONNABORTED)
                std::cerr << "accept: " << std::strerror(errno) << std::endl;
            continue;
        }
        uint16_t id = nextSessionId++;
        std::thread([client, &context, id] {
            serveConnection(client, context, id);
            ::close(client);
        }).detach();
    }
}

}  // namespace

int standinMain(int argc, char** argv) {
    ServerOptions options;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "sqlserver-standin: " << e.what() << '\n' << usage;
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    stopWithParent(options.stopOnStdinEof);
    try {
        std::optional<BatchLog> log;
        if (!options.logFile.empty()) log.emplace(options.logFile);
        Catalog catalog(CatalogOptions{options.databases, options.dataDirectory, options.collations,
                                       static_cast<std::size_t>(options.xmlMemoryMb) << 20});
        ServerContext context{options, catalog, log ? &*log : nullptr};
        int listener = listenOnLoopback(options.port);
        std::cout << "port " << boundPort(listener) << std::endl;
        acceptForever(listener, context);
    } catch (const std::exception& e) {
        std::cerr << "sqlserver-standin: " << e.what() << std::endl;
        return 1;
    }
}

}  // namespace standin::tds
