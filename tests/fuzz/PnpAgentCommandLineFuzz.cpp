// pnpagent64's command line: any number of arguments of any bytes, the verb sometimes right,
// against device-installation services in memory whose answers are drawn too, and an INF that is
// the sample for that id, or drawn bytes. The driver is reported installed (non-zero exit)
// exactly when every check (the INF check among them) and the update held; a wrong
// command line gets the usage line and touches nothing; the services never see an id or a path
// longer than the platform's buffers; the line always says something.

#include "fakes/ModemInfText.h"
#include "fuzz/FuzzCheck.h"
#include "modem/InfCheck.h"
#include "modem/PnpAgentCommand.h"
#include "pnpagent64/AgentCommand.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vantaro::pnpagent;

class DrawnInstaller final : public DriverInstaller {
public:
    DrawnInstaller(FuzzedDataProvider& data, const std::string& hardwareId) : data_(data), hardwareId_(hardwareId) {}

    // The first question is for the INF; the others are for the files beside it, whose
    // answers are kept in order.
    bool FileExists(const std::string& path) override {
        const bool exists = data_.ConsumeProbability<float>() > 0.1f;
        if (askedForInf) {
            besideAnswers.push_back(exists);
            return exists;
        }
        Seen(std::string(), path);
        askedForInf = true;
        return infExists = exists;
    }
    bool ReadInf(const std::string& infPath, std::string& bytes) override {
        Seen(std::string(), infPath);
        if (data_.ConsumeProbability<float>() < 0.1f) return false;
        inf = data_.ConsumeBool() ? data_.ConsumeRandomLengthString(512)
                                  : vantaro::testing::Replaced(vantaro::testing::ModemInf(),
                                                               vantaro::testing::kInfHardwareId, hardwareId_);
        bytes = *inf;
        return true;
    }
    DeviceMatch MatchDevices(const std::string& hardwareId, const std::string& infPath) override {
        Seen(hardwareId, infPath);
        match.devices = data_.ConsumeIntegralInRange(0, 3);
        match.withDriver = data_.ConsumeIntegralInRange(0, match.devices);
        return match;
    }
    bool UpdateDriver(const std::string& hardwareId, const std::string& infPath, bool& restartNeeded,
                      std::uint32_t& error) override {
        Seen(hardwareId, infPath);
        ++updates;
        restartNeeded = data_.ConsumeBool();
        updated = data_.ConsumeProbability<float>() > 0.2f;
        error = updated ? 0 : data_.ConsumeIntegral<std::uint32_t>();
        return updated;
    }

    int calls = 0;
    int updates = 0;
    bool infExists = false;
    std::optional<std::string> inf;
    bool askedForInf = false;
    std::vector<bool> besideAnswers;
    DeviceMatch match;
    bool updated = false;

private:
    void Seen(const std::string& id, const std::string& inf) {
        ++calls;
        vantaro::fuzz::Require(id.size() <= kMaxHardwareId, "no hardware id longer than its buffer is passed on");
        vantaro::fuzz::Require(inf.size() <= kMaxInfPath, "no INF path longer than its buffer is passed on");
    }

    FuzzedDataProvider& data_;
    std::string hardwareId_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    FuzzedDataProvider data(bytes, size);

    std::vector<std::string> arguments(data.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::string& argument : arguments) {
        // Long enough to cross both limits now and then.
        const std::size_t longest = data.ConsumeBool() ? 300 : 24;
        argument = data.ConsumeRandomLengthString(longest);
    }
    if (!arguments.empty() && data.ConsumeProbability<float>() < 0.7f) arguments[0] = vantaro::kPnpAgentVerb;
    DrawnInstaller installer(data, arguments.size() > 1 ? arguments[1] : std::string());

    const AgentResult result = RunAgent(arguments, installer);

    Require(result.exitCode == kExitInstalled || result.exitCode == kExitNotInstalled, "the exit code is one of two");
    Require(!result.line.empty(), "the line always says what happened");
    const bool wellFormed = arguments.size() == 3 && arguments[0] == vantaro::kPnpAgentVerb;
    if (!wellFormed) {
        Require(result.line == UsageLine() && result.exitCode == kExitNotInstalled, "a wrong command line gets the usage");
        Require(installer.calls == 0, "a wrong command line touches no service");
        return 0;
    }
    const std::string& id = arguments[1];
    const std::string& inf = arguments[2];
    const bool fits = !id.empty() && id.size() <= kMaxHardwareId && !inf.empty() && inf.size() <= kMaxInfPath;
    if (!fits) Require(installer.calls == 0, "an id or path the buffers cannot take is refused before any service");
    // The check as the helper runs it, with the answers the services gave it.
    vantaro::InfCheckInput check{inf, installer.inf, id, vantaro::InfPlatform::Amd64,
                                 [&, asked = std::size_t{0}](const std::string&) mutable {
                                     return asked < installer.besideAnswers.size() && installer.besideAnswers[asked++];
                                 }};
    const bool infFits = fits && installer.infExists && !vantaro::CheckModemInf(check);
    const bool installed = infFits && installer.match.devices > 0 && installer.match.withDriver > 0 && installer.updated;
    Require((result.exitCode == kExitInstalled) == installed, "installed is reported exactly when the update held");
    Require(installer.updates <= 1, "the update runs at most once");
    Require(result.line.rfind(installed ? "Installed " : "Not installed: ", 0) == 0, "the line says which it was");

    // The device's hardware ids, as the platform hands them: the id is listed when some entry
    // equals it, ASCII letters in any case.
    const std::string multi = data.ConsumeRandomLengthString(64);
    const std::string wanted = data.ConsumeRandomLengthString(16);
    bool listed = false;
    for (std::size_t start = 0; start < multi.size();) {
        std::size_t end = multi.find('\0', start);
        if (end == std::string::npos) end = multi.size();
        if (end == start) break;
        const std::string entry = multi.substr(start, end - start);
        bool same = entry.size() == wanted.size();
        for (std::size_t i = 0; same && i < entry.size(); ++i) {
            auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
            same = lower(entry[i]) == lower(wanted[i]);
        }
        listed = listed || same;
        start = end + 1;
    }
    Require(MultiStringLists(multi, wanted) == listed, "an id is listed exactly when an entry before the empty one matches");
    return 0;
}
