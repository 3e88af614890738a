// The dial and install logic on real threads, built with ThreadSanitizer: the dialog's thread
// changes the language, saves and leaves while the install worker runs; it cancels while the
// dial thread waits or while the service's notifier reports. The services are in memory, but
// waits really block, sleeps really sleep and notifications come from threads of their own, so
// every interleaving the program can meet is possible here. Each round must end within a bound.

#include "dialup/DialNotify.h"
#include "fakes/FakeDeviceSetup.h"
#include "fakes/FakeProcessLauncher.h"
#include "fakes/FakeRasLibrary.h"
#include "fakes/FakeRegistry.h"
#include "fakes/ModemInfText.h"
#include "fakes/SettingsFormFixture.h"
#include "modem/ModemRegistry.h"
#include "workflow/DialSession.h"
#include "workflow/FormInstallReport.h"
#include "workflow/InstallSequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <random>
#include <thread>

namespace vantaro {
namespace {

using namespace std::chrono_literals;
using testing::FakeControls;
using testing::MemoryProfile;
using testing::RecordingMessages;

constexpr int kRounds = 200;
// No round takes longer than this unless something hangs.
constexpr auto kRoundBound = 10s;

constexpr char kSettings[] =
    "[Setting]\nnumber=*99***1#\nusername=card\npassword=secret\napn=cmnet\nconn_mode=1\n"
    "connection_name=My GPRS\n"
    "[BaseSetting]\nlanguage=1\nhardwareid_in_inf=USB\\VID_1782&PID_0003&MI_01\n"
    "[English]\nconectting=Connecting...\nconnectsucess=Connected.\nmodemsetsu=Installed.\n"
    "[Chinese]\nconectting=Lianjie\nconnectsucess=Lianshang\nmodemsetsu=Anzhuang\n";

std::mt19937& Random() {
    static std::mt19937 random(20240611);
    return random;
}
int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random()); }

// Runs work on a thread of its own and waits for it, at most kRoundBound.
class Worker {
public:
    void Start(std::function<void()> work) {
        std::packaged_task<void()> task(std::move(work));
        done_ = task.get_future();
        thread_ = std::thread(std::move(task));
    }
    bool Started() const { return thread_.joinable(); }
    // False when the work did not end in time; the process is then beyond saving.
    bool Finish() {
        if (!thread_.joinable()) return true;
        if (done_.wait_for(kRoundBound) != std::future_status::ready) {
            thread_.detach();
            return false;
        }
        thread_.join();
        return true;
    }
    ~Worker() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
    std::future<void> done_;
};

// The dialog's side of one round: the form over its controls and profile, as the Settings
// dialog sets it up.
struct Dialog : testing::SettingsFormFixture {
    Dialog() : SettingsFormFixture(kSettings) {
        form.LoadSettings();
        controls.SetItems(IDC_PORT_LIST, {"COM3", "COM5"});
        controls.SetCurSel(IDC_PORT_LIST, 1);
    }
    void ChangeLanguage() {
        controls.SetCurSel(IDC_LANGUAGE, Between(0, 1));
        form.ChangeLanguage();
    }

    RecordingMessages workerMessages;
};

// --- install --------------------------------------------------------------------------------

// The sequence's fixed pauses, shortened: what matters is that the thread really sleeps.
class SleepingClock final : public Clock {
public:
    explicit SleepingClock(int pauseUs) : pauseUs_(pauseUs) {}
    std::uint32_t TickCount() const override { return 0; }
    void Sleep(std::uint32_t) override { std::this_thread::sleep_for(std::chrono::microseconds(pauseUs_)); }

private:
    int pauseUs_;
};

