// PhoneCheckBench.exe --rows <file> --runs N --phone <port> --locked <port> --nosim <port> --silent <port>,<port>,...
//                     --ussdwait-ms <ms>
//
// The phone check against simulated phones (bench/run.sh starts them): one ready phone among
// ports that never answer, checked all at once as the Phone dialog checks them; and a phone
// like it whose SIM is locked, which is asked everything but its SIM's operator.
//   7a  start of the check to the phone's findings, against the same phone checked alone
//   7b  start to the end of the whole check, against the silent ports' fixed waits (three AT
//       probes of 1000 ms each)
//   7c  the ready phone checked alone, its SIM's operator read, against the locked one
//       checked alone: what the operator's questions add to a ready phone's row
//   7d  the locked one checked alone, its tries left read (AT+CPINR), against a phone like it
//       without a SIM, which is asked the same but that: what the count adds to a locked row
//   7e  the ready phone checked alone, against the same checks up to the moment its SIM's
//       identity (AT+CCID, then EF_SPN; the check's last questions) was first asked: what
//       reading the ICCID and the provider's name adds to a ready row. A SIM that refuses them
//       would be no baseline: it is asked EF_ICCID too, one question more than one that answers.
//   7f  the phone's balance (*100#, answered in UCS2 after the simulator's fixed wait): from the
//       ask to the decoded text the worker hands over, against that wait
// After two warm-up rounds the four checks take turns, so that all see the machine alike; the
// balance is asked after them in every round.

#include "bench/Summary.h"
#include "e2e/UiDriver.h"
#include "phone/PhoneCheckRun.h"
#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vantaro::bench {
namespace {

constexpr int kWarmUpRounds = 2;
constexpr std::uint32_t kRoundBoundMs = 30000;

constexpr char kBalanceCode[] = "*100#";
constexpr char kBalanceText[] = "Balance: 12.50";

struct Options {
    std::string rowsPath;
    int runs = 20;
    std::string phone;
    std::string locked;
    std::string noSim;
    std::vector<std::string> silent;
    double ussdWaitMs = 0;
};

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The platform's ports, each noting when the first of the SIM's identity questions went out on
// it since the last Begin: the check asks them last, so the row without them ends there.
class WatchedPorts final : public SerialPorts {
public:
    explicit WatchedPorts(std::shared_ptr<SerialPorts> ports) : ports_(std::move(ports)) {}
    void Begin(Clock::time_point start) {
        start_ = start;
        identityAskedMs_ = -1;
    }
    double IdentityAskedMs() const { return identityAskedMs_; }
    PortOpenResult Open(const std::string& name) override {
        PortOpenResult opened = ports_->Open(name);
        if (opened.port) opened.port = std::make_unique<Port>(std::move(opened.port), *this);
        return opened;
    }

private:
    class Port final : public SerialPort {
    public:
        Port(std::unique_ptr<SerialPort> port, WatchedPorts& owner) : port_(std::move(port)), owner_(owner) {}
        bool Write(std::string_view bytes) override {
            if (bytes.substr(0, std::string_view(kIccidCommand).size()) == kIccidCommand && owner_.identityAskedMs_ < 0)
                owner_.identityAskedMs_ = MsSince(owner_.start_);
            return port_->Write(bytes);
        }
        std::optional<std::string> Read(std::uint32_t timeoutMs) override { return port_->Read(timeoutMs); }
        void Purge() override { port_->Purge(); }
        void Close() override { port_->Close(); }

    private:
        std::unique_ptr<SerialPort> port_;
        WatchedPorts& owner_;
    };

