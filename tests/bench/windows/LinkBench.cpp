#include "bench/windows/LinkBench.h"

#include "bench/windows/Launch.h"
#include "e2e/UiDriver.h"
#include "platform/win32/UniqueHandle.h"
#include "rasdouble/RasDoubleControl.h"
#include "resources/resource.h"
#include "settings/SettingsKeys.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace vantaro::bench {
namespace {

using e2e::VantaroProcess;

constexpr int kMostSignalledRounds = 4;
constexpr int kMostPolledRounds = 3;
// The keeper's status check where the service refuses to signal a drop.
constexpr DWORD kStatusCheckMs = 5000;
constexpr DWORD kCpuWindowMs = 10000;
// The first ticks after the dialog appears, or after the link is up, are not the steady state.
constexpr DWORD kSettleMs = 1000;
constexpr DWORD kConnectedSettleMs = 250;
constexpr DWORD kIdleProbeMs = 1000;
constexpr DWORD kProbePeriodMs = 20;
constexpr DWORD kProbeBoundMs = 2000;
constexpr DWORD kConnectBoundMs = 10000;
constexpr DWORD kFirstPolledDropMs = 100;
// Past the drop the double was told of: the longest wait for the check, a tick, and room.
constexpr DWORD kDropBoundMs = kStatusCheckMs + 5000;
constexpr DWORD kLogPollMs = 2;
constexpr DWORD kStatusPollMs = 5;
// The double refuses the signal with this code in the polled run.
constexpr char kRefusal[] = "5";
constexpr char kDroppedLine[] = "dropped handle=";
constexpr char kDroppedKey[] = "linkdropped";
constexpr char kDroppedDefault[] = "link dropped";
constexpr char kConnectedKey[] = "connectsucess";

std::string ReadProfileString(const std::string& path, const char* section, const char* key, const char* fallback) {
    char value[4096] = {};
    const DWORD length = ::GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.c_str());
    return std::string(value, length);
}

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

ULONGLONG Value(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The CPU time of another process, in 100 ns units. Wine answers GetProcessTimes about any
// process with the caller's own user and kernel times; where the answer about the program is
// the driver's own, the program's threads are asked one by one instead (GetThreadTimes, which
// Wine reads from the kernel's account of each thread). That misses a thread that ends inside a
// window: none of the program's threads does while a link is kept.
class CpuClock {
public:
    explicit CpuClock(DWORD processId)
        : processId_(processId), process_(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId)) {
        ULONGLONG ownBefore = 0, program = 0, ownAfter = 0;
        const bool answered = OwnTicks(ownBefore) && ProcessTicks(program) && OwnTicks(ownAfter);
        byThreads_ = !answered || (ownBefore <= program && program <= ownAfter);
    }
    bool Open() const { return static_cast<bool>(process_); }
    const char* Source() const { return byThreads_ ? "the sum of its threads' GetThreadTimes" : "GetProcessTimes"; }
    ULONGLONG Ticks() const {
        ULONGLONG ticks = 0;
        if (byThreads_) ThreadTicks(ticks);
        else ProcessTicks(ticks);
        return ticks;
    }

private:
    bool ProcessTicks(ULONGLONG& ticks) const {
        FILETIME created{}, ended{}, kernel{}, user{};
        if (!process_ || !::GetProcessTimes(process_.get(), &created, &ended, &kernel, &user)) return false;
        ticks = Value(kernel) + Value(user);
        return true;
    }
    static bool OwnTicks(ULONGLONG& ticks) {
        FILETIME created{}, ended{}, kernel{}, user{};
        if (!::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user)) return false;
        ticks = Value(kernel) + Value(user);
        return true;
    }
    void ThreadTicks(ULONGLONG& ticks) const {
        const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        if (!snapshot) return;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID != processId_) continue;
            const UniqueKernelHandle thread(::OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
            FILETIME created{}, ended{}, kernel{}, user{};
            if (thread && ::GetThreadTimes(thread.get(), &created, &ended, &kernel, &user))
                ticks += Value(kernel) + Value(user);
        }
    }

    DWORD processId_;
    UniqueKernelHandle process_;
    bool byThreads_ = false;
};

// Percent of one core that the process used over `ms` of waiting.
double CpuPercentOver(const CpuClock& clock, DWORD ms) {
    const ULONGLONG before = clock.Ticks();
    const Stopwatch wall;
    ::Sleep(ms);
    const ULONGLONG after = clock.Ticks();
    const double cpuMs = static_cast<double>(after - before) / 10000.0;
    return cpuMs * 100.0 / wall.ElapsedMs();
}