// The real chain below the sequence, over the platform's fakes.
struct InstallPlatformFakes {
    explicit InstallPlatformFakes(int pauseUs)
        : clock(pauseUs), services{setup, processes, files, ras, registry, clock, record} {
        files.files = {{"modem_inf.inf", "C:\\Vantaro\\modem_inf.inf"}};
        files.contents = {{"C:\\Vantaro\\modem_inf.inf", testing::ModemInf()},
                          {std::string("C:\\Vantaro\\") + testing::kInfDriverPath, "MZ"}};
        ras.devices = {{"modem", "ZOR GPRS Modem"}};
        registry.CreateKey(kRootModemKey);
        registry.SetString(NumberedSubKey(kModemClassKey, 0), "DriverDesc", kModemDriverDesc);
    }
    testing::FakeDeviceSetup setup;
    testing::FakeProcessLauncher processes;
    testing::FakeFileSearch files;
    testing::FakeRasLibrary ras;
    testing::FakeRegistry registry;
    SleepingClock clock;
    testing::FakeRegistry record;
    InstallPlatform services;
};

TEST(InstallRace, TheDialogChangesLanguageSavesAndEndsWhileTheWorkerInstalls) {
    int completed = 0;
    for (int round = 0; round < kRounds; ++round) {
        Dialog dialog;
        InstallPlatformFakes platform(Between(0, 300));
        std::optional<InstallRequest> request = dialog.form.BeginInstall(ProcessKind::Native32);
        ASSERT_TRUE(request);
        FormInstallReport report(dialog.form, dialog.workerMessages);
        Worker worker;
        worker.Start([&] { dialog.form.EndInstall(RunInstallSequence(*request, platform.services, report)); });

        for (int step = Between(0, 6); step > 0; --step) {
            std::this_thread::sleep_for(std::chrono::microseconds(Between(0, 200)));
            switch (Between(0, 3)) {
            case 0: dialog.ChangeLanguage(); break;
            case 1: dialog.form.SaveSettings(); break;
            case 2: dialog.form.SetStatusText(dialog.form.LookUpMessage("conectting")); break;
            default: (void)dialog.form.PortName(); break;
            }
        }
        if (Between(0, 1) == 0)
            dialog.controls.EndWithOk();
        else
            dialog.controls.End();
        ASSERT_TRUE(worker.Finish()) << "round " << round << ": the install worker did not end";
        // What the outcome dialog reads once the Settings dialog is gone.
        completed += dialog.form.modemInstalled.load() == 1 && dialog.form.connectionCreated.load() == 1;
        (void)dialog.form.ConnectionName();
    }
    std::cout << "[ measure  ] " << kRounds << " install rounds, " << completed << " ran to the end\n";
}

// --- dial -----------------------------------------------------------------------------------

// Events whose wait really blocks, as the platform's do.
class BlockingEvents final : public DialEvents {
public:
    std::shared_ptr<DialEvent> Create(bool manualReset) override {
        return std::make_shared<Event>(shared_, manualReset);
    }
    int WaitForAny(const std::vector<DialEvent*>& events, std::uint32_t timeoutMs) override {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        int found = kTimedOut;
        shared_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (std::size_t i = 0; i < events.size(); ++i)
                if (static_cast<Event*>(events[i])->signalled) {
                    found = static_cast<int>(i);
                    return true;
                }
            return false;
        });
        if (found >= 0) {
            Event* event = static_cast<Event*>(events[static_cast<std::size_t>(found)]);
            if (!event->manualReset) event->signalled = false;
        }
        return found;
    }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
    };
    struct Event final : DialEvent {
        Event(std::shared_ptr<Shared> shared, bool manual) : shared(std::move(shared)), manualReset(manual) {}
        void Signal() override {
            std::lock_guard<std::mutex> lock(shared->mutex);
            signalled = true;
            shared->changed.notify_all();
        }
        std::shared_ptr<Shared> shared;
        const bool manualReset;
        bool signalled = false;  // under shared->mutex
    };
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

class SteadyClock final : public Clock {
public:
    std::uint32_t TickCount() const override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
    void Sleep(std::uint32_t milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
};

// A service that reports from a thread of its own after a while, or never: the one fake of the
// library, its dial answered here under a lock of its own.
class ThreadedRasService final : public testing::FakeRasLibrary {
public:
    enum class Outcome { Never, Connect, Error };

