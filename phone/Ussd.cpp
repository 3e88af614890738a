#include "phone/Ussd.h"

#include "phone/AtResponse.h"
#include "phone/SimText.h"
#include "platform/TextRules.h"

#include <algorithm>

namespace vantaro {
namespace {

constexpr char kUssdName[] = "+CUSD";
constexpr char kUssdLineStart[] = "+CUSD:";
constexpr std::size_t kUssdLineStartSize = sizeof kUssdLineStart - 1;
// The data coding scheme that says "the GSM 7-bit default alphabet, language unspecified",
// which the phone is asked to use for what it sends.
constexpr char kSendCodingSuffix[] = "\",15";
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::size_t kSeptetsPerOctetRun = 8;
// A two-letter language and CR before the text, under the coding schemes that announce one.
constexpr std::size_t kLanguageSeptets = 3;
constexpr std::size_t kLanguageUcs2Octets = 2;
constexpr int kHighestCoding = 0xFF;

enum class Alphabet { Gsm7, EightBit, Ucs2, Unknown };

struct Coding {
    Alphabet alphabet = Alphabet::Unknown;
    bool languageFirst = false;  // 0x10, 0x11: the text begins with its language
    bool header = false;         // 0x9x: the bytes begin with a user data header
};

Alphabet GeneralAlphabet(int coding) {
    switch ((coding >> 2) & 0x03) {
    case 0: return Alphabet::Gsm7;
    case 1: return Alphabet::EightBit;
    case 2: return Alphabet::Ucs2;
    default: return Alphabet::Unknown;
    }
}

// The cell broadcast data coding scheme, which USSD shares.
Coding CodingOf(std::optional<int> dataCoding) {
    if (!dataCoding) return {Alphabet::Gsm7};
    const int coding = *dataCoding;
    if (coding < 0 || coding > kHighestCoding) return {};
    switch (coding >> 4) {
    case 0x0:  // a language, the default alphabet
    case 0x2:
    case 0x3: return {Alphabet::Gsm7};
    case 0x1:
        if (coding == 0x10) return {Alphabet::Gsm7, true};
        if (coding == 0x11) return {Alphabet::Ucs2, true};
        return {};
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7:
        // Compressed text is beyond this program.
        if (coding & 0x20) return {};
        return {GeneralAlphabet(coding)};
    case 0x9: return {GeneralAlphabet(coding), false, true};
    case 0xF: return {coding & 0x04 ? Alphabet::EightBit : Alphabet::Gsm7};
    default: return {};
    }
}

bool IsDialable(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; }

bool AllHex(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// Hex of septets or octets, not text the phone decoded: a text of digits alone ("1000") is
// more likely a number than hex, and every text of a letter or more spells one of A to F in hex.
bool LooksLikeHex(std::string_view text) {
    return AllHex(text) && text.size() % 2 == 0 && text.find_first_not_of("0123456789") != std::string_view::npos;
}

// The length of the UTF-8 sequence that starts at `at`, 0 when none does.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (length == 0 || at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

// Text as the phone sent it, kept where it is printable ASCII or whole UTF-8; any other byte is
// U+FFFD, so that nothing the phone's character set left over reaches the screen as noise.
std::string CleanedText(std::string_view text) {
    std::string clean;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n') {
            clean += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = Utf8SequenceAt(text, i)) {
            clean.append(text.substr(i, length));
            i += length;
        } else {
            AppendUtf8(clean, 0xFFFD);
            ++i;
        }
    }
    return clean;
}

// CR LF, CR and LF all as "\n".
std::string WithPlainLineEnds(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            plain += text[i];
        } else {
            plain += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return plain;
}

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

// Leaves out the "en\r" a 0x10 text begins with.
std::string WithoutLanguage(std::string text) {
    if (text.size() >= kLanguageSeptets && IsLowerLetter(text[0]) && IsLowerLetter(text[1]) && text[2] == '\r')
        text.erase(0, kLanguageSeptets);
    return text;
}

// The octets of a user data header, its length octet included; nothing when it claims more
// than there is.
std::optional<std::size_t> HeaderOctets(const Bytes& bytes) {
    if (bytes.empty() || static_cast<std::size_t>(bytes[0]) + 1 > bytes.size()) return std::nullopt;
    return static_cast<std::size_t>(bytes[0]) + 1;
}

// The bytes after the header, for the coding schemes that announce one.
bool LeaveOutHeader(Bytes& bytes, const Coding& coding) {
    if (!coding.header) return true;
    const std::optional<std::size_t> header = HeaderOctets(bytes);
    if (!header) return false;
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*header));
    return true;
}