// Sends WM_NULL to the dialog every 20 ms from a thread of its own and keeps the longest round
// trip: how long the dialog's thread left a message waiting.
class RoundTripProbe {
public:
    explicit RoundTripProbe(HWND dialog) : thread_([this, dialog] { Run(dialog); }) {}
    RoundTripProbe(const RoundTripProbe&) = delete;
    RoundTripProbe& operator=(const RoundTripProbe&) = delete;
    ~RoundTripProbe() { Stop(); }
    // The longest round trip, once the probes have ended.
    double Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return longestMs_;
    }

private:
    void Run(HWND dialog) {
        while (!stop_) {
            const Stopwatch clock;
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kProbeBoundMs, &ignored);
            const double ms = clock.ElapsedMs();
            longestMs_ = std::max(longestMs_, ms);
            if (ms < kProbePeriodMs) ::Sleep(static_cast<DWORD>(kProbePeriodMs - ms));
        }
    }

    std::atomic<bool> stop_{false};
    double longestMs_ = 0;
    std::thread thread_;
};

// One run of Vantaro.exe dialling through the double.
class Session {
public:
    Session(rasdouble::Installation& ras, const std::string& name, LinkFigures& figures)
        : ras_(ras), vantaro_(name), figures_(figures) {}

    bool Start(std::string& failure) {
        // Redial off: a drop ends in the dropped text alone, and Connect is on again.
        std::string settings = e2e::ReadFile(vantaro_.SettingsPath());
        const std::string redialOn = "\nredial=1\r\n";
        const std::size_t at = settings.find(redialOn);
        if (at == std::string::npos) {
            failure = "the delivered Setting.ini holds no redial=1 line";
            return false;
        }
        settings.replace(at, redialOn.size(), "\nredial=0\r\n");
        vantaro_.WriteSettings(settings);
        const std::string path = vantaro_.SettingsPath();
        const std::string language = ReadProfileString(path, settings::kBaseSetting, settings::kLanguage,
                                                       settings::kDefaultLanguage);
        const char* section = language == settings::kLanguageChinese ? settings::kChinese : settings::kEnglish;
        connected_ = ReadProfileString(path, section, kConnectedKey, kConnectedKey);
        dropped_ = ReadProfileString(path, section, kDroppedKey, kDroppedDefault);

        if (!vantaro_.Start()) {
            failure = "Vantaro.exe could not be started";
            return false;
        }
        dialog_ = vantaro_.WaitForSettingsDialog();
        if (!dialog_) {
            failure = "the Settings dialog did not appear";
            return false;
        }
        ::Sleep(kSettleMs);
        return true;
    }

    HWND Dialog() const { return dialog_; }
    DWORD ProcessId() const { return vantaro_.ProcessId(); }

    // Dials with the drop the double is to make, and waits for the connected text.
    bool Connect(DWORD dropAfterMs, std::string& failure) {
        ras_.Set("Link", "drop_after_ms", std::to_string(dropAfterMs));
        dropsBefore_ = ras_.LogLinesStartingWith(kDroppedLine).size();
        e2e::Click(dialog_, IDC_DIAL);
        if (!e2e::WaitUntil([&] { return e2e::ControlText(dialog_, IDC_STATUS) == connected_; }, kConnectBoundMs)) {
            failure = "the status line did not show the \"" + std::string(kConnectedKey) + "\" text within " +
                      std::to_string(kConnectBoundMs / 1000) + " s of Connect";
            return false;
        }
        return true;
    }

    bool StatisticsShown() const { return !e2e::ControlText(dialog_, IDC_LINK_STATS).empty(); }

    // Waits for the double's drop, then for the dropped text; `ms` is the time between.
    bool TimeDrop(DWORD dropAfterMs, double& ms, std::string& failure) {
        const Stopwatch sinceConnected;
        const double bound = static_cast<double>(dropAfterMs + kDropBoundMs);
        while (ras_.LogLinesStartingWith(kDroppedLine).size() <= dropsBefore_) {
            if (sinceConnected.ElapsedMs() > bound) {
                failure = "the double did not drop the link";
                return false;
            }
            ::Sleep(kLogPollMs);
        }
        const Stopwatch sinceDrop;
        while (!StartsWith(e2e::ControlText(dialog_, IDC_STATUS), dropped_)) {
            if (sinceDrop.ElapsedMs() > kDropBoundMs) {
                failure = "the status line did not show the \"" + std::string(kDroppedKey) + "\" text within " +
                          std::to_string(kDropBoundMs / 1000) + " s of the drop";
                return false;
            }
            ::Sleep(kStatusPollMs);
        }
        ms = sinceDrop.ElapsedMs();
        return true;
    }

    void Exit() {
        e2e::Click(dialog_, IDC_EXIT);
        if (!vantaro_.WaitForExit()) figures_.notes.push_back(vantaro_.Folder() + ": the program did not end after Exit");
    }

private:
    rasdouble::Installation& ras_;
    VantaroProcess vantaro_;
    LinkFigures& figures_;
    HWND dialog_ = nullptr;
    std::string connected_, dropped_;
    std::size_t dropsBefore_ = 0;
};