    ThreadedRasService(Outcome outcome, int reportAfterUs) : outcome_(outcome), reportAfterUs_(reportAfterUs) {}
    ~ThreadedRasService() override {
        if (notifier_.joinable()) notifier_.join();
    }

    std::uint32_t Dial(ras::RASDIALPARAMSA&, ras::ConnectionHandle* connection, Notifier notifier) override {
        std::lock_guard<std::mutex> lock(mutex_);
        *connection = ++lastConnection_;
        live_[*connection] = true;
        if (outcome_ != Outcome::Never) {
            const Outcome outcome = outcome_;
            const int after = reportAfterUs_;
            notifier_ = std::thread([outcome, after, notifier] {
                std::this_thread::sleep_for(std::chrono::microseconds(after));
                if (outcome == Outcome::Connect)
                    notifier(0, ras::kStateConnected, 0);
                else
                    notifier(0, 0, 678);
            });
        }
        return 0;
    }
    std::uint32_t HangUp(ras::ConnectionHandle connection) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++hangUps_[connection];
        live_[connection] = false;
        return 0;
    }
    std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!live_[connection]) return ras::kErrorInvalidHandle;
        status->rasconnstate = ras::kStateConnected;
        return 0;
    }
    std::uint32_t GetErrorString(std::uint32_t, char* buffer, std::uint32_t bufferSize) override {
        if (bufferSize > 0) buffer[0] = '\0';
        return 1;
    }

    // Waits for the notifier, so that its report cannot reach the next round's dial.
    void JoinNotifier() {
        if (notifier_.joinable()) notifier_.join();
    }
    // Connections handed out, each with the number of times it was hung up.
    std::map<ras::ConnectionHandle, int> HangUpsPerConnection() const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::map<ras::ConnectionHandle, int> result;
        for (ras::ConnectionHandle c = 1; c <= lastConnection_; ++c) {
            auto found = hangUps_.find(c);
            result[c] = found == hangUps_.end() ? 0 : found->second;
        }
        return result;
    }

private:
    const Outcome outcome_;
    const int reportAfterUs_;
    mutable std::mutex mutex_;
    ras::ConnectionHandle lastConnection_ = 0;
    std::map<ras::ConnectionHandle, bool> live_;
    std::map<ras::ConnectionHandle, int> hangUps_;
    std::thread notifier_;
};

TEST(DialRace, CancellingWhileTheDialStartsWaitsOrConnectsEndsTheDialThreadAndHangsUpOnce) {
    int dialled = 0;
    for (int round = 0; round < kRounds; ++round) {
        Dialog dialog;
        const auto outcome = static_cast<ThreadedRasService::Outcome>(Between(0, 2));
        ThreadedRasService ras(outcome, Between(0, 1500));
        BlockingEvents events;
        SteadyClock clock;
        auto session = std::make_shared<DialSession>(dialog.form, ras, events, clock);
        session->ClearDialState();

        Worker dialThread;
        session->ConnectClicked([&](std::function<void()> work) {
            dialThread.Start(std::move(work));
            return true;
        });
        std::this_thread::sleep_for(std::chrono::microseconds(Between(0, 1500)));
        if (Between(0, 3) == 0) (void)session->Connection();
        session->CancelClicked([&] { dialog.controls.End(); });
        session->DialogEnded();

        ASSERT_TRUE(dialThread.Finish()) << "round " << round << ": the dial thread did not end after the cancel";
        ras.JoinNotifier();
        for (const auto& [connection, hangUps] : ras.HangUpsPerConnection()) {
            ++dialled;
            EXPECT_EQ(hangUps, 1) << "round " << round << ": connection " << connection
                                  << " must be hung up exactly once once the dialog has ended";
        }
        if (::testing::Test::HasFailure()) break;
        SetDialEvents({});
    }
    std::cout << "[ measure  ] " << kRounds << " dial rounds, " << dialled << " dials reached the service\n";
}

} // namespace
} // namespace vantaro
