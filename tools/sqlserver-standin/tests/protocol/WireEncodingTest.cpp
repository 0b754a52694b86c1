// Byte layouts the driver depends on, checked without a connection.
#include "Login.h"
#include "ResultEncoder.h"
#include "TextCodec.h"
#include "Tokens.h"
#include "WireValues.h"

#include <gtest/gtest.h>

namespace standin::tds {
namespace {

Bytes hex(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '|')
            digits += c;
    return parseHex(digits);
}

TEST(WireEncoding, NVarCharAndIntResultMatchesAKnownReply)
{
    std::vector<ResultColumn> columns{{"name", {SqlType::NVarChar, 50}, true}, {"n", {SqlType::Int}, true}};
    ByteWriter w;
    writeColumnMetadata(w, columns, tds74);
    writeRow(w, columns, {std::string("h\xC3\xA9llo"), std::string("42")});
    writeRow(w, columns, {std::nullopt, std::nullopt});
    writeDone(w, DoneToken::Done, done::count, 0xC1, 2, tds74);
    EXPECT_EQ(w.bytes(), hex("81 02 00 | 00 00 00 00 01 00 E7 64 00 09 04 D0 00 34 04 6E 00 61 00 6D 00 65 00 |"
                             " 00 00 00 00 01 00 26 04 01 6E 00"
                             " D1 0A 00 68 00 E9 00 6C 00 6C 00 6F 00 04 2A 00 00 00 | D1 FF FF 00 |"
                             " FD 10 00 C1 00 02 00 00 00 00 00 00 00"));
}

TEST(WireEncoding, OldProtocolUsesNarrowUserTypesAndCounts)
{
    std::vector<ResultColumn> columns{{"n", {SqlType::Int}, false}};
    ByteWriter w;
    writeColumnMetadata(w, columns, tds71);
    writeDone(w, DoneToken::DoneProc, done::error, 0, 5, tds71);
    EXPECT_EQ(w.bytes(), hex("81 01 00 0000 0000 26 04 01 6E 00 FE 02 00 00 00 05 00 00 00"));
}

TEST(WireEncoding, PreloginReplyRefusesEncryption)
{
    EXPECT_EQ(preloginReply(), hex("00 00 1A 00 06  01 00 20 00 01  02 00 21 00 01  03 00 22 00 00  04 00 22 00 01  FF"
                                   " 10 00 03 E8 00 00 02 00 00"));
}

TEST(WireEncoding, LoginAckLengthCoversTheProgramName)
{
    ByteWriter w;
    writeLoginAck(w, tds74);
    Bytes b = w.bytes();
    ASSERT_GE(b.size(), 3u);
    EXPECT_EQ(b[0], 0xAD);
    EXPECT_EQ(size_t{b[1]} | size_t{b[2]} << 8, b.size() - 3);
    EXPECT_EQ(b.size() - 3, 10u + 2 * 20);  // "Microsoft SQL Server"
    EXPECT_EQ(Bytes(b.begin() + 4, b.begin() + 8), hex("74000004"));
}

TEST(WireEncoding, MessageLengthIsExactAndLineWidthFollowsTheVersion)
{
    Message m;
    m.number = 5701;
    m.severity = 10;
    m.text = "ab";
    for (uint32_t version : {tds71, tds74}) {
        ByteWriter w;
        writeMessage(w, m, "S", version);
        Bytes b = w.bytes();
        EXPECT_EQ(b[0], 0xAB);
        size_t line = hasWideCounts(version) ? 4 : 2;
        EXPECT_EQ(size_t{b[1]} | size_t{b[2]} << 8, 4 + 1 + 1 + (2 + 4) + (1 + 2) + 1 + line);
        EXPECT_EQ(b.size(), 3 + (size_t{b[1]} | size_t{b[2]} << 8));
    }
}

struct DecimalCase {
    std::string text;
    int scale;
    size_t bytes;
    bool negative;
    std::string magnitude;  // hex, little-endian
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << c.text << " scale " << c.scale; }

class Decimals : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(Decimals, ScaledMagnitudeIsLittleEndian)
{
    const DecimalCase& c = GetParam();
    ScaledNumber n = parseScaled(c.text, c.scale, c.bytes);
    EXPECT_EQ(n.negative, c.negative);
    EXPECT_EQ(n.magnitude, hex(c.magnitude));
}

INSTANTIATE_TEST_SUITE_P(Cases, Decimals,
                         ::testing::Values(DecimalCase{"12.50", 2, 4, false, "E2040000"},
                                           DecimalCase{"-1", 3, 4, true, "E8030000"},
                                           DecimalCase{"0.125", 2, 4, false, "0C000000"},  // extra digit cut
                                           DecimalCase{"7.", 1, 4, false, "46000000"},
                                           DecimalCase{"99999999999999999999999999999999999999", 0, 16, false,
                                                       "FFFFFFFF3F228A097AC4865AA84C3B4B"}));

TEST(WireValues, MalformedNumbersAreRejected)
{
    for (const char* text : {"", "-", "1.2.3", "12a", "1e5"})
        EXPECT_THROW(parseScaled(text, 2, 8), std::invalid_argument) << text;
    EXPECT_THROW(parseScaled("4294967296", 0, 4), std::invalid_argument);
    EXPECT_THROW(parseInteger("12 "), std::invalid_argument);
    EXPECT_THROW(parseMoney("922337203685477.5808"), std::invalid_argument);
    EXPECT_EQ(parseMoney("-922337203685477.5807"), -INT64_MAX);
}

TEST(WireValues, DateTimeCountsDaysFrom1900AndThreeHundredthsOfASecond)
{
    DateTimeParts epoch = parseDateTime("1900-01-01 00:00:00.000");
    EXPECT_EQ(epoch.days, 0);
    EXPECT_EQ(epoch.ticks, 0u);
    DateTimeParts p = parseDateTime("2000-03-01 00:00:01.997");
    EXPECT_EQ(p.days, 36584);
    EXPECT_EQ(p.ticks, 300u + 299u);
    EXPECT_EQ(parseDateTime("1753-01-01").days, -53690);
    EXPECT_EQ(parseDateTime("2079-06-06 23:59:00.000").minutes, 1439);
    for (const char* bad : {"2000-13-01", "2000-01-01 24:00:00", "2000-1-01", "2000-01-01 00:00:00.0000"})
        EXPECT_THROW(parseDateTime(bad), std::invalid_argument) << bad;
}

TEST(WireValues, GuidGroupsAreMixedEndian)
{
    EXPECT_EQ(parseGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF"), hex("FF19966F868B11D0B42D00C04FC964FF"));
    EXPECT_THROW(parseGuid("6F9619FF8B86D011B42D00C04FC964FF"), std::invalid_argument);
}

TEST(TextCodec, Cp1252KeepsItsCharactersAndQuestionsTheRest)
{
    EXPECT_EQ(utf8ToCodePage("h\xC3\xA9llo \xE2\x82\xAC \xC5\x92", 1252), "h\xE9llo \x80 \x8C");
    // The five bytes Windows leaves unassigned round-trip to the control characters of their value.
    EXPECT_EQ(utf8ToCodePage("\xCE\xA9 \xF0\x9F\x98\x80 \xC2\x81", 1252), "? ?? \x81");
    EXPECT_EQ(utf8ToCodePage("a\xFF"
                             "b\xC3",
                             1252),
              "a?b?");
}

TEST(TextCodec, Utf16RoundTripsSurrogatesAndRepairsBrokenOnes)
{
    std::string text = "A\xC3\xA9\xE2\x98\x83\xF0\x9F\x98\x80";
    Bytes wide = utf8ToUtf16le(text);
    EXPECT_EQ(wide, hex("4100 E900 0326 3DD8 00DE"));
    EXPECT_EQ(utf16leToUtf8(wide.data(), wide.size()), text);
    Bytes lone = hex("3DD8 4100");
    EXPECT_EQ(utf16leToUtf8(lone.data(), lone.size()), "\xEF\xBF\xBD" "A");
}

TEST(Login, PasswordBytesAreUnscrambled)
{
    // "Ab" as the client scrambles it: swap nibbles, then XOR 0xA5.
    Bytes scrambled;
    for (uint8_t b : utf8ToUtf16le("Ab"))
        scrambled.push_back(static_cast<uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5));
    EXPECT_EQ(decodePassword(scrambled.data(), scrambled.size()), "Ab");
}

TEST(Login, TruncatedLogin7IsAProtocolError)
{
    Bytes login(94, 0);
    login[40] = 94;  // user name at the end,
    login[42] = 10;  // claiming ten characters that are not there
    EXPECT_THROW(parseLogin7(login), ProtocolError);
    EXPECT_THROW(parseLogin7(Bytes(20, 0)), ProtocolError);
}

}  // namespace
}  // namespace standin::tds
