// Starts sqlserver-standin (or any build of it) as a child process for a test, on a free
// loopback port, and ends it when the object goes. The child also ends by itself when this
// process ends: it watches its stdin, a pipe only this object holds.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace standin::testing {

class StandinProcess {
public:
    // program: path of the executable; arguments: options such as {"--login", "sa:pw",
    // "--log", path}. "--port 0 --stop-on-stdin-eof" are added. Throws std::runtime_error
    // when the server does not announce its port within a few seconds.
    StandinProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~StandinProcess();
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    uint16_t port() const { return port_; }
    pid_t pid() const { return pid_; }
    // Whether the child is still running (reaps it if not).
    bool running();
    // Terminates the child and waits for it; called by the destructor.
    void stop();

private:
    pid_t pid_ = -1;
    int stdinPipe_ = -1;
    uint16_t port_ = 0;
};

}  // namespace standin::testing
