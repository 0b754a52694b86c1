#include "ServerOptions.h"

#include "Collation.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <stdexcept>

namespace standin::tds {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int number(const std::string& option, const std::string& text, int min, int max) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw std::invalid_argument(option + " needs a number from " + std::to_string(min) +
                                    " to " + std::to_string(max) + ", not '" + text + "'");
    return value;
}

// The wire value of a TDS version as LOGINACK carries it.
uint32_t tdsVersion(const std::string& option, const std::string& text) {
    static const std::map<std::string, uint32_t> versions = {
        {"7.1", 0x71000001}, {"7.2", 0x72090002}, {"7.3", 0x730B0003}, {"7.4", 0x74000004}};
    auto it = versions.find(text);
    if (it == versions.end())
        throw std::invalid_argument(option + " needs 7.1, 7.2, 7.3 or 7.4, not '" + text + "'");
    return it->second;
}

void addLogin(ServerOptions& options, const std::string& entry) {
    size_t colon = entry.find(':');
    if (colon == std::string::npos || colon == 0)
        throw std::invalid_argument("a login is user:password, not '" + entry + "'");
    options.logins[lower(entry.substr(0, colon))] = entry.substr(colon + 1);
}

void addLoginsFile(ServerOptions& options, const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::invalid_argument("cannot read the logins file '" + path + "'");
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) addLogin(options, line);
    }
}

// NAME or NAME:COLLATION; a database name may hold colons, a collation name never does.
void addDatabase(ServerOptions& options, const std::string& entry) {
    const size_t colon = entry.rfind(':');
    if (colon == std::string::npos) {
        options.databases.push_back(entry);
        return;
    }
    const std::string name = entry.substr(0, colon);
    const std::string collation = entry.substr(colon + 1);
    if (name.empty() || !findCollation(collation))
        throw std::invalid_argument(
            "--database needs NAME or NAME:COLLATION with a collation the stand-in "
            "knows, not '" +
            entry + "'");
    options.databases.push_back(name);
    options.collations[name] = collation;
}

}  // namespace

const char* const usage =
    "usage: sqlserver-standin [--port N] [--login USER:PASSWORD]... [--logins FILE]\n"
    "       [--database NAME[:COLLATION]]... [--data DIR] [--log FILE] [--close-on TEXT]...\n"
    "       [--close-on-batch N] [--delay MS] [--tds-version V] [--xml-memory-mb N]\n"
    "       [--stop-on-stdin-eof]\n";

std::optional<std::string> ServerOptions::passwordOf(const std::string& user) const {
    auto it = logins.find(lower(user));
    if (it == logins.end()) return std::nullopt;
    return it->second;
}

ServerOptions parseOptions(const std::vector<std::string>& args) {
    ServerOptions options;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& option = args[k];
        if (option == "--stop-on-stdin-eof") {
            options.stopOnStdinEof = true;
            continue;
        }
        if (k + 1 >= args.size())
            throw std::invalid_argument(option.rfind("--", 0) == 0
                                            ? option + " needs a value"
                                            : "unknown argument '" + option + "'");
        const std::string& value = args[++k];
        if (option == "--port")
            options.port = static_cast<uint16_t>(number(option, value, 0, 65535));
        else if (option == "--login")
            addLogin(options, value);
        else if (option == "--logins")
            addLoginsFile(options, value);
        else if (option == "--database")
            addDatabase(options, value);
        else if (option == "--data")
            options.dataDirectory = value;
        else if (option == "--log")
            options.logFile = value;
        else if (option == "--close-on")
            options.closeOn.push_back(value);
        else if (option == "--close-on-batch")
            options.closeOnBatch = number(option, value, 1, 1 << 30);
        else if (option == "--delay")
            options.delayMs = number(option, value, 0, 3600 * 1000);
        else if (option == "--tds-version")
            options.highestTdsVersion = tdsVersion(option, value);
        else if (option == "--xml-memory-mb")
            options.xmlMemoryMb = number(option, value, 1, 1 << 20);
        else
            throw std::invalid_argument("unknown option '" + option + "'");
    }
    return options;
}

}  // namespace standin::tds
