// The Windows side of the benchmark, run under Wine in the benchmark's own prefix: it starts
// Vantaro.exe and the baseline program, drives the Settings dialog from outside, and writes
// the table's head and one line per figure (bench/run.sh adds the host's lines). It is built in
// the same preset as the Vantaro.exe it measures (32-bit or 64-bit), so its goals are that
// build's.
//
//   BenchDriver.exe --baseline <BenchBaseline.exe> --rows <file> --notes <file>
//                   [--runs N] [--install-runs N] [--other-build <build folder>] [--only starts]
//
// --only starts measures rows 1, 2 and 5 alone: the quick loop for work on the start.
// --other-build names the build folder of the other bitness (build/windows or build/windows64):
// the sizes of its Vantaro.exe and BenchBaseline.exe go into the table beside this build's.
//
// The distribution folder and the scratch folder come from VANTARO_DIST and VANTARO_WORK, as
// for the end-to-end tests.

#include "bench/SettingsVariants.h"
#include "bench/Summary.h"
#include "bench/windows/Launch.h"
#include "bench/windows/LinkBench.h"
#include "e2e/SerialCommOverride.h"
#include "e2e/UiDriver.h"
#include "platform/ModemDevices.h"
#include "platform/win32/CodePage.h"
#include "resources/resource.h"
#include "settings/SettingsKeys.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

using e2e::VantaroProcess;

constexpr int kOperatorCount = 500;
constexpr int kSmallPortCount = 3;
constexpr int kLargePortCount = 256;
// Starts and refreshes before the counted ones: the first runs of a session load Wine's
// libraries from disk.
constexpr int kWarmUpRounds = 2;
constexpr double kInstallPausesMs = 2000;
// Two fixed pauses, driver installation and a few registry writes: far more than enough.
constexpr DWORD kInstallBoundMs = 30000;
constexpr DWORD kPollMs = 5;
constexpr char kModemSetSuccess[] = "modemsetsu";
// The command line's install, run as a script that sets up many PCs runs it; COM1 is the first
// of the ports the benchmark writes into the serial port map.
constexpr char kCommandLineInstall[] = "/install /port COM1 /quiet";

// Each build against a baseline of its own bitness; the 64-bit build's code is larger.
struct BuildGoals {
    const char* name;
    const char* preset;
    double exeSizeKib;
};
constexpr BuildGoals kBuild32{"32-bit", "windows", 1000};
constexpr BuildGoals kBuild64{"64-bit", "windows64", 1200};
// This driver's build, the one it starts.
constexpr const BuildGoals& kBuildGoals = sizeof(void*) == 8 ? kBuild64 : kBuild32;
// Either build starts to its dialog in at most this many times its bare dialog's time.
constexpr double kStartRatio = 1.10;

struct Options {
    std::string baselineExe;
    std::string rowsPath;
    std::string notesPath;
    std::string otherBuild;  // the build folder of the other bitness; empty: not measured
    int runs = 10;
    int installRuns = 5;
    bool startsOnly = false;
};

