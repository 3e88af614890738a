// The APN proposal for a SIM's network id, as the Phone dialog asks for it (ProposeApns on the
// built-in database: the binary search, the candidates' order, their texts and the rules), with
// Google Benchmark. Two figures against the same baseline, a network id the table lacks (the
// search alone): every network id of the table in turn, and the one with the most candidates.
//
//   provider_lookup_bench --rows <file> [--runs N] [Google Benchmark options]
//
// Writes the table lines to the rows file.

#include "bench/Summary.h"
#include "providers/ApnProposal.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

using providers::ApnProposal;
using providers::NetworkId;
using providers::OperatorSource;
using providers::ProviderDatabase;
using providers::SimOperator;

enum Figure { kAbsent = 0, kEveryNetwork = 1, kBusiest = 2 };
constexpr double kGoalMicroseconds = 1000;

const ProviderDatabase& Database() { return providers::BuiltInProviderDatabase(); }

SimOperator Home(const NetworkId& network) {
    SimOperator simOperator;
    simOperator.source = OperatorSource::SimHome;
    simOperator.network = network;
    return simOperator;
}

std::vector<SimOperator> EveryNetwork() {
    std::vector<SimOperator> operators;
    for (std::uint32_t i = 0; i < Database().networkCount; ++i)
        operators.push_back(Home(providers::NetworkIdFromKey(Database().networkKeys[i]).value_or(NetworkId{})));
    return operators;
}

// The network id whose proposal holds the most candidates and refusals.
SimOperator Busiest(std::size_t* count) {
    SimOperator busiest;
    *count = 0;
    for (const SimOperator& simOperator : EveryNetwork()) {
        const ApnProposal proposal = providers::ProposeApns(Database(), simOperator);
        const std::size_t size = proposal.candidates.size() + proposal.refused.size();
        if (size > *count) {
            *count = size;
            busiest = simOperator;
        }
    }
    return busiest;
}

void Propose(benchmark::State& state) {
    const auto figure = static_cast<Figure>(state.range(0));
    std::size_t count = 0;
    const std::vector<SimOperator> operators =
        figure == kEveryNetwork ? EveryNetwork()
        : figure == kBusiest    ? std::vector<SimOperator>{Busiest(&count)}
                                : std::vector<SimOperator>{Home({"999", "99"})};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(providers::ProposeApns(Database(), operators[next]));
        if (++next == operators.size()) next = 0;
    }
    state.counters["figure"] = static_cast<double>(figure);
}

class CollectingReporter final : public benchmark::ConsoleReporter {
public:
    CollectingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto figure = run.counters.find("figure");
            if (figure == run.counters.end()) continue;
            const double us = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            microseconds[static_cast<int>(figure->second.value)].push_back(us);
        }
    }

    std::map<int, std::vector<double>> microseconds;
};

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
        else if (name == "--runs") runs = std::atoi(argv[i + 1]);
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (rowsPath.empty() || runs < 1) {
        std::fprintf(stderr, "usage: provider_lookup_bench --rows <file> [--runs N]\n");
        return 2;
    }

    auto* benchmark = benchmark::RegisterBenchmark("ProposeApns", &Propose);
    benchmark->Arg(kAbsent)->Arg(kEveryNetwork)->Arg(kBusiest);
    benchmark->Repetitions(runs)->UseRealTime()->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.microseconds.size() != 3) {
        std::fprintf(stderr, "the proposal benchmark gave %zu of its 3 figures\n", reporter.microseconds.size());
        return 1;
    }

    std::size_t busiestCount = 0;
    const SimOperator busiest = Busiest(&busiestCount);
    const std::string database = "mobile-broadband-provider-info " + std::string(Database().version);
    const std::string baseline = "a network id the table lacks (the search alone)";
    const std::string repeated = " (" + std::to_string(runs) + " runs)";

    Row every;
    every.id = "8a";
    every.figure = "APN proposal for a network id (" + database + "), each of its " +
                   std::to_string(Database().networkCount) + " network ids in turn" + repeated;
    every.unit = "us";
    every.samples = reporter.microseconds[kEveryNetwork];
    every.baseline = baseline;
    every.baselineSamples = reporter.microseconds[kAbsent];
    every.goal = {GoalKind::MedianBelow, kGoalMicroseconds};

    Row most = every;
    most.id = "8b";
    most.figure = "APN proposal for the network id with the most APNs (" +
                  vantaro::providers::NetworkIdText(busiest.network) + ", " + std::to_string(busiestCount) + ")" +
                  repeated;
    most.samples = reporter.microseconds[kBusiest];

    const std::string table = TableRow(every) + TableRow(most);
    std::ofstream(rowsPath, std::ios::binary | std::ios::trunc) << table;
    std::printf("%s", table.c_str());
    return 0;
}
