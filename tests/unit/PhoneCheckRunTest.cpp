// Several ports checked at once on real threads: each port reports as soon as it is done, a
// stop returns at once and nothing reports after it. What "at once" means is held as an order:
// a port whose reads are held cannot finish, so whatever happens meanwhile did not wait for it.
// The times go to the output.

#include "fakes/FakePhonePort.h"
#include "fakes/HoldingPorts.h"
#include "phone/PhoneCheckRun.h"
#include "platform/SteadyClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <mutex>
#include <thread>

namespace vantaro {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Short probes so that silent ports end quickly.
constexpr CheckTimings kQuick{100, 3, 200, 500};
// A bound for waits that end a test: a loaded machine meets it, only a failure waits this long.
constexpr std::uint32_t kBoundMs = 30000;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

class CheckRun : public ::testing::Test {
protected:
    CheckRun()
        : scripted(std::make_shared<testing::FakePhonePorts>(*clock)), ports(std::make_shared<testing::HoldingPorts>(scripted)) {}

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
    // Polls until the condition holds, at most kBoundMs.
    template <typename Condition>
    static bool Eventually(Condition condition) {
        const Clock::time_point start = Clock::now();
        while (!condition()) {
            if (MsSince(start) >= kBoundMs) return false;
            std::this_thread::sleep_for(milliseconds(10));
        }
        return true;
    }