class Notes {
public:
    void Add(const std::string& line) {
        std::printf("[bench] note: %s\n", line.c_str());
        std::fflush(stdout);
        lines_.push_back(line);
    }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

void Progress(const std::string& text) {
    std::printf("[bench] %s\n", text.c_str());
    std::fflush(stdout);
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file's size in KiB (1024 bytes); nothing for a file that is not there.
std::optional<double> FileSizeKib(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    const ULONGLONG bytes = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return static_cast<double>(bytes) / 1024.0;
}

std::string ReadProfileString(const std::string& path, const char* section, const char* key, const char* fallback) {
    char value[4096] = {};
    const DWORD length = ::GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.c_str());
    return std::string(value, length);
}

// ---- 1, 2 and 5: starts to the Settings dialog ---------------------------------------------

struct LaunchFigures {
    std::vector<double> baselineMs, deliveredMs, operatorsMs;
    std::vector<double> baselineMiB, deliveredMiB;
    std::string failure;
};

LaunchFigures MeasureLaunches(const Options& options, Notes& notes) {
    LaunchFigures figures;
    // Each kind of start has a folder of its own, prepared once; nothing a start does changes it.
    const VantaroProcess delivered("bench-launch-delivered");
    const VantaroProcess operators("bench-launch-operators");
    e2e::WriteFile(operators.SettingsPath(),
                   WithOperators(e2e::ReadFile(e2e::DistFolder() + "\\" + settings::kFileName), kOperatorCount));
    const std::string baselineFolder = e2e::WorkFolder("bench-launch-baseline");
    const std::string baselineExe = baselineFolder + "\\" + FileName(options.baselineExe);
    if (!::CopyFileA(options.baselineExe.c_str(), baselineExe.c_str(), FALSE)) {
        figures.failure = "the baseline program " + options.baselineExe + " could not be copied";
        return figures;
    }

    struct Kind {
        std::string exe, folder;
        std::vector<double>* ms;
        std::vector<double>* mib;
    };
    const Kind kinds[] = {
        {baselineExe, baselineFolder, &figures.baselineMs, &figures.baselineMiB},
        {delivered.Folder() + "\\Vantaro.exe", delivered.Folder(), &figures.deliveredMs, &figures.deliveredMiB},
        {operators.Folder() + "\\Vantaro.exe", operators.Folder(), &figures.operatorsMs, nullptr},
    };
    const int kindCount = static_cast<int>(sizeof kinds / sizeof kinds[0]);
    const int rounds = kWarmUpRounds + options.runs;
    for (int round = 0; round < rounds; ++round) {
        Progress("starts, round " + std::to_string(round + 1) + " of " + std::to_string(rounds) +
                 (round < kWarmUpRounds ? " (warm-up)" : ""));
        // The order turns each round, so that no kind always follows the same other one.
        for (int k = 0; k < kindCount; ++k) {
            const Kind& kind = kinds[(round + k) % kindCount];
            const LaunchResult result = LaunchToSettingsDialog(kind.exe, kind.folder);
            if (!result.ok) {
                figures.failure = result.failure;
                return figures;
            }
            if (!result.failure.empty()) notes.Add(result.failure);
            Progress("  " + FileName(kind.folder) + ": " + FormatValue(result.visibleMs) + " ms, peak working set " +
                     FormatValue(result.peakWorkingSetMiB) + " MiB");
            if (round < kWarmUpRounds) continue;
            kind.ms->push_back(result.visibleMs);
            if (kind.mib && result.peakWorkingSetMiB > 0) kind.mib->push_back(result.peakWorkingSetMiB);
        }
    }
    return figures;
}

// ---- 3: the port list's refresh ------------------------------------------------------------

bool WritePorts(e2e::SerialCommOverride& serialComm, int count) {
    if (!serialComm.Recreate()) return false;
    for (int i = 1; i <= count; ++i) {
        // Value names in the order of the port numbers: the map enumerates by name.
        char name[32];
        std::snprintf(name, sizeof name, "\\Device\\Serial%03d", i);
        if (!serialComm.SetPortName(name, "COM" + std::to_string(i))) return false;
    }
    return true;
}

struct RefreshFigures {
    std::vector<double> smallMs, largeMs;
    std::string failure;
};

RefreshFigures MeasurePortRefresh(const Options& options) {
    RefreshFigures figures;
    // The map is the prefix's own and is put back as it was when this ends.
    e2e::SerialCommOverride serialComm;
    if (!WritePorts(serialComm, kSmallPortCount)) {
        figures.failure = "the serial port map could not be written";
        return figures;
    }
    VantaroProcess vantaro("bench-port-refresh");
    if (!vantaro.Start()) {
        figures.failure = "Vantaro.exe could not be started";
        return figures;
    }
    HWND dialog = vantaro.WaitForSettingsDialog();
    if (!dialog) {
        figures.failure = "the Settings dialog did not appear";
        return figures;
    }
    const int rounds = kWarmUpRounds + options.runs;
    for (int round = 0; round < rounds && figures.failure.empty(); ++round) {
        for (int k = 0; k < 2; ++k) {
            const bool large = (round + k) % 2 == 1;
            const int count = large ? kLargePortCount : kSmallPortCount;
            if (!WritePorts(serialComm, count)) {
                figures.failure = "the serial port map could not be written";
                break;
            }
            const Stopwatch clock;
            // Sent, not posted: it returns once the dialog has refilled the list.
            e2e::DropDown(dialog, IDC_PORT_LIST);
            const double ms = clock.ElapsedMs();
            const LRESULT listed = ::SendDlgItemMessageA(dialog, IDC_PORT_LIST, CB_GETCOUNT, 0, 0);
            if (listed != count) {
                figures.failure = "the list showed " + std::to_string(listed) + " ports instead of " +
                                  std::to_string(count);
                break;
            }
            if (round >= kWarmUpRounds) (large ? figures.largeMs : figures.smallMs).push_back(ms);
        }
    }
    e2e::Click(dialog, IDC_EXIT);
    vantaro.WaitForExit();
    return figures;
}

// ---- 4a: the install button ----------------------------------------------------------------

struct InstallFigures {
    std::vector<double> ms;
    std::string notAvailable;
};

// The INF the install will look for on this system, or why the install cannot run here.
std::string MissingInstallInput() {
    const std::string settingsPath = e2e::DistFolder() + "\\" + settings::kFileName;
    BOOL wow64 = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &wow64);
    const std::string inf =
        wow64 ? ReadProfileString(settingsPath, settings::kBaseSetting, settings::kModemInfFile64,
                                  settings::kDefaultModemInf64)
              : ReadProfileString(settingsPath, settings::kBaseSetting, settings::kModemInfFile,
                                  settings::kDefaultModemInf);
    if (!e2e::FileExists(e2e::DistFolder() + "\\" + inf))
        return "the distribution folder holds no " + inf + " (the sample INF) yet";
    return {};
}

