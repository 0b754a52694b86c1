#include "StandinProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace standin::testing {
namespace {

constexpr int startTimeoutMs = 10000;

// Reads the first line of the child's stdout, "port N".
std::string firstLine(int fd)
{
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(startTimeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("sqlserver-standin did not announce its port");
        char buffer[128];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            throw std::runtime_error("sqlserver-standin ended before announcing its port");
        line.append(buffer, static_cast<size_t>(n));
    }
    return line.substr(0, line.find('\n'));
}

}  // namespace

StandinProcess::StandinProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    args.insert(args.end(), {"--port", "0", "--stop-on-stdin-eof"});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    stdinPipe_ = in[1];
    try {
        std::string line = firstLine(out[0]);
        ::close(out[0]);
        if (line.rfind("port ", 0) != 0)
            throw std::runtime_error("sqlserver-standin said '" + line + "' instead of its port");
        port_ = static_cast<uint16_t>(std::stoi(line.substr(5)));
    } catch (...) {
        ::close(out[0]);
        stop();
        throw;
    }
}

StandinProcess::~StandinProcess()
{
    stop();
}

bool StandinProcess::running()
{
    if (pid_ <= 0)
        return false;
    if (::waitpid(pid_, nullptr, WNOHANG) == 0)
        return true;
    pid_ = -1;
    return false;
}

void StandinProcess::stop()
{
    if (stdinPipe_ >= 0) {
        ::close(stdinPipe_);
        stdinPipe_ = -1;
    }
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    for (int k = 0; k < 500 && running(); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

}  // namespace standin::testing
