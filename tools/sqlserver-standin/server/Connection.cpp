#include "Connection.h"

#include "AttentionWatch.h"
#include "Engine.h"
#include "Login.h"
#include "PacketStream.h"
#include "ReplyWriter.h"
#include "ResultEncoder.h"
#include "RpcRequest.h"
#include "TextCodec.h"
#include "Tokens.h"

#include <algorithm>
#include <iostream>
#include <memory>

namespace standin::tds {
namespace {

constexpr size_t defaultPacketSize = 4096;
constexpr uint16_t selectCommand = 0xC1;
constexpr const char* defaultDatabase = "master";

// A value the engine produced that its column's type cannot carry.
struct EncodingFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

size_t negotiatedPacketSize(uint32_t requested) {
    return requested >= 512 && requested <= 32767 ? requested : defaultPacketSize;
}

std::string transactionRequestName(uint16_t type) {
    switch (type) {
        case 0:
            return "TM_GET_DTC_ADDRESS";
        case 1:
            return "TM_PROPAGATE_XACT";
        case 5:
            return "TM_BEGIN_XACT";
        case 6:
            return "TM_PROMOTE_XACT";
        case 7:
            return "TM_COMMIT_XACT";
        case 8:
            return "TM_ROLLBACK_XACT";
        case 9:
            return "TM_SAVE_XACT";
        default:
            return "TM_" + std::to_string(type);
    }
}

class Connection {
public:
    Connection(int socket, ServerContext& context, uint16_t sessionId)
        : stream_(socket), context_(context), sessionId_(sessionId) {
        stream_.setSessionId(sessionId);
    }

    void run() {
        try {
            if (std::unique_ptr<Session> session = logIn()) serve(*session);
        } catch (const ConnectionClosed&) {
            // The client's to end, at any time.
        } catch (const std::exception& e) {
            std::cerr << "session " << sessionId_ << " ended: " << e.what() << std::endl;
        }
    }

private:
    std::unique_ptr<Session> logIn();
    std::unique_ptr<Session> refuseLogin(const Message& why);
    void serve(Session& session);
    bool answerBatch(Session& session, Bytes payload);
    bool closesOn(const std::string& batch);
    void reply(const std::vector<StatementReply>& replies);
    void writeStatement(ReplyWriter& writer, const StatementReply& statement, bool last);
    void writeResultSet(ReplyWriter& writer, const ResultSet& result);
    void answerRpc(Session& session, const Bytes& payload);
    void refuse(const std::string& name);
    void sendOnce(const Bytes& tokens);
    size_t requestStart(const Bytes& payload) const;