// Which message of the language's section the status line shows, by its key.
std::string StatusDescription(const std::string& text, const std::string& settingsPath, const char* section) {
    for (const char* key : {"insetupdriver", "pleaseset", "saveset", kModemSetSuccess})
        if (ReadProfileString(settingsPath, section, key, key) == text) return std::string("the \"") + key + "\" text";
    return "\"" + Utf8FromAnsi(text) + "\"";
}

// One press of the install button, timed to the "modemsetsu" text in the status line. Message
// boxes on the way are answered with OK and noted.
bool RunInstallOnce(int run, double& ms, std::string& failure, Notes& notes) {
    e2e::SerialCommOverride serialComm;
    if (!WritePorts(serialComm, kSmallPortCount)) {
        failure = "the serial port map could not be written";
        return false;
    }
    VantaroProcess vantaro("bench-install-" + std::to_string(run));
    const std::string settingsPath = vantaro.SettingsPath();
    const std::string language = ReadProfileString(settingsPath, settings::kBaseSetting, settings::kLanguage,
                                                   settings::kDefaultLanguage);
    const char* section = language == settings::kLanguageChinese ? settings::kChinese : settings::kEnglish;
    const std::string expected = ReadProfileString(settingsPath, section, kModemSetSuccess, kModemSetSuccess);

    if (!vantaro.Start()) {
        failure = "Vantaro.exe could not be started";
        return false;
    }
    HWND dialog = vantaro.WaitForSettingsDialog();
    if (!dialog) {
        failure = "the Settings dialog did not appear";
        return false;
    }
    e2e::SelectComboItem(dialog, IDC_PORT_LIST, 0);

    const Stopwatch clock;
    e2e::Click(dialog, IDC_INSTALL);
    for (;;) {
        if (e2e::ControlText(dialog, IDC_STATUS) == expected) {
            ms = clock.ElapsedMs();
            break;
        }
        if (HWND box = vantaro.WaitForMessageBox(0)) {
            notes.Add("install run " + std::to_string(run) + ": message box \"" + Utf8FromAnsi(VantaroProcess::MessageBoxText(box)) +
                      "\" at " + FormatValue(clock.ElapsedMs()) + " ms, answered OK");
            VantaroProcess::Acknowledge(box);
        }
        if (!vantaro.Running()) {
            failure = "the program ended (exit code " + std::to_string(vantaro.ExitCode()) +
                      ") before the status line read \"" + kModemSetSuccess + "\"";
            return false;
        }
        if (clock.ElapsedMs() > kInstallBoundMs) {
            failure = "the status line did not show the \"" + std::string(kModemSetSuccess) + "\" text within " +
                      std::to_string(kInstallBoundMs / 1000) + " s of the install button; it showed " +
                      StatusDescription(e2e::ControlText(dialog, IDC_STATUS), settingsPath, section);
            return false;
        }
        ::Sleep(kPollMs);
    }
    e2e::Click(dialog, IDC_EXIT);
    if (!vantaro.WaitForExit()) notes.Add("install run " + std::to_string(run) + ": the program did not end after Exit");
    return true;
}

