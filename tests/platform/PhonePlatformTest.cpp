// The phone check through the real Win32 serial ports, against simulated phones on pseudo-
// terminals linked into the test prefix as COM ports (tests/tools/simphone.py starts them
// before this program and stops them after it; the port numbers below are its command line's).
// What runs side by side is held as an order: a port whose reads are held cannot finish, so what
// happens meanwhile did not wait for it. The times go to the output.

#include "fakes/HoldingPorts.h"
#include "phone/PhoneCheckRun.h"
#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <future>
#include <mutex>
#include <thread>

namespace vantaro {
namespace {

using std::chrono::milliseconds;
using Moment = std::chrono::steady_clock::time_point;

long long MsSince(Moment start) {
    return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
}

constexpr char kNoOperator[] = "no operator";
// simphone.py's SIM unless told otherwise: IMSI 46000..., EF_AD saying two MNC digits.
constexpr char kHome46000[] = "home network 460-00 (from the SIM)";

// The simulated phones, as the test's command line starts them.
struct SimulatedPort {
    const char* port;
    const char* behaviour;
    const char* line;  // what /check prints for it
    const char* simOperator = kNoOperator;  // what the check makes of its SIM's operator
};

const SimulatedPort kPorts[] = {
    {"COM51", "ready", "COM51\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM52", "echo", "COM52\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM53", "chatty", "COM53\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM54", "pin", "COM54\tmodem\tZOR\tZ100\tPIN\t20\thome"},
    {"COM55", "nosignal", "COM55\tmodem\tZOR\tZ100\tready\t\tnot registered", kHome46000},
    {"COM56", "denied", "COM56\tmodem\tZOR\tZ100\tready\t20\tdenied", kHome46000},
    {"COM57", "searching", "COM57\tmodem\tZOR\tZ100\tready\t20\tsearching", kHome46000},
    {"COM58", "silent", "COM58\tno answer\t\t\t\t\t"},
    {"COM59", "slow", "COM59\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM60", "garbage", "COM60\tnot a modem\t\t\t\t\t"},
    {"COM61", "nul", "COM61\tnot a modem\t\t\t\t\t"},
    {"COM62", "closes", "COM62\tno answer\t\t\t\t\t"},
    {"COM63", "held", "COM63\tbusy\t\t\t\t\t"},
    {"COM64", "(no link)", "COM64\tno answer\t\t\t\t\t"},
    {"COM65", "not a port", "COM65\trefused\t\t\t\t\t"},
    {"COM67", "ready, a three-digit MNC", "COM67\tmodem\tZOR\tZ100\tready\t20\thome", "home network 310-260 (from the SIM)"},
    {"COM68", "ready, EF_AD refused", "COM68\tmodem\tZOR\tZ100\tready\t20\thome",
     "registered network 460-00, may be the visited one when roaming"},
    {"COM91", "numeric results", "COM91\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM92", "RING before the echo", "COM92\tmodem\tZOR\tZ100\tready\t20\thome", kHome46000},
    {"COM93", "COMMAND NOT SUPPORT", "COM93\tmodem\tZOR\tZ100\tready\t20\thome",
     "registered network 460-00, may be the visited one when roaming"},
    {"COM94", "SIM failure in words", "COM94\tmodem\tZOR\tZ100\tno SIM\t20\thome"},
    {"COM95", "PIN2", "COM95\tmodem\tZOR\tZ100\tPIN2\t20\thome", kHome46000},
    {"COM96", "PH-SIM PIN", "COM96\tmodem\tZOR\tZ100\tPH-SIM PIN\t20\thome"},
};

class SimulatedPhones : public ::testing::Test {
protected:
    std::shared_ptr<testing::HoldingPorts> ports = std::make_shared<testing::HoldingPorts>(std::make_shared<Win32SerialPorts>());
    PhoneServices services{ports, std::make_shared<SteadyClock>()};
};

TEST_F(SimulatedPhones, EveryKindOfPortIsFoundForWhatItIsAllAtOnce) {
    std::mutex mutex;
    struct Found {
        std::string line;
        std::string simOperator;
        Moment at;
    };
    std::map<std::string, Found> found;
    std::vector<std::string> names;
    for (const SimulatedPort& port : kPorts)
        if (std::string(port.port) != "COM54") names.push_back(port.port);  // the PIN test's own

    auto notReported = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        std::string left;
        for (const std::string& name : names)
            if (found.count(name) == 0) left += " " + name;
        return left;
    };
    // The silent COM58, eighth in the list, is held: a check that took the ports one by one would
    // stop there, and the ports after it would never report.
    ports->Hold({"COM58"});
    const Moment start = std::chrono::steady_clock::now();
    PhoneCheckRun run(services);
    run.Check(names, [&](const PortFindings& findings) {
        std::lock_guard<std::mutex> lock(mutex);
        found[findings.port] = {CheckLine(findings), DescribeSimOperator(findings.simOperator),
                                std::chrono::steady_clock::now()};
    });
    const Moment bound = start + milliseconds(kWholeCheckBoundMs);
    while (notReported() != " COM58" && std::chrono::steady_clock::now() < bound) ::Sleep(20);
    const std::string whileHeld = notReported();
    std::cout << "[ figure   ] every port but the held COM58 reported within " << MsSince(start) << " ms" << std::endl;
    ports->LetGo();
    EXPECT_EQ(whileHeld, " COM58") << "the ports that had not reported while the silent COM58 was held";
    ASSERT_TRUE(run.WaitAll(kWholeCheckBoundMs)) << "workers still running after " << kWholeCheckBoundMs
                                                  << " ms; not reported:" << notReported();
    std::cout << "[ figure   ] the whole check, COM58 let go, took " << MsSince(start) << " ms; the ready COM51 reported after "
              << std::chrono::duration_cast<milliseconds>(found["COM51"].at - start).count() << " ms" << std::endl;