    PacketStream stream_;
    ServerContext& context_;
    uint16_t sessionId_;
    uint32_t version_ = tds74;
    size_t packetSize_ = defaultPacketSize;
    int batches_ = 0;
};

void Connection::sendOnce(const Bytes& tokens) {
    ReplyWriter writer(stream_, packetSize_, version_);
    writer.add(tokens);
    writer.finish();
}

std::unique_ptr<Session> Connection::logIn() {
    std::optional<IncomingMessage> request = stream_.readMessage();
    if (request && request->type == packet::prelogin) {
        checkPrelogin(request->payload);
        sendOnce(preloginReply());
        request = stream_.readMessage();
    }
    if (!request) return nullptr;
    if (request->type != packet::login7)
        throw ProtocolError("expected LOGIN7, got message type " + std::to_string(request->type));

    LoginRequest login = parseLogin7(request->payload);
    version_ = std::clamp(login.version, tds71,
                          context_.options.highestTdsVersion);  // 7.0 and older are not spoken
    packetSize_ = negotiatedPacketSize(login.packetSize);
    stream_.setMessageLimit(PacketStream::packetsPerMessage * packetSize_);

    std::optional<std::string> password = context_.options.passwordOf(login.user);
    if (login.integratedSecurity || !password || *password != login.password)
        return refuseLogin(makeMessage(18456, 14, "Login failed for user '" + login.user + "'."));
    std::string database = defaultDatabase;
    if (!login.database.empty()) {
        std::optional<std::string> found = context_.catalog.findDatabase(login.database);
        if (!found)
            return refuseLogin(makeMessage(911, 16,
                                           "Database '" + login.database +
                                               "' does not exist. Make sure that the name is "
                                               "entered correctly."));
        database = *found;
    }
    auto session = std::make_unique<Session>(context_.catalog, database);

    ByteWriter w;
    writeEnvChange(w, EnvChange::Database, database, defaultDatabase);
    writeMessage(w, makeMessage(5701, 0, "Changed database context to '" + database + "'.", 2),
                 serverName, version_);
    writeCollationEnvChange(w, session->collation());
    writeEnvChange(w, EnvChange::Language, "us_english", "");
    writeMessage(w, makeMessage(5703, 0, "Changed language setting to us_english."), serverName,
                 version_);
    writeLoginAck(w, version_);
    writeEnvChange(w, EnvChange::PacketSize, std::to_string(packetSize_),
                   std::to_string(login.packetSize));
    writeDone(w, DoneToken::Done, 0, 0, 0, version_);
    sendOnce(w.bytes());
    return session;
}

std::unique_ptr<Session> Connection::refuseLogin(const Message& why) {
    ByteWriter w;
    writeMessage(w, why, serverName, version_);
    writeDone(w, DoneToken::Done, done::error, 0, 0, version_);
    sendOnce(w.bytes());
    return nullptr;
}

void Connection::serve(Session& session) {
    while (std::optional<IncomingMessage> request = stream_.readMessage()) {
        Bytes& payload = request->payload;
        if (request->status & packet::ignore) {
            reply({StatementReply{}});
            continue;
        }
        if (request->attention) request->type = packet::attention;  // not run, only answered
        switch (request->type) {
            case packet::sqlBatch:
                if (!answerBatch(session, std::move(payload))) return;
                break;
            case packet::rpc:
                answerRpc(session, payload);
                break;
            case packet::transactionManager: {
                ByteReader r(payload);
                r.seek(requestStart(payload));
                refuse(transactionRequestName(r.u16()));
                break;
            }
            case packet::attention: {
                ByteWriter w;
                writeDone(w, DoneToken::Done, done::attention, 0, 0, version_);
                sendOnce(w.bytes());
                break;
            }
            default:
                refuse("request type " + std::to_string(request->type));
        }
    }
}

// Where a batch, RPC or transaction request starts: after ALL_HEADERS from TDS 7.2 on.
size_t Connection::requestStart(const Bytes& payload) const {
    if (!hasWideCounts(version_)) return 0;
    ByteReader r(payload);
    uint32_t total = r.u32();
    if (total < 4 || total > payload.size())
        throw ProtocolError("ALL_HEADERS longer than its message");
    return total;
}

bool Connection::closesOn(const std::string& batch) {
    if (++batches_ == context_.options.closeOnBatch) return true;
    const auto& texts = context_.options.closeOn;
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& t) { return batch.find(t) != std::string::npos; });
}

bool Connection::answerBatch(Session& session, Bytes payload) {
    size_t start = requestStart(payload);
    std::string batch = utf16leToUtf8(payload.data() + start, payload.size() - start);
    Bytes().swap(payload);  // a batch may be hundreds of megabytes: keep one copy of it
    if (context_.log) context_.log->write(batch);
    if (closesOn(batch)) return false;
    std::vector<StatementReply> replies;
    try {
        AttentionWatch watch(stream_.socket());
        replies = session.executeBatch(batch, watch.flag());
    } catch (const std::exception& e) {
        StatementReply failed;
        failed.events.push_back(
            makeMessage(50000, 16, std::string("The stand-in failed: ") + e.what()));
        failed.error = true;
        replies = {failed};
    }
    reply(replies);
    return true;
}

