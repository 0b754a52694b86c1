// The listening side of the stand-in: options, shared state, one thread per session.
#pragma once

#include "ServerOptions.h"

#include <fstream>
#include <mutex>
#include <string>

namespace standin {
class Catalog;
}

namespace standin::tds {

// Every SQL batch received, as decoded, each followed by batchLogSeparator.
class BatchLog {
public:
    explicit BatchLog(const std::string& path);
    void write(const std::string& batch);

private:
    std::mutex mutex_;
    std::ofstream out_;
};

extern const char* const batchLogSeparator;

struct ServerContext {
    const ServerOptions& options;
    Catalog& catalog;
    BatchLog* log = nullptr;  // null without --log
};

extern const char* const serverName;

// Runs the stand-in as its command line asks; returns the process exit code.
int standinMain(int argc, char** argv);

}  // namespace standin::tds
