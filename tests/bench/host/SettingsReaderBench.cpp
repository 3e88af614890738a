// The settings reader (IniDocument with the profile rules of ProfileString, as IniFileProfile
// runs them: read the file, parse it, look the key up) on files of 10 KB, 100 KB and 1 MB,
// with Google Benchmark; the 1 MB file also with '\r' alone ending its lines, which a reader
// that looks for '\n' first must not search to the end for every line. The key is the file's
// last, so that every lookup passes the whole file. Reading grows linearly with the file when
// the time per byte stays the same.
//
// The allocator keeps the memory that a read frees: by default glibc hands the several
// megabytes of a 1 MB parse back to the system after every read and faults them in again for
// the next, while the memory of a small parse stays in the process; that difference (about
// half the time of a 1 MB read here) is the allocator's, not the reader's.
//
//   settings_reader_bench --rows <file> --folder <dir> [--runs N] [Google Benchmark options]
//
// Writes the table lines (each size against the 10 KB file) to the rows file.

#include "bench/SettingsVariants.h"
#include "bench/Summary.h"
#include "bench/host/HostBench.h"
#include "fakes/IniFileProfile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

struct Variant {
    std::size_t size;
    bool carriageReturnsOnly;
};
// The first is the baseline of the others.
constexpr Variant kVariants[] = {{10 * 1024, false}, {100 * 1024, false}, {1024 * 1024, false}, {1024 * 1024, true}};
constexpr double kLinearLimit = 1.5;

std::string g_folder;

std::string FilePath(const Variant& variant) {
    return g_folder + "/reader-" + std::to_string(variant.size) + (variant.carriageReturnsOnly ? "-cr" : "") + ".ini";
}

std::string FileText(const Variant& variant) {
    std::string text = ReaderFileOfSize(variant.size);
    if (variant.carriageReturnsOnly) text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    return text;
}

void ReadLastKey(benchmark::State& state) {
    const Variant& variant = kVariants[state.range(0)];
    const IniFileProfile profile(FilePath(variant));
    if (profile.ReadString(kLastSection, kLastKey, "") != kLastValue) {
        state.SkipWithError("the benchmark file does not read back");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(profile.ReadString(kLastSection, kLastKey, ""));
    std::ifstream file(FilePath(variant), std::ios::binary | std::ios::ate);
    state.counters["bytes"] = static_cast<double>(file.tellg());
    state.counters["variant"] = static_cast<double>(state.range(0));
}

std::string VariantName(const Variant& variant) {
    const std::size_t bytes = variant.size;
    return (bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB" : std::to_string(bytes / 1024) + " KB") +
           (variant.carriageReturnsOnly ? " file, lines ended by CR alone" : " file");
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro::bench;
    KeepFreedMemory();
    benchmark::Initialize(&argc, argv);
    const std::optional<HostBenchOptions> options = ParseHostBenchOptions(argc, argv, true, "settings_reader_bench");
    if (!options) return 2;
    const std::string& rowsPath = options->rowsPath;
    const int runs = options->runs;
    g_folder = options->folder;

    // The files are made once; their real sizes (within one section's length of the names)
    // are what the times per byte divide by.
    constexpr std::size_t variantCount = sizeof kVariants / sizeof kVariants[0];
    for (const Variant& variant : kVariants)
        std::ofstream(FilePath(variant), std::ios::binary | std::ios::trunc) << FileText(variant);

    auto* benchmark = benchmark::RegisterBenchmark("SettingsReader/ReadLastKey", &ReadLastKey);
    for (std::size_t i = 0; i < variantCount; ++i) benchmark->Arg(static_cast<std::int64_t>(i));
    benchmark->Repetitions(runs)->UseRealTime()->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter("variant");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (reporter.samples.size() != variantCount) {
        std::fprintf(stderr, "the settings reader benchmark gave %zu of its %zu files\n", reporter.samples.size(),
                     variantCount);
        return 1;
    }
    const auto usPerRead = [&](std::size_t index) {
        return FormatValue(SpreadOf(reporter.Times(index, 1e3)).median) + " us per read";
    };
    std::string table;
    for (std::size_t i = 1; i < variantCount; ++i) {
        Row row;
        row.id = std::string("6") + static_cast<char>('a' + i - 1);
        row.figure = "settings reader (read, parse, look up the last key), " + VariantName(kVariants[i]) +
                     ": time per byte; " + usPerRead(i) + " (" + std::to_string(runs) + " runs)";
        row.unit = "ns/B";
        row.samples = reporter.NsPerByte(i);
        row.baseline = VariantName(kVariants[0]) + " (" + usPerRead(0) + ")";
        row.baselineSamples = reporter.NsPerByte(0);
        row.goal = {GoalKind::RatioAtMost, kLinearLimit};
        table += TableRow(row);
    }
    std::ofstream(rowsPath, std::ios::binary | std::ios::trunc) << table;
    std::printf("%s", table.c_str());
    return 0;
}