    std::shared_ptr<SerialPorts> ports_;
    Clock::time_point start_;
    std::atomic<double> identityAskedMs_{-1};
};

struct Round {
    double phoneMs = -1;  // the phone's findings; -1 when they never came or were not a modem
    double wholeMs = -1;  // every port done; -1 when the check did not end within its bound
    double identityAskedMs = -1;  // the first identity question, where the ports were watched
    PortFindings phone;
};

// Checks the phone on `phone` with the other ports; its findings are taken on the worker that
// reports them, and read only after every worker ended.
Round CheckOnce(const PhoneServices& services, const std::string& phone, const std::vector<std::string>& others,
                WatchedPorts* watched = nullptr) {
    std::vector<std::string> ports{phone};
    ports.insert(ports.end(), others.begin(), others.end());
    Round round;
    const auto start = Clock::now();
    auto since = [&] { return MsSince(start); };
    if (watched) watched->Begin(start);
    PhoneCheckRun run(services);
    run.Check(ports, [&](const PortFindings& findings) {
        if (findings.port != phone || findings.state != PortState::Modem) return;
        round.phoneMs = since();
        round.phone = findings;
    });
    if (run.WaitAll(kRoundBoundMs)) round.wholeMs = since();
    if (watched) round.identityAskedMs = watched->IdentityAskedMs();
    return round;
}

// The balance code asked on the phone's port: the time to the decoded reply, -1 when none came
// or it was not the simulator's balance.
double AskBalanceOnce(const PhoneServices& services, const std::string& phone) {
    double ms = -1;
    std::string text;
    const auto start = Clock::now();
    PhoneCheckRun run(services);
    run.AskUssd(phone, kBalanceCode, [&](const UssdOutcome& outcome) {
        ms = MsSince(start);
        if (outcome.end == UssdEnd::Reply) text = outcome.reply.text.utf8;
    });
    if (!run.WaitAll(kRoundBoundMs) || text != kBalanceText) return -1;
    return ms;
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> items;
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = list.find(',', from);
        const std::string item = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (!item.empty()) items.push_back(item);
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return items;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--rows") options.rowsPath = e2e::WindowsPath(value);
        else if (name == "--runs") options.runs = std::atoi(value.c_str());
        else if (name == "--phone") options.phone = value;
        else if (name == "--locked") options.locked = value;
        else if (name == "--nosim") options.noSim = value;
        else if (name == "--silent") options.silent = Split(value);
        else if (name == "--ussdwait-ms") options.ussdWaitMs = std::atof(value.c_str());
        else return false;
    }
    return !options.rowsPath.empty() && options.runs > 0 && !options.phone.empty() && !options.locked.empty() &&
           !options.noSim.empty() && !options.silent.empty() && options.ussdWaitMs > 0;
}

} // namespace
} // namespace vantaro::bench