    std::shared_ptr<SteadyClock> clock = std::make_shared<SteadyClock>();
    std::shared_ptr<testing::FakePhonePorts> scripted;
    std::shared_ptr<testing::HoldingPorts> ports;  // what the runs open
    std::mutex mutex;
    std::vector<std::pair<PortFindings, Clock::time_point>> reports;
};

TEST_F(CheckRun, EveryPortIsCheckedAtOnceAndReportsWhenItIsDone) {
    std::vector<std::string> names;
    std::set<std::string> silent;
    for (int i = 1; i <= 16; ++i) {
        names.push_back("COM" + std::to_string(i));
        scripted->Add(names.back(), i == 7 ? testing::ReadyPhone() : testing::SilentPhone());
        if (i != 7) silent.insert(names.back());
    }
    // The silent ports cannot finish until they are let go: a run that took the ports one by one
    // would wait in COM1 and never reach the phone on COM7.
    ports->Hold(silent);
    const Clock::time_point start = Clock::now();
    PhoneCheckRun run({ports, clock}, kQuick);
    run.Check(names, Recorder());
    const bool allReading = ports->WaitUntilWaiting(static_cast<int>(silent.size()), milliseconds(kBoundMs));
    const bool phoneReported = Eventually([&] { return !Reports().empty(); });
    const auto phoneFound = Reports();
    std::cout << "[ figure   ] the phone on COM7 reported after " << MsSince(start) << " ms" << std::endl;
    ports->LetGo();
    EXPECT_TRUE(allReading) << ports->Waiting() << " of the " << silent.size() << " silent ports were reading at once";
    ASSERT_TRUE(phoneReported) << "the phone on COM7 did not report while the silent ports were held";
    ASSERT_EQ(phoneFound.size(), 1u) << "only the phone reported while the silent ports were held";
    EXPECT_EQ(phoneFound.front().first.port, "COM7") << "the phone reports first, before the silent ports end";
    EXPECT_EQ(phoneFound.front().first.state, PortState::Modem);

    const bool ended = run.WaitAll(kBoundMs);
    std::cout << "[ figure   ] sixteen ports, three " << kQuick.probeMs << " ms probes each, side by side: " << MsSince(start)
              << " ms in all" << std::endl;
    const auto found = Reports();
    ASSERT_TRUE(ended) << "workers still running after " << kBoundMs << " ms; " << found.size() << " of 16 reported";
    ASSERT_EQ(found.size(), 16u);
    for (const std::string& name : names)
        EXPECT_TRUE(scripted->Log(name)->closed) << name << ", opened " << scripted->Log(name)->opens << " times";
}

TEST_F(CheckRun, AStopReturnsAtOnceAndNothingIsReportedAfterIt) {
    scripted->Add("COM1", testing::SilentPhone());
    scripted->Add("COM2", testing::TablePhone(testing::ReadyPhoneAnswers(), false, 150));
    ports->Hold({"COM1", "COM2"});
    auto run = std::make_unique<PhoneCheckRun>(PhoneServices{ports, clock}, CheckTimings{1000, 3, 2000, 5000});
    run->Check({"COM1", "COM2"}, Recorder());
    ASSERT_TRUE(ports->WaitUntilWaiting(2, milliseconds(kBoundMs))) << ports->Waiting() << " of 2 workers reached a read";
    const Clock::time_point stopping = Clock::now();
    run->Stop();
    std::cout << "[ figure   ] Stop returned after " << MsSince(stopping) << " ms" << std::endl;
    // Both workers are held in a read, so a stop that waited for a phone would not be back yet.
    EXPECT_FALSE(run->WaitAll(0)) << "a stop never waits for a phone: it returned after its workers ended";
    ports->LetGo();
    // The workers end on their own at their next bound, and close their ports.
    EXPECT_TRUE(run->WaitAll(kBoundMs)) << "workers on COM1, COM2 still running after " << kBoundMs << " ms";
    run.reset();
    EXPECT_TRUE(Reports().empty());
    EXPECT_TRUE(scripted->Log("COM1")->closed);
    EXPECT_TRUE(scripted->Log("COM2")->closed);
}

TEST_F(CheckRun, DestroyingARunStopsIt) {
    scripted->Add("COM1", testing::SilentPhone());
    ports->Hold({"COM1"});
    const std::shared_ptr<testing::PortLog> log = scripted->Log("COM1");
    Clock::time_point destroying;
    {
        PhoneCheckRun run({ports, clock}, CheckTimings{1000, 3, 2000, 5000});
        run.Check({"COM1"}, Recorder());
        ASSERT_TRUE(ports->WaitUntilWaiting(1, milliseconds(kBoundMs))) << "the worker on COM1 never reached a read";
        destroying = Clock::now();
    }
    std::cout << "[ figure   ] the run was destroyed in " << MsSince(destroying) << " ms" << std::endl;
    EXPECT_FALSE(log->closed) << "destroying the run waited for its worker to end";
    ports->LetGo();
    EXPECT_TRUE(Eventually([&] { return log->closed.load(); })) << "the worker did not close COM1 within " << kBoundMs << " ms";
    EXPECT_TRUE(Reports().empty());
}

TEST_F(CheckRun, ThePinGoesToItsPortOnAWorkerAndAnInvalidOneIsRefusedAtOnce) {
    scripted->Add("COM1", [](const std::string& command) {
        return testing::Answers{{20, command == "AT+CPIN=\"1234\"" ? "\r\nOK\r\n" : "\r\nERROR\r\n"}};
    });
    PhoneCheckRun run({ports, clock}, kQuick);
    std::vector<PinOutcome> outcomes;
    auto record = [&](const PinAnswer& answer) { outcomes.push_back(answer.outcome); };
    run.SendCode("COM1", {CodeAction::EnterPin, Secret("12"), {}}, record);
    EXPECT_EQ(outcomes, std::vector<PinOutcome>{PinOutcome::NotValid});
    run.SendCode("COM1", {CodeAction::EnterPin, Secret("1234"), {}}, record);
    ASSERT_TRUE(run.WaitAll(kBoundMs)) << "the worker sending the PIN to COM1 still runs after " << kBoundMs << " ms";
    EXPECT_EQ(outcomes, (std::vector<PinOutcome>{PinOutcome::NotValid, PinOutcome::Accepted}));
    EXPECT_EQ(scripted->Log("COM1")->commands, std::vector<std::string>{"AT+CPIN=\"1234\""});
}

} // namespace
} // namespace vantaro
