#include "workflow/ApnTrial.h"

#include "modem/ModemRegistry.h"
#include "workflow/ApnCandidates.h"
#include "phone/SimIdentity.h"
#include "workflow/ApnProposal.h"
#include "workflow/InstallSequence.h"
#include "workflow/InterfaceText.h"
#include "workflow/LinkText.h"
#include "workflow/SettingsForm.h"

namespace vantaro {

ApnTrial::ApnTrial(Registry& registry, ApnMemory* memory, Series series, bool waitsForSim)
    : registry_(registry), memory_(memory), waitsForSim_(waitsForSim), series_(std::move(series)) {}

std::optional<std::string> ApnTrial::Write(std::size_t index) {
    current_.reset();
    if (index >= series_.apns.size()) return std::nullopt;
    const std::string& apn = series_.apns[index];
    // The install's own writer and init string, so that a try dials what an install with this
    // APN in the Settings dialog would.
    if (!ConfigureModemRegistry(registry_, series_.portName, install::kPortSpeed, BuildInitString(apn))) return std::nullopt;
    current_ = index;
    return apn;
}

std::optional<std::string> ApnTrial::Begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (waitsForSim_) {
        // Each Connect reads the SIM again: the phone may hold another one by now.
        current_.reset();
        if (!series_.apns.empty()) series_.apns.resize(1);
        series_.iccid.clear();
        awaitingSim_ = true;
        return std::nullopt;
    }
    return Write(0);
}

std::optional<std::string> ApnTrial::CompleteFromSim(const PortFindings& sim, const providers::ProviderDatabase& database) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!awaitingSim_) return std::nullopt;
    awaitingSim_ = false;
    const std::string userApn = series_.apns.empty() ? std::string() : series_.apns.front();
    if (!sim.iccid.empty() || sim.simOperator.source != OperatorSource::None) {
        const std::string remembered = memory_ ? memory_->Remembered(sim.iccid) : std::string();
        series_.apns =
            ApnsToTry(userApn, remembered, ProposeApns(database, sim.simOperator, sim.serviceProviderName));
        series_.iccid = sim.iccid;
    }
    return Write(0);
}

std::optional<std::string> ApnTrial::Next(std::uint32_t rasError) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!current_) return std::nullopt;
    if (!IsWrongApnError(rasError)) {
        current_.reset();
        return std::nullopt;
    }
    return Write(*current_ + 1);
}

void ApnTrial::Connected() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_ && memory_ && !series_.iccid.empty()) memory_->Remember(series_.iccid, series_.apns[*current_]);
    current_.reset();
}

void ApnTrial::End() {
    std::lock_guard<std::mutex> lock(mutex_);
    current_.reset();
    awaitingSim_ = false;
}

std::size_t ApnTrial::Position() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_.value_or(0) + 1;
}

std::size_t ApnTrial::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return series_.apns.size();
}

void ShowApnTry(SettingsForm& form, const TextConverter& fromUtf8, const std::string& apn, std::size_t position,
                std::size_t count) {
    if (Log* log = form.StepLog()) log->Step("dial.apn", LogResult::Started, 0, ApnTryDetail(apn, position, count));
    const TextKey& key = apn.empty() ? linktext::kTryingNoApn : linktext::kTryingApn;
    form.SetStatusText(FillInFigures(form.LookUpText(key.key, fromUtf8(key.english)),
                                     {apn, std::to_string(position), std::to_string(count)}));
}

void ApnSimStart::Await(std::shared_ptr<ApnTrial> trial) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = std::move(trial);
}

void ApnSimStart::BeforeDial(bool redial) {
    if (redial) return;
    std::shared_ptr<ApnTrial> trial;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        trial = std::exchange(waiting_, nullptr);
    }
    if (!trial) return;
    const PortFindings sim = ReadSimBeforeDial(ports_, form_.DialPort(), clock_, timings_);
    const std::optional<std::string> apn = trial->CompleteFromSim(sim, database_);
    if (Log* log = form_.StepLog()) log->Step("dial.sim", LogResult::Done, 0, SimReadDetail(sim, trial->Count()));
    if (apn) ShowApnTry(form_, fromUtf8_, *apn, trial->Position(), trial->Count());
}

std::string SimReadDetail(const PortFindings& sim, std::size_t apns) {
    std::string detail = "port " + (sim.port.empty() ? std::string("none") : sim.port) + ": ";
    if (sim.state != PortState::Modem) detail += "no answer";
    else
        detail += DescribeSimOperator(sim.simOperator) + ", ICCID " +
                  (sim.iccid.empty() ? std::string("not read") : ShownIccid(Iccid{sim.iccid}));
    return detail + "; " + std::to_string(apns) + (apns == 1 ? " APN" : " APNs") + " to try";
}

std::string ApnTryDetail(const std::string& apn, std::size_t position, std::size_t count) {
    return (apn.empty() ? std::string("(network default)") : apn) + " " + std::to_string(position) + "/" +
           std::to_string(count);
}

} // namespace vantaro
