// phonecheck.exe: the phone check from a console, for tests and for trying a phone by hand.
//
//   phonecheck.exe PORT...             checks every port at once; prints one line per port as
//                                      it is done: port, state, maker, model, SIM, signal,
//                                      network, tab-separated
//   phonecheck.exe --pin PORT PIN      sends the PIN once; prints accepted, rejected, not valid,
//                                      no answer or not opened
//   phonecheck.exe --stop-after MS PORT...   stops the check after MS milliseconds (what a
//                                      closing dialog does); prints what was done by then
//
// Exit code: 0 when the check ran (whatever it found), 1 for a PIN not accepted, 2 for a wrong
// command line.

#include "phone/PhoneCheckRun.h"
#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace vantaro;

const char* PinText(PinOutcome outcome) {
    switch (outcome) {
    case PinOutcome::Accepted: return "accepted";
    case PinOutcome::Rejected: return "rejected";
    case PinOutcome::Blocked: return "blocked";
    case PinOutcome::NotValid: return "not valid";
    case PinOutcome::NoAnswer: return "no answer";
    case PinOutcome::NotOpened: return "not opened";
    case PinOutcome::Stopped: return "stopped";
    }
    return "";
}

int Usage() {
    std::fputs("usage: phonecheck.exe [--stop-after MS] PORT... | --pin PORT PIN\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    PhoneServices services{std::make_shared<Win32SerialPorts>(), std::make_shared<SteadyClock>()};
    PhoneCheckRun run(services);

    if (argc == 4 && std::strcmp(argv[1], "--pin") == 0) {
        PinOutcome result = PinOutcome::NoAnswer;
        run.SendCode(argv[2], {CodeAction::EnterPin, Secret(argv[3]), {}}, [&](const PinAnswer& answer) { result = answer.outcome; });
        if (!run.WaitAll(kWholeCheckBoundMs)) return 1;
        std::printf("%s\n", PinText(result));
        return result == PinOutcome::Accepted ? 0 : 1;
    }

    int first = 1;
    long stopAfter = -1;
    if (argc > 2 && std::strcmp(argv[1], "--stop-after") == 0) {
        char* end = nullptr;
        stopAfter = std::strtol(argv[2], &end, 10);
        if (*end != '\0' || stopAfter < 0 || stopAfter > static_cast<long>(kWholeCheckBoundMs)) return Usage();
        first = 3;
    }
    if (first >= argc) return Usage();
    std::vector<std::string> ports(argv + first, argv + argc);
    run.Check(ports, [&](const PortFindings& findings) {
        std::printf("%s\n", CheckLine(findings).c_str());
        std::fflush(stdout);
    });
    if (stopAfter >= 0) {
        run.WaitAll(static_cast<std::uint32_t>(stopAfter));
        run.Stop();
        return 0;
    }
    run.WaitAll(kWholeCheckBoundMs);
    return 0;
}
