// What a phone sends after AT+CUSD, and what a SIM's files hold: any bytes, in any pieces. The
// reply reader finds the same replies however the bytes are split; every text shown is whole
// UTF-8, whatever coding the network claimed; an ICCID is 18 to 20 digits shown with the same
// count of characters, and a SIM's name is whole UTF-8.

#include "fuzz/FuzzCheck.h"
#include "phone/SimIdentity.h"
#include "phone/Ussd.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

using namespace vantaro;

// Whole UTF-8 worked out on its own: no surrogate, no overlong form, nothing past U+10FFFF.
bool IsWholeUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                              : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        const std::uint32_t fewest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < fewest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
        i += length;
    }
    return true;
}

bool SameReply(const UssdReply& a, const UssdReply& b) {
    return a.status == b.status && a.dataCoding == b.dataCoding && a.text.utf8 == b.text.utf8 &&
           a.text.decoding == b.text.decoding;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);
    const int coding = data.ConsumeIntegralInRange<int>(-1, 300);
    std::vector<std::string> pieces;
    std::string all;
    while (data.remaining_bytes() > 0) {
        pieces.push_back(data.ConsumeRandomLengthString(600));
        all += pieces.back();
    }

    UssdReplyReader split;
    UssdReplyReader whole;
    whole.Feed(all);
    std::vector<UssdReply> replies;
    for (const std::string& piece : pieces) {
        split.Feed(piece);
        while (std::optional<UssdReply> reply = split.Take()) replies.push_back(std::move(*reply));
    }
    for (const UssdReply& reply : replies) {
        const std::optional<UssdReply> same = whole.Take();
        Require(same && SameReply(reply, *same), "the same replies however the bytes are split");
        Require(IsWholeUtf8(reply.text.utf8), "a reply's text is whole UTF-8");
        Require(reply.text.utf8.find('\r') == std::string::npos, "line ends are plain");
    }
    Require(!whole.Take(), "no reply more when the bytes come whole");
    Require(split.Partial() == whole.Partial(), "the same half line however the bytes are split");

    const UssdText text = DecodeUssdText(all, coding < 0 ? std::nullopt : std::optional<int>(coding));
    Require(IsWholeUtf8(text.utf8), "a text is whole UTF-8 under any coding");
    Require((text.decoding == UssdDecoding::NoText) == all.empty(), "no text only for an empty one");

    const std::vector<std::string> lines(pieces.begin(), pieces.end());
    if (const std::optional<Iccid> iccid = ReadIccid(lines)) {
        Require(iccid->digits.size() >= kFewestIccidDigits && iccid->digits.size() <= kMostIccidDigits &&
                    iccid->digits.find_first_not_of("0123456789") == std::string::npos,
                "an ICCID is 18 to 20 digits");
        Require(ShownIccid(*iccid).size() == iccid->digits.size(), "an ICCID is shown with as many characters");
    }
    if (const std::optional<ServiceProviderName> name = ReadServiceProviderName(lines))
        Require(!name->utf8.empty() && IsWholeUtf8(name->utf8), "a SIM's name is whole UTF-8");
    UssdSendCommand(all);
    return 0;
}
