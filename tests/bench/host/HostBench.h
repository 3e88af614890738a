#pragma once
// What the host benchmarks share: their options, the memory setting of the large-file ones,
// and a reporter that keeps each repetition's time by the case it measured.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vantaro::bench {

struct HostBenchOptions {
    std::string rowsPath;
    std::string folder;
    int runs = 10;
};

// --rows <file> [--folder <dir>] [--runs N]; nothing (after saying why) when they are wrong.
inline std::optional<HostBenchOptions> ParseHostBenchOptions(int argc, char** argv, bool needsFolder,
                                                             const char* program) {
    HostBenchOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--rows") options.rowsPath = argv[i + 1];
        else if (name == "--folder" && needsFolder) options.folder = argv[i + 1];
        else if (name == "--runs") options.runs = std::atoi(argv[i + 1]);
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return std::nullopt;
        }
    }
    if (options.rowsPath.empty() || (needsFolder && options.folder.empty()) || options.runs < 1) {
        std::fprintf(stderr, "usage: %s --rows <file>%s [--runs N]\n", program, needsFolder ? " --folder <dir>" : "");
        return std::nullopt;
    }
    return options;
}

// Freed memory stays in the process: with glibc's defaults each read of a large file would
// also pay for faulting in the megabytes the previous one handed back.
inline void KeepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

// Keeps each repetition's real time (ns), and the "bytes" counter where the case sets one, by
// the value of the counter that names the case, while the console shows the usual report.
class CollectingReporter final : public benchmark::ConsoleReporter {
public:
    struct Sample {
        double ns = 0;
        double bytes = 0;
    };

    explicit CollectingReporter(std::string caseCounter)
        : ConsoleReporter(OO_Tabular), caseCounter_(std::move(caseCounter)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto which = run.counters.find(caseCounter_);
            if (which == run.counters.end()) continue;
            const auto bytes = run.counters.find("bytes");
            const double ns = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            samples[static_cast<std::size_t>(which->second.value)].push_back(
                {ns, bytes == run.counters.end() ? 0.0 : bytes->second.value});
        }
    }

    // The case's times divided by `scale` (1e3 for microseconds, 1e6 for milliseconds).
    std::vector<double> Times(std::size_t which, double scale) {
        std::vector<double> times;
        for (const Sample& sample : samples[which]) times.push_back(sample.ns / scale);
        return times;
    }
    std::vector<double> NsPerByte(std::size_t which) {
        std::vector<double> perByte;
        for (const Sample& sample : samples[which])
            if (sample.bytes > 0) perByte.push_back(sample.ns / sample.bytes);
        return perByte;
    }

    std::map<std::size_t, std::vector<Sample>> samples;

private:
    std::string caseCounter_;
};

} // namespace vantaro::bench
