// A stand-in for the statement engine, so that the protocol is tested on its own. Each line
// of a batch is one statement of a tiny command language:
//   select 1                      one int column, one row
//   value TYPE[(A[,B])] TEXT|NULL one column of that type holding TEXT (rest of the line)
//   error NUMBER TEXT             an error of severity 16; info NUMBER TEXT: severity 10
//   use NAME                      change database (911 when missing)
//   rows N                        N rows of (n int, text nvarchar(60))
//   length                        the batch's length in UTF-8 bytes, as bigint
//   sleep MS                      wait, then as select 1
//   proc STATUS                   a return status and DONEPROC
//   count N                       no result, row count N
//   set ...                       accepted, no result
#include "Engine.h"
#include "Types.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>
#include <thread>

namespace standin {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string trimmed(const std::string& s) {
    size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

ResultSet single(const std::string& name, ColumnType type, Value value) {
    ResultSet r;
    r.columns.push_back({name, type, true});
    r.rows.push_back({std::move(value)});
    return r;
}

ColumnType parseType(const std::string& declared) {
    size_t paren = declared.find('(');
    ColumnType t;
    t.type = types::byName(declared.substr(0, paren)).value();
    if (paren != std::string::npos) {
        int a = 0, b = 0;
        char comma = 0;
        std::istringstream args(declared.substr(paren + 1));
        args >> a >> comma >> b;
        bool numeric = t.type == SqlType::Decimal || t.type == SqlType::Numeric;
        (numeric ? t.precision : t.length) = a;
        if (numeric && comma == ',') t.scale = b;
    }
    return t;
}

}  // namespace

struct Catalog::Impl {
    std::vector<std::string> databases{"master", "model", "msdb", "tempdb"};
};

Catalog::Catalog(const CatalogOptions& options) : impl_(std::make_unique<Impl>()) {
    impl_->databases.insert(impl_->databases.end(), options.userDatabases.begin(),
                            options.userDatabases.end());
}

Catalog::~Catalog() = default;

std::optional<std::string> Catalog::findDatabase(const std::string& name) const {
    for (const std::string& d : impl_->databases)
        if (lower(d) == lower(name)) return d;
    return std::nullopt;
}

struct Session::Impl {
    Catalog& catalog;
    std::string database;

    StatementReply run(const std::string& line, const std::string& batch);
};

StatementReply Session::Impl::run(const std::string& line, const std::string& batch) {
    std::istringstream in(line);
    std::string verb, rest;
    in >> verb;
    std::getline(in >> std::ws, rest);
    verb = lower(verb);
    StatementReply reply;
    ColumnType intType{SqlType::Int};
    if (verb == "select" && rest == "1") {
        reply.events.push_back(single("", intType, "1"));
    } else if (verb == "value") {
        size_t space = rest.find(' ');
        std::string text = space == std::string::npos ? "" : rest.substr(space + 1);
        reply.events.push_back(
            single("v", parseType(rest.substr(0, space)), text == "NULL" ? Value() : Value(text)));
    } else if (verb == "error" || verb == "info") {
        size_t space = rest.find(' ');
        reply.events.push_back(makeMessage(std::stoi(rest.substr(0, space)),
                                           verb == "error" ? 16 : 10, rest.substr(space + 1)));
        reply.error = verb == "error";
    } else if (verb == "use") {
        std::optional<std::string> found = catalog.findDatabase(rest);
        if (!found) {
            reply.events.push_back(
                makeMessage(911, 16,
                            "Database '" + rest +
                                "' does not exist. Make sure that the name is entered correctly."));
            reply.error = true;
        } else {
            reply.events.push_back(DatabaseChanged{*found, database});
            Message changed = makeMessage(5701, 0, "Changed database context to '" + *found + "'.");
            changed.state = 1;
            reply.events.push_back(changed);
            database = *found;
        }
    } else if (verb == "rows") {
        ResultSet r;
        r.columns = {{"n", intType, false}, {"text", {SqlType::NVarChar, 60}, true}};
        for (int k = 1; k <= std::stoi(rest); ++k)
            r.rows.push_back({std::to_string(k), "row " + std::to_string(k) + " of a long reply"});
        reply.events.push_back(r);
        reply.rowCount = r.rows.size();
    } else if (verb == "length") {
        reply.events.push_back(single("length", {SqlType::BigInt}, std::to_string(batch.size())));
    } else if (verb == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(rest)));
        reply.events.push_back(single("", intType, "1"));
    } else if (verb == "proc") {
        reply.events.push_back(ReturnStatus{std::stoi(rest)});
        reply.procedure = true;
    } else if (verb == "count") {
        reply.rowCount = std::stoull(rest);
    } else if (verb != "set") {
        reply.events.push_back(makeMessage(102, 15, "Incorrect syntax near '" + verb + "'."));
        reply.error = true;
    }
    return reply;
}

Session::Session(Catalog& catalog, std::string database)
    : impl_(std::make_unique<Impl>(Impl{catalog, std::move(database)})) {}

Session::~Session() = default;

const std::string& Session::database() const { return impl_->database; }

// The fake knows no procedures: a call is refused as the server refuses an unknown one.
std::vector<StatementReply> Session::executeRpc(const std::string& procedure,
                                                const std::vector<Parameter>&,
                                                const std::atomic<bool>*) {
    StatementReply refused;
    refused.events.push_back(
        makeMessage(2812, 16, "Could not find stored procedure '" + procedure + "'.", 62));
    refused.error = true;
    refused.procedure = true;
    return {refused};
}

const Collation& Session::collation() const { return serverCollation(); }

std::vector<StatementReply> Session::executeBatch(const std::string& batch,
                                                  const std::atomic<bool>*) {
    std::vector<StatementReply> replies;
    std::istringstream lines(batch);
    for (std::string line; std::getline(lines, line);) {
        line = trimmed(line);
        if (!line.empty() && line.rfind("--", 0) != 0) replies.push_back(impl_->run(line, batch));
    }
    if (replies.empty()) replies.emplace_back();
    return replies;
}

}  // namespace standin