// ---- 4b: the command line's install --------------------------------------------------------

// One `Vantaro.exe /install /port COM1 /quiet`, timed from just before the process is created to
// its end. Its folder is a fresh copy of the distribution folder, as for the install button.
bool RunCommandLineInstallOnce(int run, double& ms, std::string& failure, Notes& notes) {
    e2e::SerialCommOverride serialComm;
    if (!WritePorts(serialComm, kSmallPortCount)) {
        failure = "the serial port map could not be written";
        return false;
    }
    VantaroProcess vantaro("bench-command-install-" + std::to_string(run));
    const Stopwatch clock;
    if (!vantaro.Start(kCommandLineInstall)) {
        failure = "Vantaro.exe could not be started";
        return false;
    }
    if (!vantaro.WaitForExit(kInstallBoundMs)) {
        // The owner ends it on the way out.
        failure = std::string(kCommandLineInstall) + " did not end within " + std::to_string(kInstallBoundMs / 1000) +
                  " s";
        notes.Add("command-line install run " + std::to_string(run) + ": still running after " +
                  std::to_string(kInstallBoundMs / 1000) + " s, ended by force");
        return false;
    }
    ms = clock.ElapsedMs();
    const DWORD exitCode = vantaro.ExitCode();
    if (exitCode != 0) {
        failure = std::string(kCommandLineInstall) + " ended with exit code " + std::to_string(exitCode);
        // The log's last line is the step that stopped it.
        std::string log = e2e::ReadFile(vantaro.Folder() + "\\Vantaro.log");
        while (!log.empty() && (log.back() == '\n' || log.back() == '\r')) log.pop_back();
        const std::size_t lineStart = log.find_last_of('\n');
        const std::string lastLine = lineStart == std::string::npos ? log : log.substr(lineStart + 1);
        notes.Add("command-line install run " + std::to_string(run) + ": exit code " + std::to_string(exitCode) +
                  (lastLine.empty() ? std::string(", nothing in Vantaro.log") : "; Vantaro.log ends: " + Utf8FromAnsi(lastLine)));
        return false;
    }
    return true;
}

// ---- 4a and 4b, run after run --------------------------------------------------------------

// Runs one kind of install `installRuns` times. `name` says which kind in the progress lines and
// the notes. The driver update installs onto every device with the sample's hardware id, so each
// modem left in the prefix would make the next install slower: every run starts with none.
template <typename RunOnce>
InstallFigures MeasureInstalls(const std::string& name, const Options& options, Notes& notes, RunOnce runOnce) {
    InstallFigures figures;
    figures.notAvailable = MissingInstallInput();
    if (!figures.notAvailable.empty()) return figures;
    for (int run = 1; run <= options.installRuns; ++run) {
        Progress(name + ", run " + std::to_string(run) + " of " + std::to_string(options.installRuns));
        platformtest::RemoveAllModemsAndDriverKeys();
        double ms = 0;
        std::string failure;
        if (!runOnce(run, ms, failure, notes)) {
            // A first run that does not get through says the install is not there yet; a later
            // one is a fault worth reading about, and the runs before it still count.
            if (figures.ms.empty()) figures.notAvailable = failure;
            else notes.Add(name + " run " + std::to_string(run) + ": " + failure);
            return figures;
        }
        Progress("  " + FormatValue(ms) + " ms");
        figures.ms.push_back(ms);
    }
    platformtest::RemoveAllModemsAndDriverKeys();
    return figures;
}

// ---- 5b and 5c: the sizes of both builds' programs ------------------------------------------

