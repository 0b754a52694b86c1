// Protocol behaviour below what the ODBC driver lets a test reach.
#include "RawTdsClient.h"
#include "StandinProcess.h"

#include <gtest/gtest.h>

namespace standin::testing {
namespace {

constexpr uint8_t batchType = 0x01, rpcType = 0x03, attentionType = 0x06, transactionType = 0x0E;
constexpr uint8_t doneToken = 0xFD, doneProcToken = 0xFE;

class RawProtocol : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new StandinProcess(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1"});
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    static uint16_t port() { return server_->port(); }

    static inline StandinProcess* server_ = nullptr;
};

TEST_F(RawProtocol, LoginReplyComesInSqlServersOrder) {
    RawTdsClient client(port());
    Bytes reply = client.logIn().payload;
    std::vector<uint8_t> tokens;
    for (size_t at = 0; at < reply.size();) {  // every token here has a u16 length, except DONE
        tokens.push_back(reply[at]);
        if (reply[at] == doneToken) break;
        at += 3 + size_t{reply[at + 1]} + (size_t{reply[at + 2]} << 8);
    }
    EXPECT_EQ(tokens, (std::vector<uint8_t>{0xE3, 0xAB, 0xE3, 0xE3, 0xAB, 0xAD, 0xE3, doneToken}));
    EXPECT_EQ(finalDone(reply), std::make_pair(doneToken, uint16_t{0}));
}

TEST_F(RawProtocol, IntegratedSecurityIsRefusedAndTheSocketClosed) {
    RawTdsClient client(port());
    Login7Fields fields;
    fields.integratedSecurity = true;
    Bytes reply = client.logIn(fields).payload;
    ASSERT_GE(reply.size(), 7u);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[3] | reply[4] << 8, 18456);
    EXPECT_TRUE(mentions(reply, "Login failed for user ''."));
    EXPECT_EQ(finalDone(reply), std::make_pair(doneToken, uint16_t{0x02}));
    EXPECT_TRUE(client.closedByServer());
}

TEST_F(RawProtocol, RefusedLoginClosesTheSocket) {
    RawTdsClient client(port());
    Login7Fields fields;
    fields.password = "wrong";
    Bytes reply = client.logIn(fields).payload;
    EXPECT_TRUE(mentions(reply, "Login failed for user 'sa'."));
    EXPECT_TRUE(client.closedByServer());
}

TEST_F(RawProtocol, RepliesFillPacketsOfTheNegotiatedSize) {
    RawTdsClient client(port());
    Login7Fields fields;
    fields.packetSize = 512;
    EXPECT_TRUE(mentions(client.logIn(fields).payload, "512"));
    client.send(batchType, sqlBatch("rows 300"));
    RawTdsClient::Reply reply = client.receive();
    ASSERT_GT(reply.packetSizes.size(), 2u);
    for (size_t k = 0; k + 1 < reply.packetSizes.size(); ++k) {
        EXPECT_EQ(reply.packetSizes[k], 512u);
        EXPECT_EQ(reply.statuses[k], 0x00);
    }
    EXPECT_LE(reply.packetSizes.back(), 512u);
    EXPECT_EQ(reply.statuses.back(), 0x01);
    EXPECT_EQ(finalDone(reply.payload), std::make_pair(doneToken, uint16_t{0x10}));
}

// The bytes a message takes in this client's packets of 4096 bytes, headers included.
size_t onWire(size_t payload) { return payload + 8 * ((payload + 4087) / 4088); }

// A batch (the fake's `length` command) taking as many bytes on the wire as `limit` allows.
std::string largestBatchWithin(size_t limit) {
    const size_t headers = sqlBatch("").size();
    size_t characters = limit / 2;
    while (onWire(headers + 2 * characters) > limit) --characters;
    return "length\n--" + std::string(characters - 9, 'x');
}

TEST_F(RawProtocol, BatchOfUpTo65536PacketsIsTakenALargerOneEndsTheConnection) {
    Login7Fields fields;
    fields.packetSize = 512;
    const std::string batch = largestBatchWithin(65536 * 512);
    RawTdsClient taken(port());
    taken.logIn(fields);
    taken.send(batchType, sqlBatch(batch));
    EXPECT_EQ(finalDone(taken.receive().payload), std::make_pair(doneToken, uint16_t{0}));

    RawTdsClient refused(port());
    refused.logIn(fields);
    try {
        refused.send(batchType, sqlBatch(batch + "x"));
    } catch (const std::runtime_error&) {
        // the server may close before the last packet is out
    }
    EXPECT_TRUE(refused.closedByServer());
}

TEST_F(RawProtocol, AttentionAfterAFinishedReplyGetsItsOwnAcknowledgement) {
    RawTdsClient client(port());
    client.logIn();
    client.send(batchType, sqlBatch("select 1"));
    client.receive();
    client.send(attentionType, {});
    Bytes ack = client.receive().payload;
    EXPECT_EQ(ack.size(), 13u);
    EXPECT_EQ(finalDone(ack), std::make_pair(doneToken, uint16_t{0x20}));
}

TEST_F(RawProtocol, AttentionCutsALongReplyShort) {
    RawTdsClient client(port());
    client.logIn();
    client.send(batchType, sqlBatch("rows 300000"));  // some 18 MB of rows
    client.send(attentionType, {});
    RawTdsClient::Reply reply = client.receive();
    EXPECT_EQ(finalDone(reply.payload), std::make_pair(doneToken, uint16_t{0x20}));
    EXPECT_LT(reply.payload.size(), size_t{4} << 20) << reply.payload.size();

    client.send(batchType, sqlBatch("select 1"));
    EXPECT_EQ(finalDone(client.receive().payload), std::make_pair(doneToken, uint16_t{0}));
}

struct Unserved {
    const char* name;
    uint8_t type;
    Bytes body;  // after ALL_HEADERS
    const char* text;
    uint8_t done;
};

void PrintTo(const Unserved& u, std::ostream* os) { *os << u.name; }

class UnservedRequest : public RawProtocol, public ::testing::WithParamInterface<Unserved> {};

TEST_P(UnservedRequest, IsRefusedAndTheSessionGoesOn) {
    const Unserved& c = GetParam();
    RawTdsClient client(port());
    client.logIn();
    Bytes payload = sqlBatch("");
    payload.insert(payload.end(), c.body.begin(), c.body.end());
    client.send(c.type, payload);
    Bytes reply = client.receive().payload;
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[3] | reply[4] << 8, 2812);
    EXPECT_TRUE(mentions(reply, c.text));
    EXPECT_EQ(finalDone(reply), std::make_pair(c.done, uint16_t{0x02}));