void Connection::answerRpc(Session& session, const Bytes& payload) {
    ByteReader r(payload);
    r.seek(requestStart(payload));
    std::vector<StatementReply> replies;
    try {
        const RpcRequest request = readRpcRequest(r, session.collation().codePage);
        AttentionWatch watch(stream_.socket());
        replies = session.executeRpc(request.procedure, request.parameters, watch.flag());
    } catch (const ProtocolError&) {
        throw;
    } catch (const std::exception& e) {
        StatementReply failed;
        failed.events.push_back(
            makeMessage(50000, 16, std::string("The stand-in failed: ") + e.what()));
        failed.error = true;
        failed.procedure = true;
        replies = {failed};
    }
    reply(replies);
}

void Connection::refuse(const std::string& name) {
    StatementReply refused;
    refused.events.push_back(
        makeMessage(2812, 16, "Could not find stored procedure '" + name + "'.", 62));
    refused.error = true;
    reply({refused});
}

void Connection::reply(const std::vector<StatementReply>& replies) {
    ReplyWriter writer(stream_, packetSize_, version_);
    writer.delay(context_.options.delayMs);
    try {
        for (size_t k = 0; k < replies.size() && !writer.cancelled(); ++k)
            writeStatement(writer, replies[k], k + 1 == replies.size());
    } catch (const EncodingFailed& e) {
        ByteWriter w;
        writeMessage(w, makeMessage(50000, 16, e.what()), serverName, version_);
        writeDone(w, DoneToken::Done, done::error, 0, 0, version_);
        writer.add(w.bytes());
    }
    writer.finish();
}

void Connection::writeStatement(ReplyWriter& writer, const StatementReply& statement, bool last) {
    bool selected = false;
    for (const Event& event : statement.events) {
        if (writer.cancelled()) return;
        ByteWriter w;
        if (const auto* m = std::get_if<Message>(&event)) {
            writeMessage(w, *m, serverName, version_);
        } else if (const auto* result = std::get_if<ResultSet>(&event)) {
            writeResultSet(writer, *result);
            selected = true;
        } else if (const auto* change = std::get_if<DatabaseChanged>(&event)) {
            writeEnvChange(w, EnvChange::Database, change->newName, change->oldName);
            if (change->collation) writeCollationEnvChange(w, *change->collation);
        } else if (const auto* status = std::get_if<ReturnStatus>(&event)) {
            writeReturnStatus(w, status->value);
        } else if (const auto* value = std::get_if<ReturnValue>(&event)) {
            writeReturnValue(w, *value, version_);
        }
        writer.add(w.bytes());
    }
    uint16_t status = (last ? 0 : done::more) | (statement.error ? done::error : 0) |
                      (statement.rowCount ? done::count : 0);
    ByteWriter w;
    const DoneToken token = statement.procedure     ? DoneToken::DoneProc
                            : statement.inProcedure ? DoneToken::DoneInProc
                                                    : DoneToken::Done;
    writeDone(w, token, status, selected ? selectCommand : 0, statement.rowCount.value_or(0),
              version_);
    if (!writer.cancelled()) writer.add(w.bytes());
}

void Connection::writeResultSet(ReplyWriter& writer, const ResultSet& result) {
    if (result.columns.empty()) return;
    ByteWriter chunk;
    writeColumnMetadata(chunk, result.columns, version_);
    for (const std::vector<Value>& row : result.rows) {
        ByteWriter encoded;
        try {
            writeRow(encoded, result.columns, row);
        } catch (const std::invalid_argument& e) {
            writer.add(chunk.take());
            throw EncodingFailed(std::string("The stand-in cannot send a value: ") + e.what());
        }
        chunk.append(encoded.bytes());
        if (chunk.size() >= packetSize_) {
            writer.add(chunk.take());
            if (writer.cancelled()) return;
        }
    }
    writer.add(chunk.take());
}

}  // namespace

void serveConnection(int socket, ServerContext& context, uint16_t sessionId) {
    Connection(socket, context, sessionId).run();
}

}  // namespace standin::tds
