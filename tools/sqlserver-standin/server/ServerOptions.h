// The command line of sqlserver-standin.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace standin::tds {

struct ServerOptions {
    uint16_t port = 1433;                       // 0: any free port, announced on stdout
    std::map<std::string, std::string> logins;  // lower-case user name -> password
    std::vector<std::string> databases;
    std::map<std::string, std::string> collations = {};  // database name -> collation, when given
    std::string dataDirectory;
    std::string logFile;
    std::vector<std::string> closeOn;  // close the connection on a batch containing one of these
    int closeOnBatch = 0;              // close on this batch of each session, 1-based; 0: never
    int delayMs = 0;
    uint32_t highestTdsVersion = 0x74000004;  // LOGINACK names no newer version (7.4)
    bool stopOnStdinEof = false;
    int xmlMemoryMb = 256;  // what open XML documents may take together: an eighth of a 2 GB server

    // The password of a login, user names compared case-insensitively.
    std::optional<std::string> passwordOf(const std::string& user) const;
};

// Throws std::invalid_argument with a message for the user.
ServerOptions parseOptions(const std::vector<std::string>& args);

extern const char* const usage;

}  // namespace standin::tds
