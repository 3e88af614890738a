// The AT response reader on what modems really send: echo, line ends of every kind, unsolicited
// lines in between, answers split anywhere, and ports that are no modem.

#include "phone/AtResponse.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using Lines = std::vector<std::string>;

struct ReadCase {
    const char* rule;
    const char* command;
    std::string bytes;
    ResponseEnd end;
    FinalResult result;
    Lines lines;
    Lines unsolicited;
    bool echoed;
};

const ReadCase kReadCases[] = {
    {"plain OK", "AT", "\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {}, {}, false},
    {"echo is not an answer line", "AT+CGMI", "AT+CGMI\r\r\nZOR\r\n\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {"ZOR"}, {}, true},
    {"echo in other letter case", "AT+CPIN=\"1234\"", "at+cpin=\"1234\"\r\n+CPIN: READY\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {"+CPIN: READY"}, {}, true},
    {"an answer equal to the command after the first line is kept", "ATI", "\r\nx\r\nATI\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {"x", "ATI"}, {}, false},
    {"CR alone ends lines", "AT+CSQ", "\r+CSQ: 20,99\r\rOK\r", ResponseEnd::Final, FinalResult::Ok, {"+CSQ: 20,99"}, {}, false},
    {"LF alone ends lines", "AT+CSQ", "+CSQ: 20,99\nOK\n", ResponseEnd::Final, FinalResult::Ok, {"+CSQ: 20,99"}, {}, false},
    {"blank lines and blanks around a line are nothing", "AT+CGMM", "\r\n\r\n  \r\n Z100 \r\n\n\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {"Z100"}, {}, false},
    {"RING and other commands' lines are unsolicited", "AT+CSQ",
     "\r\nRING\r\n+CREG: 1,\"1A2B\",\"00C3\"\r\n^RSSI: 14\r\n+CSQ: 14,99\r\n+CMTI: \"SM\",3\r\nOK\r\n",
     ResponseEnd::Final, FinalResult::Ok, {"+CSQ: 14,99"}, {"RING", "+CREG: 1,\"1A2B\",\"00C3\"", "^RSSI: 14", "+CMTI: \"SM\",3"}, false},
    {"a line of the command's own name is an answer", "AT+CREG?", "\r\n+CREG: 2\r\n+creg: 0,1\r\nOK\r\n",
     ResponseEnd::Final, FinalResult::Ok, {"+CREG: 2", "+creg: 0,1"}, {}, false},
    {"ERROR", "AT+CGMM", "\r\nERROR\r\n", ResponseEnd::Final, FinalResult::Error, {}, {}, false},
    {"+CME ERROR", "AT+CPIN?", "\r\n+CME ERROR: 10\r\n", ResponseEnd::Final, FinalResult::CmeError, {}, {}, false},
    {"+CMS ERROR", "AT+CMGS", "\r\n+CMS ERROR: 500\r\n", ResponseEnd::Final, FinalResult::CmsError, {}, {}, false},
    {"NO CARRIER", "ATD*99#", "\r\nNO CARRIER\r\n", ResponseEnd::Final, FinalResult::NoCarrier, {}, {}, false},
    {"CONNECT with a speed", "ATD*99#", "\r\nCONNECT 115200\r\n", ResponseEnd::Final, FinalResult::Connect, {}, {}, false},
    {"CONNECT alone", "ATD*99#", "\r\nCONNECT\r\n", ResponseEnd::Final, FinalResult::Connect, {}, {}, false},
    {"a line that only starts like a result is none", "ATI", "\r\nOKAY\r\nCONNECTED\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {"OKAY", "CONNECTED"}, {}, false},
    {"a stray NUL is dropped", "AT", std::string("\r\nO\0K\r\n", 7), ResponseEnd::Final, FinalResult::Ok, {}, {}, false},
    {"31 NULs in a row are still noise", "AT", std::string(31, '\0') + "\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {}, {}, false},
    {"32 NULs in a row are no modem", "AT", std::string(32, '\0') + "\r\nOK\r\n", ResponseEnd::NotAModem, FinalResult::None, {}, {}, false},
    {"NULs broken by a line end do not add up", "AT", std::string(20, '\0') + "\r" + std::string(20, '\0') + "\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {}, {}, false},
    {"a line of 1023 bytes is still a line", "ATI", std::string(1023, 'x') + "\r\nOK\r\n", ResponseEnd::Final, FinalResult::Ok, {std::string(1023, 'x')}, {}, false},
    {"1 KB without a line end is no modem", "AT", std::string(1024, 'x') + "\r\nOK\r\n", ResponseEnd::NotAModem, FinalResult::None, {}, {}, false},
    {"4 KB of lines without a result is too long", "AT", [] { std::string s; while (s.size() < 4200) s += "$GPGGA,1,2,3\r\n"; return s; }(),
     ResponseEnd::TooLong, FinalResult::None, {}, {}, false},
    {"COMMAND NOT SUPPORT", "AT+COPS=3,2", "\r\nCOMMAND NOT SUPPORT\r\n", ResponseEnd::Final, FinalResult::Error, {}, {}, false},
    {"numeric results of a phone in numeric mode", "AT+CGMI", "ZOR\r\n0\r", ResponseEnd::Final, FinalResult::Ok, {"ZOR"}, {}, false},
    {"numeric ERROR", "AT+CGMM", "4\r", ResponseEnd::Final, FinalResult::Error, {}, {}, false},
    {"what comes before the echo answers nothing", "AT+CREG?", "\r\nRING\r\n+CREG: 1\r\nAT+CREG?\r\r\n+CREG: 0,1\r\nOK\r\n",
     ResponseEnd::Final, FinalResult::Ok, {"+CREG: 0,1"}, {"RING", "+CREG: 1"}, true},
    {"no final result yet", "AT+CGMI", "\r\nZOR\r\n", ResponseEnd::Reading, FinalResult::None, {"ZOR"}, {}, false},
};

class ResponseReading : public ::testing::TestWithParam<ReadCase> {};

void ExpectResponse(const ReadCase& c, const ResponseReader& reader, const std::string& how) {
    const AtResponse& response = reader.Response();
    EXPECT_EQ(response.end, c.end) << c.rule << how;
    EXPECT_EQ(response.result, c.result) << c.rule << how;
    if (c.end != ResponseEnd::TooLong) {
        EXPECT_EQ(response.lines, c.lines) << c.rule << how;
    }
    EXPECT_EQ(response.unsolicited, c.unsolicited) << c.rule << how;
    EXPECT_EQ(response.echoed, c.echoed) << c.rule << how;
    EXPECT_LE(response.received, kResponseCapBytes) << c.rule << how;
}

TEST_P(ResponseReading, InOnePieceAndSplitAtEveryByte) {
    const ReadCase& c = GetParam();
    ResponseReader whole(c.command);
    whole.Feed(c.bytes);
    ExpectResponse(c, whole, " (one piece)");

    // The same bytes in two pieces, split at every place, and one byte at a time.
    for (std::size_t split = 1; split < c.bytes.size() && split < 64; ++split) {
        ResponseReader reader(c.command);
        const std::size_t taken = reader.Feed(c.bytes.substr(0, split));
        if (taken == split) reader.Feed(c.bytes.substr(split));
        ExpectResponse(c, reader, " (split at " + std::to_string(split) + ")");
    }
    ResponseReader bytewise(c.command);
    for (char byte : c.bytes) bytewise.Feed(std::string(1, byte));
    ExpectResponse(c, bytewise, " (byte by byte)");
}

INSTANTIATE_TEST_SUITE_P(Table, ResponseReading, ::testing::ValuesIn(kReadCases));

TEST(ResponseReader, StopsTakingBytesAtTheFinalResult) {
    ResponseReader reader("AT");
    const std::string bytes = "\r\nOK\r\nRING\r\n";
    EXPECT_EQ(reader.Feed(bytes), 5u) << "the bytes after the line end of OK belong to no response";
    reader.Feed("ERROR\r\n");
    EXPECT_EQ(reader.Response().result, FinalResult::Ok);
}

TEST(ResponseReader, AnEndedResponseKeepsItsFirstEnd) {
    ResponseReader reader("AT");
    reader.End(ResponseEnd::TimedOut);
    reader.End(ResponseEnd::Stopped);
    reader.Feed("\r\nOK\r\n");
    EXPECT_EQ(reader.Response().end, ResponseEnd::TimedOut);
}

struct ErrorCodeCase {
    const char* line;
    std::optional<int> code;
};

TEST(ResponseReader, ErrorCodesAreReadFromNumbersAndFromTheStandardWords) {
    const ErrorCodeCase cases[] = {
        {"+CME ERROR: 10", 10}, {"+CME ERROR:16", 16}, {"+CMS ERROR: 500", 500},
        {"+CME ERROR: SIM not inserted", 10}, {"+CME ERROR: sim failure", 13}, {"+CME ERROR: SIM gone", std::nullopt},
        {"+CMS ERROR: SIM not inserted", std::nullopt}, {"+CME ERROR: ", std::nullopt},
        {"+CME ERROR: 99999999999", std::nullopt}, {"ERROR", std::nullopt},
    };
    for (const ErrorCodeCase& c : cases) {
        ResponseReader reader("AT+CPIN?");
        reader.Feed(std::string(c.line) + "\r");
        EXPECT_EQ(reader.Response().ErrorCode(), c.code) << c.line;
    }
}

} // namespace
} // namespace vantaro