    client.send(batchType, sqlBatch("select 1"));
    EXPECT_EQ(finalDone(client.receive().payload).second, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, UnservedRequest,
    ::testing::Values(
        Unserved{"RpcById",
                 rpcType,
                 {0xFF, 0xFF, 10, 0, 0, 0},
                 "Could not find stored procedure 'sp_executesql'.",
                 doneProcToken},
        Unserved{"RpcByName",
                 rpcType,
                 {4, 0, 'm', 0, 'y', 0, 'p', 0, '1', 0, 0, 0},
                 "Could not find stored procedure 'myp1'.",
                 doneProcToken},
        Unserved{"BeginTransaction", transactionType, {5, 0, 0, 0}, "'TM_BEGIN_XACT'", doneToken},
        Unserved{"Commit", transactionType, {7, 0, 0, 0}, "'TM_COMMIT_XACT'", doneToken}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RawProtocol, IgnoredBatchIsNotRunButAnswered) {
    RawTdsClient client(port());
    client.logIn();
    client.send(batchType, sqlBatch("error 50000 must not run"), 0x03);
    Bytes reply = client.receive().payload;
    EXPECT_EQ(reply.size(), 13u);
    EXPECT_EQ(finalDone(reply), std::make_pair(doneToken, uint16_t{0}));
}

TEST_F(RawProtocol, MalformedLoginEndsOnlyThatConnection) {
    {
        RawTdsClient client(port());
        client.send(0x12, Bytes{0xFF});
        client.receive();
        Bytes login = login7({});
        login[40] = 0xF0;  // user name offset beyond the message
        client.send(0x10, login);
        EXPECT_TRUE(client.closedByServer());
    }
    RawTdsClient client(port());
    EXPECT_EQ(finalDone(client.logIn().payload).second, 0);
}

TEST_F(RawProtocol, OldProtocolBatchHasNoHeaders) {
    RawTdsClient client(port());
    Login7Fields fields;
    fields.version = 0x71000001;
    client.logIn(fields);
    Bytes batch = sqlBatch("length");
    client.send(batchType, Bytes(batch.begin() + 22, batch.end()));
    Bytes reply = client.receive().payload;
    // DONE of TDS 7.1: 9 bytes, a 4-byte row count.
    ASSERT_GE(reply.size(), 9u);
    EXPECT_EQ(reply[reply.size() - 9], doneToken);
    EXPECT_EQ(reply[reply.size() - 17], 6);  // the bigint: "length" is 6 bytes
}

TEST(OlderServer, AnswersANewerClientInItsOwnVersion) {
    StandinProcess server(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1", "--tds-version", "7.1"});
    RawTdsClient client(server.port());
    Bytes reply = client.logIn().payload;  // the client asks for 7.4
    size_t at = 0;
    while (at < reply.size() && reply[at] != 0xAD)  // tokens before LOGINACK have a u16 length
        at += 3 + size_t{reply[at + 1]} + (size_t{reply[at + 2]} << 8);
    ASSERT_LT(at + 8, reply.size());
    EXPECT_EQ(Bytes(reply.begin() + at + 4, reply.begin() + at + 8),
              (Bytes{0x71, 0x00, 0x00, 0x01}));
}

}  // namespace
}  // namespace standin::testing
