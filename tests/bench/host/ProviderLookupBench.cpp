// The APN proposal for a SIM's network id, as the Phone dialog asks for it (ProposeApns on the
// built-in database: the binary search, the candidates' order, their texts and the rules), with
// Google Benchmark. Two figures against the same baseline, a network id the table lacks (the
// search alone): every network id of the table in turn, and the one with the most candidates.
//
//   provider_lookup_bench --rows <file> [--runs N] [Google Benchmark options]
//
// Writes the table lines to the rows file.

#include "bench/Summary.h"
#include "bench/host/HostBench.h"
#include "workflow/ApnProposal.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

using providers::NetworkId;
using providers::ProviderDatabase;

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
        const ApnProposal proposal = ProposeApns(Database(), simOperator);
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
        benchmark::DoNotOptimize(ProposeApns(Database(), operators[next]));
        if (++next == operators.size()) next = 0;
    }
    state.counters["figure"] = static_cast<double>(figure);
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro::bench;
    benchmark::Initialize(&argc, argv);
    const std::optional<HostBenchOptions> options = ParseHostBenchOptions(argc, argv, false, "provider_lookup_bench");
    if (!options) return 2;
    const std::string& rowsPath = options->rowsPath;
    const int runs = options->runs;

    auto* benchmark = benchmark::RegisterBenchmark("ProposeApns", &Propose);
    benchmark->Arg(kAbsent)->Arg(kEveryNetwork)->Arg(kBusiest);
    benchmark->Repetitions(runs)->UseRealTime()->Unit(benchmark::kMicrosecond);

    CollectingReporter reporter("figure");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.samples.size() != 3) {
        std::fprintf(stderr, "the proposal benchmark gave %zu of its 3 figures\n", reporter.samples.size());
        return 1;
    }

    std::size_t busiestCount = 0;
    const vantaro::SimOperator busiest = Busiest(&busiestCount);
    const std::string database = "mobile-broadband-provider-info " + std::string(Database().version);
    const std::string baseline = "a network id the table lacks (the search alone)";
    const std::string repeated = " (" + std::to_string(runs) + " runs)";

    Row every;
    every.id = "8a";
    every.figure = "APN proposal for a network id (" + database + "), each of its " +
                   std::to_string(Database().networkCount) + " network ids in turn" + repeated;
    every.unit = "us";
    every.samples = reporter.Times(kEveryNetwork, 1e3);
    every.baseline = baseline;
    every.baselineSamples = reporter.Times(kAbsent, 1e3);
    every.goal = {GoalKind::MedianBelow, kGoalMicroseconds};

    Row most = every;
    most.id = "8b";
    most.figure = "APN proposal for the network id with the most APNs (" +
                  vantaro::providers::NetworkIdText(busiest.network) + ", " + std::to_string(busiestCount) + ")" +
                  repeated;
    most.samples = reporter.Times(kBusiest, 1e3);

    const std::string table = TableRow(every) + TableRow(most);
    std::ofstream(rowsPath, std::ios::binary | std::ios::trunc) << table;
    std::printf("%s", table.c_str());
    return 0;
}
