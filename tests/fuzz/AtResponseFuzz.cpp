// What a port sends back to a command: any bytes, in any pieces. The reader takes the same bytes
// however they are split; it never takes more than a response may hold; its lines hold no line
// end or NUL; it calls a port "not a modem" exactly when the bytes it took end in a run of 32 NUL
// bytes or 1024 bytes without a line end; a final result is the last line it took. The answers'
// readers (SIM, signal, registration, maker, model, tries left, PIN lock) take whatever the
// response holds.

#include "fuzz/FuzzCheck.h"
#include "phone/AtResponse.h"
#include "phone/PhoneCheck.h"
#include "phone/SimCodes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

using namespace vantaro;

const char* const kCommands[] = {"AT", "AT+CGMI", "AT+CGMM", "ATI", "AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+CPIN=\"1234\"",
                                 "AT+CPINR", "AT+CLCK=\"SC\",2"};

// Whether the bytes end in what makes a port no modem, worked out on its own: the length of the
// last line so far (NULs counted) and the run of NULs at its end.
bool EndsAsNoModem(const std::string& taken) {
    std::size_t line = 0, nuls = 0;
    for (char c : taken) {
        if (c == '\r' || c == '\n') {
            line = nuls = 0;
            continue;
        }
        ++line;
        nuls = c == '\0' ? nuls + 1 : 0;
    }
    return nuls >= kNulRunOfNoModem || line >= kLongestLineBytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);
    const std::string command = data.PickValueInArray(kCommands);
    // Pieces as reads return them, then the same bytes in one piece.
    std::vector<std::string> pieces;
    std::string all;
    while (data.remaining_bytes() > 0) {
        pieces.push_back(data.ConsumeRandomLengthString(600));
        all += pieces.back();
    }

    ResponseReader split(command);
    std::size_t taken = 0;
    for (const std::string& piece : pieces) {
        const std::size_t took = split.Feed(piece);
        Require(took <= piece.size(), "never takes more than it was given");
        taken += took;
        if (split.Done()) break;
        Require(took == piece.size(), "a reader that is not done takes every byte");
    }
    ResponseReader whole(command);
    Require(whole.Feed(all) == taken, "the same bytes are taken however they are split");

    const AtResponse& a = split.Response();
    const AtResponse& b = whole.Response();
    Require(a.end == b.end && a.result == b.result && a.lines == b.lines && a.unsolicited == b.unsolicited &&
                a.finalLine == b.finalLine && a.echoed == b.echoed,
            "the same response however the bytes are split");
    Require(a.received == taken && taken <= kResponseCapBytes, "no more than a response may hold");
    for (const std::vector<std::string>* lines : {&a.lines, &a.unsolicited})
        for (const std::string& line : *lines)
            Require(!line.empty() && line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos,
                    "a line holds no line end and no NUL, and is never blank");
    const std::string took = all.substr(0, taken);
    Require((a.end == ResponseEnd::NotAModem) == (EndsAsNoModem(took) && a.end != ResponseEnd::Final),
            "not a modem exactly after a NUL run or an endless line");
    if (a.end == ResponseEnd::Final) {
        Require(FinalResultOf(a.finalLine) == a.result && a.result != FinalResult::None, "the final line is a final result");
        Require(took.back() == '\r' || took.back() == '\n', "the final result is the last line taken");
    }
    if (a.end == ResponseEnd::TooLong) Require(taken == kResponseCapBytes, "too long only at the cap");

    const std::optional<int> signal = SignalFrom(a);
    Require(!signal || (*signal >= 0 && *signal <= kSignalHighest), "a signal is 0 to 31 or unknown");
    SimFrom(a);
    RegistrationFrom(a);
    MakerFrom(a);
    ModelFrom(a);
    for (SimState sim : {SimState::Pin, SimState::Puk}) {
        const std::optional<int> tries = TriesLeftFrom(a, sim);
        Require(!tries || (*tries >= 0 && *tries <= 99), "a count is a small number or none");
    }
    LockFrom(a);
    return 0;
}