UssdText AsHex(std::string_view text, UssdDecoding decoding) {
    if (AllHex(text)) return {AsciiUpper(text), decoding};
    return {HexOfBytes(Bytes(text.begin(), text.end())), decoding};
}

UssdText DecodeGsm7(std::string_view text, const Coding& coding) {
    if (!LooksLikeHex(text)) return {WithoutLanguage(CleanedText(text)), UssdDecoding::AsSent};
    const Bytes bytes = *BytesFromHex(text);
    bool unpacked = !coding.header;
    for (std::uint8_t byte : bytes) unpacked = unpacked && byte < 0x80;
    if (unpacked) return {WithoutLanguage(Utf8FromGsmSeptets(bytes)), UssdDecoding::Gsm7UnpackedHex};
    Bytes septets = UnpackSeptets(bytes);
    if (coding.header) {
        const std::optional<std::size_t> headerOctets = HeaderOctets(bytes);
        if (!headerOctets) return AsHex(text, UssdDecoding::NotDecodable);
        // The header is padded to a septet's boundary.
        const std::size_t headerSeptets = (*headerOctets * 8 + 6) / 7;
        septets.erase(septets.begin(), septets.begin() + static_cast<std::ptrdiff_t>(std::min(headerSeptets, septets.size())));
    }
    // Seven spare bits at the end are filled with a CR (some networks leave them 0): no character.
    if (!septets.empty() && septets.size() % kSeptetsPerOctetRun == 0 &&
        (septets.back() == kCarriageReturn || septets.back() == 0))
        septets.pop_back();
    return {WithoutLanguage(Utf8FromGsmSeptets(septets)), UssdDecoding::Gsm7PackedHex};
}

UssdText DecodeUcs2(std::string_view text, const Coding& coding) {
    if (!AllHex(text)) return {CleanedText(text), UssdDecoding::AsSent};
    std::optional<Bytes> bytes = BytesFromHex(text);
    if (!bytes || bytes->size() % 2 != 0 || !LeaveOutHeader(*bytes, coding))
        return AsHex(text, UssdDecoding::NotDecodable);
    if (coding.languageFirst && bytes->size() >= kLanguageUcs2Octets) {
        const Bytes language = UnpackSeptets(Bytes(bytes->begin(), bytes->begin() + kLanguageUcs2Octets));
        if (language.size() == 2 && IsLowerLetter(static_cast<char>(language[0])) &&
            IsLowerLetter(static_cast<char>(language[1])))
            bytes->erase(bytes->begin(), bytes->begin() + kLanguageUcs2Octets);
    }
    std::optional<std::string> utf8 = Utf8FromUcs2(*bytes);
    if (!utf8) return AsHex(text, UssdDecoding::NotDecodable);
    return {std::move(*utf8), UssdDecoding::Ucs2Hex};
}

UssdText DecodeEightBit(std::string_view text, const Coding& coding) {
    if (!AllHex(text)) return {CleanedText(text), UssdDecoding::AsSent};
    std::optional<Bytes> bytes = BytesFromHex(text);
    if (!bytes || !LeaveOutHeader(*bytes, coding)) return AsHex(text, UssdDecoding::NotDecodable);
    // 8-bit data names no character set: only ASCII is text in every one of them.
    std::string ascii;
    for (std::uint8_t byte : *bytes) {
        if ((byte < 0x20 || byte >= 0x7F) && byte != '\r' && byte != '\n') return AsHex(text, UssdDecoding::UnknownCoding);
        ascii += static_cast<char>(byte);
    }
    return {std::move(ascii), UssdDecoding::EightBit};
}

bool StartsAsUssdLine(std::string_view line) {
    return line.size() >= kUssdLineStartSize &&
           EqualsIgnoringAsciiCase(line.substr(0, kUssdLineStartSize), kUssdLineStart);
}

} // namespace

UssdCommand UssdSendCommand(std::string_view code) {
    if (code.empty()) return {{}, UssdCodeFault::Empty};
    if (code.size() > kLongestUssdCode) return {{}, UssdCodeFault::TooLong};
    for (char c : code)
        if (!IsDialable(c)) return {{}, UssdCodeFault::NotDialable};
    return {"AT+CUSD=1,\"" + std::string(code) + kSendCodingSuffix, UssdCodeFault::None};
}

const char* UssdCodeFaultText(UssdCodeFault fault) {
    switch (fault) {
    case UssdCodeFault::None: return "";
    case UssdCodeFault::Empty: return "no code";
    case UssdCodeFault::TooLong: return "longer than 160 characters";
    case UssdCodeFault::NotDialable: return "only digits, * and #";
    }
    return "";
}

