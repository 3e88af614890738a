// The check of a modem INF before an install (read the file, parse it, choose the model for the
// hardware id, look for the files it copies) on INF files of 10 KB and 1 MB, with Google
// Benchmark. The model is the file's last, so that the search passes every other model. The
// 1 MB check must stay below 50 ms, and its time per byte near the 10 KB file's: the check
// grows linearly with the file.
//
//   inf_check_bench --rows <file> --folder <dir> [--runs N] [Google Benchmark options]
//
// Writes the table lines to the rows file.

#include "bench/Summary.h"
#include "bench/host/HostBench.h"
#include "fakes/ModemInfText.h"
#include "modem/InfCheck.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

// The first is the baseline of the other.
constexpr std::size_t kSizes[] = {10 * 1024, 1024 * 1024};
constexpr double kLinearLimit = 1.5;
constexpr double kMillisecondsFor1Mb = 50;

std::string g_folder;

std::string FilePath(std::size_t size) { return g_folder + "/modem-" + std::to_string(size) + ".inf"; }

std::optional<InfProblem> CheckFile(const std::string& path) {
    InfCheckInput input{path, std::nullopt, testing::kInfHardwareId, InfPlatform::Amd64,
                        [](const std::string&) { return true; }};
    std::ifstream file(path, std::ios::binary);
    if (file) input.bytes = std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return CheckModemInf(input);
}

void CheckInf(benchmark::State& state) {
    const std::size_t size = kSizes[state.range(0)];
    if (CheckFile(FilePath(size))) {
        state.SkipWithError("the benchmark INF does not pass the check");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(CheckFile(FilePath(size)));
    std::ifstream file(FilePath(size), std::ios::binary | std::ios::ate);
    state.counters["bytes"] = static_cast<double>(file.tellg());
    state.counters["variant"] = static_cast<double>(state.range(0));
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro::bench;
    KeepFreedMemory();
    benchmark::Initialize(&argc, argv);
    const std::optional<HostBenchOptions> options = ParseHostBenchOptions(argc, argv, true, "inf_check_bench");
    if (!options) return 2;
    const std::string& rowsPath = options->rowsPath;
    const int runs = options->runs;
    g_folder = options->folder;

    for (std::size_t size : kSizes)
        std::ofstream(FilePath(size), std::ios::binary | std::ios::trunc) << vantaro::testing::ModemInfOfSize(size);

    auto* benchmark = benchmark::RegisterBenchmark("InfCheck/CheckModemInf", &CheckInf);
    benchmark->Arg(0)->Arg(1)->Repetitions(runs)->UseRealTime()->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter("variant");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (reporter.samples.size() != 2) {
        std::fprintf(stderr, "the INF check benchmark gave %zu of its 2 files\n", reporter.samples.size());
        return 1;
    }
    const std::string runsText = " (" + std::to_string(runs) + " runs)";
    Row time;
    time.id = "9a";
    time.figure = "INF check before an install (read, parse, find the model and its files), 1 MB INF" + runsText;
    time.unit = "ms";
    time.samples = reporter.Times(1, 1e6);
    time.baseline = "10 KB INF";
    time.baselineSamples = reporter.Times(0, 1e6);
    time.goal = {GoalKind::MedianBelow, kMillisecondsFor1Mb};

    Row perByte;
    perByte.id = "9b";
    perByte.figure = "INF check, 1 MB INF: time per byte" + runsText;
    perByte.unit = "ns/B";
    perByte.samples = reporter.NsPerByte(1);
    perByte.baseline = "10 KB INF (" + FormatValue(SpreadOf(reporter.Times(0, 1e6)).median * 1000) + " us per check)";
    perByte.baselineSamples = reporter.NsPerByte(0);
    perByte.goal = {GoalKind::RatioAtMost, kLinearLimit};

    const std::string table = TableRow(time) + TableRow(perByte);
    std::ofstream(rowsPath, std::ios::binary | std::ios::trunc) << table;
    std::printf("%s", table.c_str());
    return 0;
}
