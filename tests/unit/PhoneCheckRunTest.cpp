// Several ports checked at once on real threads: each port reports as soon as it is done, a
// stop returns at once and nothing reports after it.

#include "fakes/FakePhonePort.h"
#include "phone/PhoneCheckRun.h"
#include "phone/SteadyClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

namespace vantaro {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Short probes so that silent ports end quickly.
constexpr CheckTimings kQuick{100, 3, 200, 500};

class CheckRun : public ::testing::Test {
protected:
    CheckRun() : ports(std::make_shared<testing::FakePhonePorts>(*clock)) {}

    PhoneCheckRun::Report Recorder() {
        return [this](const PortFindings& findings) {
            std::lock_guard<std::mutex> lock(mutex);
            reports.push_back({findings, Clock::now()});
        };
    }
    std::vector<std::pair<PortFindings, Clock::time_point>> Reports() {
        std::lock_guard<std::mutex> lock(mutex);
        return reports;
    }

    std::shared_ptr<SteadyClock> clock = std::make_shared<SteadyClock>();
    std::shared_ptr<testing::FakePhonePorts> ports;
    std::mutex mutex;
    std::vector<std::pair<PortFindings, Clock::time_point>> reports;
};

TEST_F(CheckRun, EveryPortIsCheckedAtOnceAndReportsWhenItIsDone) {
    std::vector<std::string> names;
    for (int i = 1; i <= 16; ++i) {
        names.push_back("COM" + std::to_string(i));
        ports->Add(names.back(), i == 7 ? testing::ReadyPhone() : testing::SilentPhone());
    }
    const Clock::time_point start = Clock::now();
    PhoneCheckRun run({ports, clock}, kQuick);
    run.Check(names, Recorder());
    ASSERT_TRUE(run.WaitAll(5000));
    const auto done = Clock::now();

    const auto found = Reports();
    ASSERT_EQ(found.size(), 16u);
    EXPECT_EQ(found.front().first.port, "COM7") << "the phone reports first, before the silent ports end";
    EXPECT_EQ(found.front().first.state, PortState::Modem);
    EXPECT_LT(found.front().second - start, milliseconds(200));
    // Sixteen ports of three 100 ms probes each, side by side: about 300 ms, not 4.5 s.
    EXPECT_LT(done - start, milliseconds(1500));
    for (const std::string& name : names)
        EXPECT_TRUE(ports->Log(name)->closed) << name << ", opened " << ports->Log(name)->opens << " times";
}

TEST_F(CheckRun, AStopReturnsAtOnceAndNothingIsReportedAfterIt) {
    ports->Add("COM1", testing::SilentPhone());
    ports->Add("COM2", testing::TablePhone(testing::ReadyPhoneAnswers(), false, 150));
    auto run = std::make_unique<PhoneCheckRun>(PhoneServices{ports, clock}, CheckTimings{1000, 3, 2000, 5000});
    run->Check({"COM1", "COM2"}, Recorder());
    std::this_thread::sleep_for(milliseconds(50));
    const Clock::time_point stopping = Clock::now();
    run->Stop();
    EXPECT_LT(Clock::now() - stopping, milliseconds(50)) << "a stop never waits for a phone";
    const std::shared_ptr<testing::PortLog> log = ports->Log("COM1");
    // The workers end on their own at their next bound, and close their ports.
    EXPECT_TRUE(run->WaitAll(1000));
    run.reset();
    EXPECT_TRUE(Reports().empty());
    EXPECT_TRUE(log->closed);
    EXPECT_TRUE(ports->Log("COM2")->closed);
}

TEST_F(CheckRun, DestroyingARunStopsIt) {
    ports->Add("COM1", testing::SilentPhone());
    const Clock::time_point start = Clock::now();
    {
        PhoneCheckRun run({ports, clock}, CheckTimings{1000, 3, 2000, 5000});
        run.Check({"COM1"}, Recorder());
    }
    EXPECT_LT(Clock::now() - start, milliseconds(50));
    for (int i = 0; i < 50 && !ports->Log("COM1")->closed; ++i) std::this_thread::sleep_for(milliseconds(10));
    EXPECT_TRUE(ports->Log("COM1")->closed) << "the worker closed its port within a read slice";
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CheckRun, ThePinGoesToItsPortOnAWorkerAndAnInvalidOneIsRefusedAtOnce) {
    ports->Add("COM1", [](const std::string& command) {
        return testing::Answers{{20, command == "AT+CPIN=\"1234\"" ? "\r\nOK\r\n" : "\r\nERROR\r\n"}};
    });
    PhoneCheckRun run({ports, clock}, kQuick);
    std::vector<PinOutcome> outcomes;
    auto record = [&](const PinAnswer& answer) { outcomes.push_back(answer.outcome); };
    run.SendCode("COM1", {CodeAction::EnterPin, Secret("12"), {}}, record);
    EXPECT_EQ(outcomes, std::vector<PinOutcome>{PinOutcome::NotValid});
    run.SendCode("COM1", {CodeAction::EnterPin, Secret("1234"), {}}, record);
    ASSERT_TRUE(run.WaitAll(2000));
    EXPECT_EQ(outcomes, (std::vector<PinOutcome>{PinOutcome::NotValid, PinOutcome::Accepted}));
    EXPECT_EQ(ports->Log("COM1")->commands, std::vector<std::string>{"AT+CPIN=\"1234\""});
}

} // namespace
} // namespace vantaro
