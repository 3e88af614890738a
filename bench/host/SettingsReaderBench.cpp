// The settings reader (IniDocument with the profile rules of ProfileString, as IniFileProfile
// runs them: read the file, parse it, look the key up) on files of 10 KB, 100 KB and 1 MB,
// with Google Benchmark. The key is the file's last, so that every lookup passes the whole
// file. Reading grows linearly with the file when the time per byte stays the same.
//
//   settings_reader_bench --rows <file> --folder <dir> [--runs N] [Google Benchmark options]
//
// Writes the two table lines (100 KB and 1 MB against 10 KB) to the rows file.

#include "bench/SettingsVariants.h"
#include "bench/Summary.h"
#include "settings/IniFileProfile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

constexpr std::size_t kSizes[] = {10 * 1024, 100 * 1024, 1024 * 1024};
// Growing linearly: the time per byte of the larger files within half again of the smallest's.
constexpr double kLinearLimit = 1.5;

std::string g_folder;

std::string FilePath(std::size_t size) { return g_folder + "/reader-" + std::to_string(size) + ".ini"; }

void ReadLastKey(benchmark::State& state) {
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const IniFileProfile profile(FilePath(size));
    if (profile.ReadString(kLastSection, kLastKey, "") != kLastValue) {
        state.SkipWithError("the benchmark file does not read back");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(profile.ReadString(kLastSection, kLastKey, ""));
    std::ifstream file(FilePath(size), std::ios::binary | std::ios::ate);
    state.counters["bytes"] = static_cast<double>(file.tellg());
}

// Keeps each repetition's time per byte, by file size, while the console shows the usual report.
class CollectingReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto bytes = run.counters.find("bytes");
            if (bytes == run.counters.end() || bytes->second.value <= 0) continue;
            const double ns = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto size = static_cast<std::size_t>(bytes->second.value);
            nsPerByte[size].push_back(ns / bytes->second.value);
            nsPerRead[size].push_back(ns);
        }
    }

    std::map<std::size_t, std::vector<double>> nsPerByte;
    std::map<std::size_t, std::vector<double>> nsPerRead;
};

std::string SizeName(std::size_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB" : std::to_string(bytes / 1024) + " KB";
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro::bench;
    benchmark::Initialize(&argc, argv);
    std::string rowsPath;
    int runs = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--rows") rowsPath = argv[i + 1];
        else if (name == "--folder") g_folder = argv[i + 1];
        else if (name == "--runs") runs = std::atoi(argv[i + 1]);
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (rowsPath.empty() || g_folder.empty() || runs < 1) {
        std::fprintf(stderr, "usage: settings_reader_bench --rows <file> --folder <dir> [--runs N]\n");
        return 2;
    }

    // The files are made once, from the exact byte counts the figures are named after
    // (within one section's length).
    for (std::size_t size : kSizes)
        std::ofstream(FilePath(size), std::ios::binary | std::ios::trunc) << ReaderFileOfSize(size);

    benchmark::RegisterBenchmark("SettingsReader/ReadLastKey", &ReadLastKey)
        ->Arg(static_cast<std::int64_t>(kSizes[0]))
        ->Arg(static_cast<std::int64_t>(kSizes[1]))
        ->Arg(static_cast<std::int64_t>(kSizes[2]))
        ->Repetitions(runs)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // The counters hold each file's real size; the smallest is the baseline.
    if (reporter.nsPerByte.size() != 3) {
        std::fprintf(stderr, "the settings reader benchmark gave %zu sizes instead of 3\n", reporter.nsPerByte.size());
        return 1;
    }
    auto smallest = reporter.nsPerByte.begin();
    std::string table;
    char id = 'a';
    for (auto it = std::next(smallest); it != reporter.nsPerByte.end(); ++it, ++id) {
        Row row;
        row.id = std::string("6") + id;
        const double medianUs = SpreadOf(reporter.nsPerRead[it->first]).median / 1000.0;
        row.figure = "settings reader (read, parse, look up the last key), " + SizeName(it->first) +
                     " file: time per byte; " + FormatValue(medianUs) + " us per read (" + std::to_string(runs) +
                     " runs)";
        row.unit = "ns/B";
        row.samples = it->second;
        row.baseline = SizeName(smallest->first) + " file (" +
                       FormatValue(SpreadOf(reporter.nsPerRead[smallest->first]).median / 1000.0) + " us per read)";
        row.baselineSamples = smallest->second;
        row.goal = {GoalKind::RatioAtMost, kLinearLimit};
        table += TableRow(row);
    }
    std::ofstream(rowsPath, std::ios::binary | std::ios::trunc) << table;
    std::printf("%s", table.c_str());
    return 0;
}