// Vantaro.exe of one build against that build's baseline program, read from the files.
Row MakeSizeRow(const BuildGoals& build, const std::string& exe, const std::string& baselineExe,
                std::string notAvailable = {}) {
    Row row;
    row.id = &build == &kBuild32 ? "5b" : "5c";
    row.figure = std::string("Vantaro.exe size, ") + build.name + " build (" + build.preset + " preset)";
    row.unit = "KiB";
    row.baseline = FileName(baselineExe) + " (" + build.name + ")";
    row.goal = {GoalKind::MedianBelow, build.exeSizeKib};
    row.notAvailable = std::move(notAvailable);
    if (!row.notAvailable.empty()) return row;
    const std::optional<double> size = FileSizeKib(exe);
    const std::optional<double> baselineSize = FileSizeKib(baselineExe);
    if (!size || !baselineSize) {
        row.notAvailable = (size ? baselineExe : exe) + " is not there (not built)";
        return row;
    }
    row.samples = {*size};
    row.baselineSamples = {*baselineSize};
    return row;
}

// ---- the table -----------------------------------------------------------------------------

Row MakeRow(std::string id, std::string figure, std::string unit, std::vector<double> samples, std::string baseline,
            std::vector<double> baselineSamples, Goal goal, std::string notAvailable = {}) {
    Row row;
    row.id = std::move(id);
    row.figure = std::move(figure);
    row.unit = std::move(unit);
    row.samples = std::move(samples);
    row.baseline = std::move(baseline);
    row.baselineSamples = std::move(baselineSamples);
    row.goal = goal;
    row.notAvailable = std::move(notAvailable);
    return row;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--baseline") options.baselineExe = e2e::WindowsPath(value);
        else if (name == "--rows") options.rowsPath = e2e::WindowsPath(value);
        else if (name == "--notes") options.notesPath = e2e::WindowsPath(value);
        else if (name == "--runs") options.runs = std::atoi(value.c_str());
        else if (name == "--install-runs") options.installRuns = std::atoi(value.c_str());
        else if (name == "--other-build") options.otherBuild = e2e::WindowsPath(value);
        else if (name == "--only" && value == "starts") options.startsOnly = true;
        else return false;
    }
    return !options.baselineExe.empty() && !options.rowsPath.empty() && !options.notesPath.empty() &&
           options.runs > 0 && options.installRuns > 0;
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro::bench;
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: BenchDriver --baseline <exe> --rows <file> --notes <file> [--runs N] [--install-runs N]\n"
                     "                   [--other-build <build folder>] [--only starts]\n");
        return 2;
    }
    Notes notes;
    const std::string vantaroExe = vantaro::e2e::DistFolder() + "\\Vantaro.exe";
    const std::string baselineName = FileName(options.baselineExe);

    const LaunchFigures launches = MeasureLaunches(options, notes);
    const bool all = !options.startsOnly;
    const RefreshFigures refresh = all ? MeasurePortRefresh(options) : RefreshFigures{};
    const InstallFigures install = all ? MeasureInstalls("install", options, notes, RunInstallOnce) : InstallFigures{};
    const InstallFigures commandLine =
        all ? MeasureInstalls("command-line install", options, notes, RunCommandLineInstallOnce) : InstallFigures{};
    const LinkFigures link = all ? MeasureKeptLink(options.runs) : LinkFigures{};
    for (const std::string& line : link.notes) notes.Add(line);

    const std::string runs = " (" + std::to_string(options.runs) + " runs)";
    // Both builds' sizes: this one's beside the programs it runs, the other's in its build folder.
    const auto sizeRow = [&](const BuildGoals& build) {
        if (&build == &kBuildGoals) return MakeSizeRow(build, vantaroExe, options.baselineExe);
        if (options.otherBuild.empty())
            return MakeSizeRow(build, {}, {}, "the other build's folder was not given (--other-build)");
        return MakeSizeRow(build, options.otherBuild + "\\Vantaro\\Vantaro.exe",
                           options.otherBuild + "\\bench\\" + baselineName);
    };
    std::vector<Row> rows = {
        MakeRow("1", "start to Settings dialog on screen, delivered Setting.ini" + runs, "ms", launches.deliveredMs,
                baselineName + " (" + kBuildGoals.name + "): template 129 only", launches.baselineMs,
                {GoalKind::RatioAtMost, kStartRatio},
                launches.failure),
        MakeRow("2", "start to Settings dialog, " + std::to_string(kOperatorCount) + " operators" + runs, "ms",
                launches.operatorsMs, "delivered Setting.ini (2 operators)", launches.deliveredMs,
                {GoalKind::AddedBelow, 20}, launches.failure),
        MakeRow("3", "port list refresh (drop-down), " + std::to_string(kLargePortCount) + " SERIALCOMM ports" + runs,
                "ms", refresh.largeMs, std::to_string(kSmallPortCount) + " ports", refresh.smallMs,
                {GoalKind::MedianBelow, 50}, refresh.failure),
        MakeRow("4a",
                "install button to \"modemsetsu\", sample INF (" + std::to_string(install.ms.size()) + " runs)", "ms",
                install.ms, "the fixed pauses, 2 x 1000 ms", {kInstallPausesMs}, {GoalKind::AddedBelow, 500},
                install.notAvailable),
        MakeRow("4b",
                "`Vantaro.exe " + std::string(kCommandLineInstall) + "`, process start to exit, sample INF (" +
                    std::to_string(commandLine.ms.size()) + " runs)",
                "ms", commandLine.ms, "the fixed pauses, 2 x 1000 ms", {kInstallPausesMs}, {GoalKind::AddedBelow, 600},
                commandLine.notAvailable),
        MakeRow("5a", "peak working set at the Settings dialog" + runs, "MiB", launches.deliveredMiB, baselineName,
                launches.baselineMiB, {GoalKind::RatioAtMost, 1.5},
                launches.failure.empty() && launches.deliveredMiB.empty() ? "the platform gave no memory counters"
                                                                          : launches.failure),
        sizeRow(kBuild32),
        sizeRow(kBuild64),
        MakeRow("10",
                "CPU of Vantaro.exe, connected through the RAS double, statistics line ticking, over 10 s (" +
                    link.cpuSource + ")",
                "% of one core", link.connectedCpuPercent, "the same dialog idle, 10 s", link.idleCpuPercent,
                {GoalKind::AddedBelow, 1}, link.cpuFailure),
        MakeRow("11a",
                "the double's drop to \"linkdropped\" in the status line, signalled by the service (" +
                    std::to_string(link.signalledDropMs.size()) + " drops)",
                "ms", link.signalledDropMs, "the keeper's tick, 1000 ms", {1000}, {GoalKind::MaxBelow, 2000},
                link.signalledFailure),
        MakeRow("11b",
                "the same, the signal refused (notification_result=5): the status check every 5 s (" +
                    std::to_string(link.polledDropMs.size()) + " drops)",
                "ms", link.polledDropMs, "the status check's period, 5000 ms", {5000}, {GoalKind::MaxBelow, 6000},
                link.polledFailure),
        MakeRow("12",
                "the dialog's thread while connected: longest WM_NULL round trip, sent every 20 ms, per connection (" +
                    std::to_string(link.connectedLongestMs.size()) + " connections)",
                "ms", link.connectedLongestMs, "the same over 1 s idle before each polled drop", link.idleLongestMs,
                {GoalKind::MaxBelow, 50},
                link.connectedLongestMs.empty() ? link.signalledFailure + link.polledFailure : std::string()),
    };

    if (!all) {
        const auto notAStart = [](const Row& row) { return row.id != "1" && row.id != "2" && row.id[0] != '5'; };
        rows.erase(std::remove_if(rows.begin(), rows.end(), notAStart), rows.end());
    }

    // The table starts here; the host's lines follow.
    std::string table = TableHeader();
    for (const Row& row : rows) table += TableRow(row);
    std::string noteText;
    for (const std::string& line : notes.Lines()) noteText += "- " + line + "\n";
    vantaro::e2e::WriteFile(options.rowsPath, table);
    vantaro::e2e::WriteFile(options.notesPath, noteText);
    std::printf("%s", table.c_str());
    return 0;
}