UssdText DecodeUssdText(std::string_view text, std::optional<int> dataCoding) {
    if (text.empty()) return {};
    const Coding coding = CodingOf(dataCoding);
    UssdText decoded;
    switch (coding.alphabet) {
    case Alphabet::Gsm7: decoded = DecodeGsm7(text, coding); break;
    case Alphabet::Ucs2: decoded = DecodeUcs2(text, coding); break;
    case Alphabet::EightBit: decoded = DecodeEightBit(text, coding); break;
    case Alphabet::Unknown: decoded = AsHex(text, UssdDecoding::UnknownCoding); break;
    }
    decoded.utf8 = WithPlainLineEnds(decoded.utf8);
    return decoded;
}

std::optional<UssdReply> ReadUssdLine(std::string_view line) {
    const std::optional<std::string_view> information = InformationOf(line, kUssdName);
    if (!information) return std::nullopt;
    const std::vector<std::string_view> fields = FieldsOf(*information);
    if (fields.empty() || fields.size() > 3) return std::nullopt;
    const std::optional<int> status = NumberOf(fields[0], 1);
    if (!status) return std::nullopt;
    UssdReply reply;
    reply.status = *status <= static_cast<int>(UssdStatus::NetworkTimedOut) ? static_cast<UssdStatus>(*status)
                                                                            : UssdStatus::Unknown;
    if (fields.size() == 3) {
        reply.dataCoding = NumberOf(fields[2]);
        if (!reply.dataCoding) return std::nullopt;
    }
    if (fields.size() >= 2) reply.text = DecodeUssdText(fields[1], reply.dataCoding);
    return reply;
}

void UssdReplyReader::Feed(std::string_view bytes) {
    for (char c : bytes) TakeByte(c);
}

void UssdReplyReader::TakeByte(char c) {
    if (c == '\0') return;
    if ((c == '\r' || c == '\n') && !quoted_) {
        if (!overrun_ && StartsAsUssdLine(line_)) whole_.push_back(std::move(line_));
        line_.clear();
        overrun_ = false;
        return;
    }
    if (overrun_ || (line_.empty() && c == ' ')) return;
    if (c == '"' && StartsAsUssdLine(line_)) quoted_ = !quoted_;
    line_ += c;
    if (line_.size() > kLongestUssdLine) {
        // A quote that never closes must not swallow every line after it.
        overrun_ = true;
        quoted_ = false;
        line_.clear();
    }
}

std::optional<UssdReply> UssdReplyReader::Take() {
    while (!whole_.empty()) {
        const std::string line = std::move(whole_.front());
        whole_.pop_front();
        if (std::optional<UssdReply> reply = ReadUssdLine(line)) return reply;
    }
    return std::nullopt;
}

bool UssdReplyReader::Partial() const {
    if (overrun_ || line_.empty()) return false;
    const std::size_t compared = std::min(line_.size(), kUssdLineStartSize);
    return EqualsIgnoringAsciiCase(std::string_view(line_).substr(0, compared),
                                   std::string_view(kUssdLineStart, compared));
}

const char* UssdStatusText(UssdStatus status) {
    switch (status) {
    case UssdStatus::Answered: return "answered";
    case UssdStatus::AwaitsAnswer: return "a menu awaits the answer";
    case UssdStatus::EndedByNetwork: return "ended by the network";
    case UssdStatus::OtherClient: return "answered by another program on the phone";
    case UssdStatus::NotSupported: return "not supported";
    case UssdStatus::NetworkTimedOut: return "the network did not answer in time";
    case UssdStatus::Unknown: break;
    }
    return "an answer of unknown meaning";
}

const char* UssdDecodingText(UssdDecoding decoding) {
    switch (decoding) {
    case UssdDecoding::NoText: return "no text";
    case UssdDecoding::AsSent: return "as the phone decoded it";
    case UssdDecoding::Ucs2Hex: return "UCS2 in hex";
    case UssdDecoding::Gsm7PackedHex: return "packed GSM 7-bit in hex";
    case UssdDecoding::Gsm7UnpackedHex: return "GSM 7-bit in hex";
    case UssdDecoding::EightBit: return "8-bit text";
    case UssdDecoding::UnknownCoding: return "a coding this program does not read, shown in hex";
    case UssdDecoding::NotDecodable: return "not of its coding, shown in hex";
    }
    return "";
}

} // namespace vantaro