void Progress(const std::string& text) {
    std::printf("[bench] %s\n", text.c_str());
    std::fflush(stdout);
}

// A connection that drops `dropAfterMs` after it is up, timed, with the dialog probed throughout.
bool DropRound(Session& session, DWORD dropAfterMs, std::vector<double>& dropMs, LinkFigures& figures,
               std::string& failure) {
    if (!session.Connect(dropAfterMs, failure)) return false;
    RoundTripProbe probe(session.Dialog());
    double ms = 0;
    const bool timed = session.TimeDrop(dropAfterMs, ms, failure);
    figures.connectedLongestMs.push_back(probe.Stop());
    if (!timed) return false;
    dropMs.push_back(ms);
    Progress("  dropped after " + std::to_string(dropAfterMs) + " ms: shown " + std::to_string(static_cast<int>(ms)) +
             " ms after the drop");
    return true;
}

void MeasureSignalled(rasdouble::Installation& ras, int rounds, LinkFigures& figures) {
    ras.Set("Link", "notification_result", "0");
    Session session(ras, "bench-link-signalled", figures);
    std::string& failure = figures.signalledFailure;
    if (!session.Start(failure)) {
        figures.cpuFailure = failure;
        return;
    }
    const CpuClock clock(session.ProcessId());
    if (!clock.Open()) {
        figures.cpuFailure = "the running Vantaro.exe could not be opened for its times";
    } else {
        figures.cpuSource = clock.Source();
        Progress("link: CPU idle, " + std::to_string(kCpuWindowMs / 1000) + " s");
        figures.idleCpuPercent.push_back(CpuPercentOver(clock, kCpuWindowMs));
    }
    // The first connection carries the CPU window and drops once it is over.
    const DWORD firstDrop = kConnectedSettleMs + kCpuWindowMs + 750;
    if (!session.Connect(firstDrop, failure)) {
        if (figures.cpuFailure.empty()) figures.cpuFailure = failure;
        session.Exit();
        return;
    }
    ::Sleep(kConnectedSettleMs);
    if (clock.Open()) {
        Progress("link: CPU connected, " + std::to_string(kCpuWindowMs / 1000) + " s");
        figures.connectedCpuPercent.push_back(CpuPercentOver(clock, kCpuWindowMs));
        if (!session.StatisticsShown()) figures.cpuFailure = "the statistics line stayed empty while connected";
    }
    double ms = 0;
    if (!session.TimeDrop(firstDrop, ms, failure)) {
        session.Exit();
        return;
    }
    figures.signalledDropMs.push_back(ms);
    // The later drops come 1 to 2 s after the link is up, at different points of the tick.
    for (int round = 1; round < rounds; ++round) {
        const DWORD dropAfter = 1000 + static_cast<DWORD>(round) * 1000 / static_cast<DWORD>(rounds);
        Progress("link: signalled drop, round " + std::to_string(round + 1) + " of " + std::to_string(rounds));
        if (!DropRound(session, dropAfter, figures.signalledDropMs, figures, failure)) break;
    }
    session.Exit();
}

void MeasurePolled(rasdouble::Installation& ras, int rounds, LinkFigures& figures) {
    ras.Set("Link", "notification_result", kRefusal);
    Session session(ras, "bench-link-polled", figures);
    std::string& failure = figures.polledFailure;
    if (!session.Start(failure)) return;
    // The drops are spread over the check's five seconds. The first comes before the keeper's
    // first tick of the link, the slowest case: its first check is five ticks after that one.
    for (int round = 0; round < rounds; ++round) {
        Progress("link: polled drop, round " + std::to_string(round + 1) + " of " + std::to_string(rounds));
        RoundTripProbe idle(session.Dialog());
        ::Sleep(kIdleProbeMs);
        figures.idleLongestMs.push_back(idle.Stop());
        const DWORD dropAfter =
            kFirstPolledDropMs + static_cast<DWORD>(round) * kStatusCheckMs / static_cast<DWORD>(rounds);
        if (!DropRound(session, dropAfter, figures.polledDropMs, figures, failure)) break;
    }
    session.Exit();
}

} // namespace

LinkFigures MeasureKeptLink(int runs) {
    LinkFigures figures;
    rasdouble::Installation ras("bench-link");
    if (!ras.Installed()) {
        figures.cpuFailure = figures.signalledFailure = figures.polledFailure =
            "the rasapi32.dll double could not be put in place: " + ras.Error();
        return figures;
    }
    const Stopwatch clock;
    MeasureSignalled(ras, std::min(runs, kMostSignalledRounds), figures);
    MeasurePolled(ras, std::min(runs, kMostPolledRounds), figures);
    Progress("link: " + std::to_string(static_cast<int>(clock.ElapsedMs() / 1000)) + " s in all");
    return figures;
}

} // namespace vantaro::bench