    for (const SimulatedPort& port : kPorts) {
        if (std::string(port.port) == "COM54") continue;
        ASSERT_EQ(found.count(port.port), 1u) << port.port << " (" << port.behaviour << ") reported once";
        EXPECT_EQ(found[port.port].line, port.line) << port.behaviour;
        EXPECT_EQ(found[port.port].simOperator, port.simOperator) << port.behaviour;
    }
}

TEST_F(SimulatedPhones, ThePinIsTakenOnceAndTheSimIsReadyAfterIt) {
    PhoneCheckRun run(services);
    std::vector<PinOutcome> outcomes;
    auto record = [&](const PinAnswer& answer) { outcomes.push_back(answer.outcome); };
    run.SendCode("COM54", {CodeAction::EnterPin, Secret("123"), {}}, record);
    run.SendCode("COM54", {CodeAction::EnterPin, Secret("9999"), {}}, record);
    ASSERT_TRUE(run.WaitAll(kWholeCheckBoundMs)) << "the workers sending PINs to COM54 still run";
    run.SendCode("COM54", {CodeAction::EnterPin, Secret("1234"), {}}, record);
    ASSERT_TRUE(run.WaitAll(kWholeCheckBoundMs)) << "the worker sending the PIN to COM54 still runs";
    EXPECT_EQ(outcomes, (std::vector<PinOutcome>{PinOutcome::NotValid, PinOutcome::Rejected, PinOutcome::Accepted}));

    std::string line, simOperator;
    run.Check({"COM54"}, [&](const PortFindings& findings) {
        line = CheckLine(findings);
        simOperator = DescribeSimOperator(findings.simOperator);
    });
    ASSERT_TRUE(run.WaitAll(kWholeCheckBoundMs)) << "the worker checking COM54 still runs";
    EXPECT_EQ(line, "COM54\tmodem\tZOR\tZ100\tready\t20\thome");
    EXPECT_EQ(simOperator, kHome46000) << "once the SIM is ready, it is asked";
}

TEST_F(SimulatedPhones, AStopReturnsAtOnceAndTheWorkersCloseTheirPortsWithinASlice) {
    auto run = std::make_unique<PhoneCheckRun>(services);
    std::atomic<int> reports{0};
    ports->Hold({"COM58", "COM66"});
    run->Check({"COM58", "COM66"}, [&](const PortFindings&) { ++reports; });
    ASSERT_TRUE(ports->WaitUntilWaiting(2, milliseconds(kWholeCheckBoundMs))) << ports->Waiting() << " of the workers on COM58, COM66 reached a read";
    const Moment stopping = std::chrono::steady_clock::now();
    run->Stop();
    std::cout << "[ figure   ] Stop returned after " << MsSince(stopping) << " ms" << std::endl;
    // Both workers are held in a read: a stop that waited for them would not be back yet.
    EXPECT_FALSE(run->WaitAll(0)) << "Stop returned only after its workers had ended";
    ports->LetGo();
    const Moment letGo = std::chrono::steady_clock::now();
    EXPECT_TRUE(run->WaitAll(kWholeCheckBoundMs)) << "the workers on COM58, COM66 did not end at their next bound";
    std::cout << "[ figure   ] let go, the workers ended within " << MsSince(letGo) << " ms" << std::endl;
    EXPECT_EQ(reports, 0);
    // The ports are free again: each opens at once.
    Win32SerialPorts ports;
    EXPECT_EQ(ports.Open("COM58").error, PortOpenError::None);
}

// The Win32 port itself.
TEST(Win32SerialPort, NamesThatAreNoPortNamesAreRefusedUnopened) {
    Win32SerialPorts ports;
    for (const std::string& name : {std::string(), std::string("COM1\\..\\x"), std::string("C:"), std::string(33, 'C'),
                                   std::string("COM5 "), std::string("\\\\.\\COM5")}) {
        const PortOpenResult result = ports.Open(name);
        EXPECT_EQ(result.error, PortOpenError::Refused) << name;
        EXPECT_EQ(result.platformError, static_cast<std::uint32_t>(ERROR_INVALID_NAME)) << name;
    }
    EXPECT_EQ(DevicePath("COM51"), "\\\\.\\COM51");
}

TEST(Win32SerialPort, OpenErrorsAreToldApart) {
    Win32SerialPorts ports;
    const std::pair<const char*, std::pair<PortOpenError, DWORD>> cases[] = {
        {"COM63", {PortOpenError::Busy, ERROR_ACCESS_DENIED}},
        {"COM64", {PortOpenError::Missing, ERROR_FILE_NOT_FOUND}},
    };
    for (const auto& [name, expected] : cases) {
        const PortOpenResult result = ports.Open(name);
        EXPECT_EQ(result.error, expected.first) << name;
        EXPECT_EQ(result.platformError, expected.second) << name;
        EXPECT_EQ(result.port, nullptr) << name;
    }
    EXPECT_EQ(OpenErrorOf(ERROR_SHARING_VIOLATION), PortOpenError::Busy) << "what Windows says for a port held open";
}

TEST(Win32SerialPort, AWriteToAPortThatStopsTakingDataEndsWithinItsBound) {
    // COM97 reads nothing: the write fills its buffer and then waits. It is the first call on
    // the port, as a PIN's only write is. It runs on a thread that owns the port, so that a write
    // without a bound fails the test instead of hanging it.
    Win32SerialPorts ports;
    std::shared_ptr<SerialPort> stuck = ports.Open("COM97").port;
    ASSERT_NE(stuck, nullptr);
    auto written = std::make_shared<std::promise<bool>>();
    std::future<bool> outcome = written->get_future();
    const Moment start = std::chrono::steady_clock::now();
    std::thread([stuck, written] { written->set_value(stuck->Write(std::string(1 << 20, 'A'))); }).detach();
    // A write without a bound never ends; one with a bound ends after about that long, and a loaded
    // machine takes no more than twenty times as long.
    ASSERT_EQ(outcome.wait_for(milliseconds(20 * kWriteBoundMs)), std::future_status::ready)
        << "the write is still blocked " << 20 * kWriteBoundMs << " ms on (its bound is " << kWriteBoundMs << " ms)";
    std::cout << "[ figure   ] the write to the stuck port ended after " << MsSince(start) << " ms (its bound: " << kWriteBoundMs
              << " ms)" << std::endl;
    EXPECT_FALSE(outcome.get()) << "a write that did not all go out says so";
}

TEST(Win32SerialPort, AReadReturnsSoonAfterTheAnswerAndWaitsOutItsLimitOnSilence) {
    Win32SerialPorts ports;
    PortOpenResult ready = ports.Open("COM51");
    ASSERT_EQ(ready.error, PortOpenError::None);
    ready.port->Purge();
    ASSERT_TRUE(ready.port->Write("AT\r"));
    // A limit far beyond the phone's answer (about 50 ms): reads that waited it out would show.
    constexpr std::uint32_t kLongLimitMs = 20000;
    Moment start = std::chrono::steady_clock::now();
    std::string answer;
    for (int read = 0; read < 3 && answer.find("OK\r\n") == std::string::npos; ++read) {
        const std::optional<std::string> bytes = ready.port->Read(kLongLimitMs);
        ASSERT_TRUE(bytes.has_value());
        answer += *bytes;
    }
    const long long answered = MsSince(start);
    std::cout << "[ figure   ] the answer was read after " << answered << " ms" << std::endl;
    EXPECT_EQ(answer, "\r\nOK\r\n");
    EXPECT_LT(answered, kLongLimitMs) << "a read waited out its limit although the answer had come";

    PortOpenResult silent = ports.Open("COM58");
    ASSERT_EQ(silent.error, PortOpenError::None);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(silent.port->Read(200), std::optional<std::string>(""));
    const long long waited = MsSince(start);
    std::cout << "[ figure   ] a 200 ms read on silence returned after " << waited << " ms" << std::endl;
    // The limit is waited out (the timer may end it a little early), and not many times over.
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 10 * 200);
}

} // namespace
} // namespace vantaro
