// A balance code and the network's reply: the command that sends a code, and what the phone's
// +CUSD lines show, read from the bytes as a port hands them over.

#include "phone/Ussd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantaro {
namespace {

TEST(UssdCode, OnlyWhatAKeypadDialsIsSentAndNeverQuotedAround) {
    const struct {
        std::string code;
        UssdCodeFault fault;
    } cases[] = {
        {"*100#", UssdCodeFault::None},
        {"1", UssdCodeFault::None},
        {std::string(kLongestUssdCode, '*'), UssdCodeFault::None},
        {"", UssdCodeFault::Empty},
        {std::string(kLongestUssdCode + 1, '1'), UssdCodeFault::TooLong},
        {"*10a#", UssdCodeFault::NotDialable},
        {"*100#\",15;+CFUN=0", UssdCodeFault::NotDialable},
        {"*100,1#", UssdCodeFault::NotDialable},
        {"*100#\r", UssdCodeFault::NotDialable},
        {" *100#", UssdCodeFault::NotDialable},
    };
    for (const auto& c : cases) {
        const UssdCommand command = UssdSendCommand(c.code);
        EXPECT_EQ(command.fault, c.fault) << c.code;
        EXPECT_EQ(command.command, c.fault == UssdCodeFault::None ? "AT+CUSD=1,\"" + c.code + "\",15" : "") << c.code;
    }
}

TEST(UssdReply, EachFormOfTheTextShowsWhatTheNetworkSent) {
    const struct {
        const char* what;
        std::vector<std::string> pieces;  // as reads return them, the command's OK first
        bool replied;
        UssdStatus status;
        const char* text;
        UssdDecoding decoding;
    } cases[] = {
        {"plain", {"\r\nOK\r\n\r\n+CUSD: 0,\"Balance: 12.50 EUR\",15\r\n"}, true, UssdStatus::Answered,
         "Balance: 12.50 EUR", UssdDecoding::AsSent},
        {"digits alone are text", {"+CUSD: 0,\"1000\",15\r\n"}, true, UssdStatus::Answered, "1000", UssdDecoding::AsSent},
        {"ucs2 chinese", {"OK\r\n+CUSD: 0,\"4F59989D003A0035002E0030\",72\r\n"}, true, UssdStatus::Answered,
         "\xE4\xBD\x99\xE9\xA2\x9D:5.0", UssdDecoding::Ucs2Hex},
        {"ucs2 surrogate pair", {"+CUSD: 0,\"D83DDE00\",72\r\n"}, true, UssdStatus::Answered, "\xF0\x9F\x98\x80",
         UssdDecoding::Ucs2Hex},
        {"ucs2 with its language first", {"+CUSD: 0,\"653700410042\",17\r\n"}, true, UssdStatus::Answered, "AB",
         UssdDecoding::Ucs2Hex},
        {"packed with @ and euro", {"+CUSD: 0,\"C2303BEC1E9775A098CC55836DCA200028062287F3\",15\r\n"}, true,
         UssdStatus::Answered, "Balance: 12.50\xE2\x82\xAC @ 1 day", UssdDecoding::Gsm7PackedHex},
        {"packed, CR in the spare bits", {"+CUSD: 0,\"31D98C56B3DD1A\",0\r\n"}, true, UssdStatus::Answered, "1234567",
         UssdDecoding::Gsm7PackedHex},
        {"unpacked", {"+CUSD: 0,\"48656C6C6F\",15\r\n"}, true, UssdStatus::Answered, "Hello",
         UssdDecoding::Gsm7UnpackedHex},
        {"torn", {"OK\r\n+CU", "SD: 0,\"C8329B", "FD06\",1", "5", "\r\n"}, true, UssdStatus::Answered, "Hello",
         UssdDecoding::Gsm7PackedHex},
        {"not yet", {"OK\r\n+CUSD: 0,\"Bal"}, false, UssdStatus::Unknown, "", UssdDecoding::NoText},
        {"menu with its line breaks", {"+CUSD: 1,\"1 Balance\r\n2 Data\",15\r\n"}, true, UssdStatus::AwaitsAnswer,
         "1 Balance\n2 Data", UssdDecoding::AsSent},
        {"ended", {"RING\r\n+CREG: 1\r\n+CUSD: 2\r\n"}, true, UssdStatus::EndedByNetwork, "", UssdDecoding::NoText},
        {"not supported", {"+CUSD: 4\r\n"}, true, UssdStatus::NotSupported, "", UssdDecoding::NoText},
        {"network time-out", {"+cusd: 5\r"}, true, UssdStatus::NetworkTimedOut, "", UssdDecoding::NoText},
        {"gsm with its language first", {"+CUSD: 0,\"6577035966B3DF\",16\r\n"}, true, UssdStatus::Answered, "Hello",
         UssdDecoding::Gsm7PackedHex},
        {"ucs2 after a header", {"+CUSD: 0,\"0500030A0201004F004B\",152\r\n"}, true, UssdStatus::Answered, "OK",
         UssdDecoding::Ucs2Hex},
        {"header longer than the text", {"+CUSD: 0,\"0900\",152\r\n"}, true, UssdStatus::Answered, "0900",
         UssdDecoding::NotDecodable},
        {"compressed", {"+CUSD: 0,\"4F4B\",96\r\n"}, true, UssdStatus::Answered, "4F4B", UssdDecoding::UnknownCoding},
        {"unknown coding", {"+CUSD: 0,\"C8329B\",132\r\n"}, true, UssdStatus::Answered, "C8329B",
         UssdDecoding::UnknownCoding},
        {"eight-bit data", {"+CUSD: 0,\"0102FF\",68\r\n"}, true, UssdStatus::Answered, "0102FF",
         UssdDecoding::UnknownCoding},
        {"eight-bit text", {"+CUSD: 0,\"4F4B\",68\r\n"}, true, UssdStatus::Answered, "OK", UssdDecoding::EightBit},
        {"eight-bit message class", {"+CUSD: 0,\"4F4B\",244\r\n"}, true, UssdStatus::Answered, "OK",
         UssdDecoding::EightBit},
        {"odd hex", {"+CUSD: 0,\"4F5\",72\r\n"}, true, UssdStatus::Answered, "4F5", UssdDecoding::NotDecodable},
        {"lone surrogate", {"+CUSD: 0,\"0041D83D\",72\r\n"}, true, UssdStatus::Answered, "0041D83D",
         UssdDecoding::NotDecodable},
        {"noise in plain text", {std::string("+CUSD: 0,\"A\x01\xFF\",15\r\n")}, true, UssdStatus::Answered,
         "A\xEF\xBF\xBD\xEF\xBF\xBD", UssdDecoding::AsSent},
        {"no status number", {"+CUSD: x,\"1\"\r\n"}, false, UssdStatus::Unknown, "", UssdDecoding::NoText},
    };
    for (const auto& c : cases) {
        UssdReplyReader reader;
        for (const std::string& piece : c.pieces) reader.Feed(piece);
        const std::optional<UssdReply> reply = reader.Take();
        ASSERT_EQ(reply.has_value(), c.replied) << c.what;
        EXPECT_EQ(reader.Partial(), std::string(c.what) == "not yet") << c.what;
        if (!reply) continue;
        EXPECT_EQ(reply->status, c.status) << c.what;
        EXPECT_EQ(reply->text.utf8, c.text) << c.what;
        EXPECT_EQ(reply->text.decoding, c.decoding) << c.what;
    }
}

} // namespace
} // namespace vantaro