int main(int argc, char** argv) {
    using namespace vantaro;
    using namespace vantaro::bench;
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: PhoneCheckBench --rows <file> --runs N --phone <port> --locked <port> --nosim <port> --silent <port>,<port>,... --ussdwait-ms <ms>\n");
        return 2;
    }
    const auto clock = std::make_shared<SteadyClock>();
    const PhoneServices services{std::make_shared<Win32SerialPorts>(), clock};
    const auto watched = std::make_shared<WatchedPorts>(std::make_shared<Win32SerialPorts>());
    const PhoneServices watchedServices{watched, clock};
    std::vector<double> aloneMs, amongMs, wholeMs, lockedMs, noSimMs, identityAskedMs, balanceMs;
    std::string failure;
    for (int round = 0; round < kWarmUpRounds + options.runs && failure.empty(); ++round) {
        // Each of the four checks goes first in every fourth round.
        enum Check { Alone, Among, Locked, NoSim, Checks };
        Round rounds[Checks];
        for (int turn = 0; turn < Checks; ++turn) {
            const int check = (turn + round) % Checks;
            if (check == Alone) rounds[Alone] = CheckOnce(watchedServices, options.phone, {}, watched.get());
            else if (check == Among) rounds[Among] = CheckOnce(services, options.phone, options.silent);
            else if (check == Locked) rounds[Locked] = CheckOnce(services, options.locked, {});
            else rounds[NoSim] = CheckOnce(services, options.noSim, {});
        }
        const Round& alone = rounds[Alone];
        const Round& among = rounds[Among];
        const Round& locked = rounds[Locked];
        const Round& noSim = rounds[NoSim];
        if (alone.phoneMs < 0 || among.phoneMs < 0 || among.wholeMs < 0 || locked.phoneMs < 0 || noSim.phoneMs < 0) {
            failure = "a simulated phone (" + options.phone + ", " + options.locked + ", " + options.noSim +
                      ") was not found, or the check did not end in " +
                      std::to_string(kRoundBoundMs / 1000) + " s";
            break;
        }
        // The rows compare a SIM whose operator was read with one that was not asked.
        if (alone.phone.sim != SimState::Ready || alone.phone.simOperator.source == OperatorSource::None ||
            locked.phone.sim != SimState::Pin || !locked.phone.triesLeft || noSim.phone.sim != SimState::NoSim) {
            failure = "the phone on " + options.phone + " gave no operator, the SIM on " + options.locked +
                      " was not locked with a count, or " + options.noSim + " had a SIM";
            break;
        }
        if (alone.phone.iccid.empty() || alone.phone.serviceProviderName.empty() || alone.identityAskedMs < 0) {
            failure = "the phone on " + options.phone + " gave no ICCID or no provider's name";
            break;
        }
        const double balance = AskBalanceOnce(services, options.phone);
        if (balance < 0) {
            failure = "the phone on " + options.phone + " did not answer " + kBalanceCode + " with \"" + kBalanceText + "\"";
            break;
        }
        if (round < kWarmUpRounds) continue;
        identityAskedMs.push_back(alone.identityAskedMs);
        balanceMs.push_back(balance);
        aloneMs.push_back(alone.phoneMs);
        amongMs.push_back(among.phoneMs);
        wholeMs.push_back(among.wholeMs);
        lockedMs.push_back(locked.phoneMs);
        noSimMs.push_back(noSim.phoneMs);
    }

    const std::string count = std::to_string(1 + options.silent.size());
    const std::string runs = " (" + std::to_string(options.runs) + " runs)";
    const auto row = [&](const char* id, std::string figure, std::vector<double> samples, std::string baseline,
                         std::vector<double> baselineSamples, Goal goal) {
        Row made;
        made.id = id;
        made.figure = std::move(figure) + runs;
        made.unit = "ms";
        made.samples = std::move(samples);
        made.baseline = std::move(baseline);
        made.baselineSamples = std::move(baselineSamples);
        made.goal = goal;
        made.notAvailable = failure;
        return made;
    };
    const std::vector<Row> rows = {
        row("7a", "phone check, 1 ready simulated phone among " + count + " ports (the others silent): start to the phone's findings",
            amongMs, "the same phone checked alone", aloneMs, {GoalKind::MedianBelow, 1000}),
        row("7b", "phone check, the same " + count + " ports: start to the end of the whole check", wholeMs,
            "a silent port's fixed waits, 3 x 1000 ms", {3000}, {GoalKind::MedianBelow, 4000}),
        row("7c", "phone check, 1 ready simulated phone alone, its SIM's operator read (AT+CIMI, EF_AD): start to the phone's findings",
            aloneMs, "the same phone with its SIM locked, not asked for the operator", lockedMs, {GoalKind::AddedBelow, 300}),
        row("7d", "phone check, 1 simulated phone alone, its SIM locked and its tries left read (AT+CPINR): start to the phone's findings",
            lockedMs, "the same phone without a SIM, asked the same but the count", noSimMs, {GoalKind::AddedBelow, 100}),
        row("7e", "phone check, 1 ready simulated phone alone, its SIM's ICCID and provider's name read (AT+CCID, EF_SPN): start to "
            "the phone's findings", aloneMs, "the same checks, start to the first of those questions (asked last)", identityAskedMs,
            {GoalKind::AddedBelow, 200}),
        row("7f", std::string("balance: ") + kBalanceCode + " asked of the ready phone, answered in UCS2: the ask to the decoded text",
            balanceMs, "the simulator's fixed wait before its answer", {options.ussdWaitMs}, {GoalKind::AddedBelow, 100}),
    };

    std::string table;
    for (const Row& row : rows) table += TableRow(row);
    e2e::WriteFile(options.rowsPath, table);
    std::printf("%s", table.c_str());
    return failure.empty() ? 0 : 1;
}
