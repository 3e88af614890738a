#include "workflow/ApnTrial.h"

#include "modem/ModemRegistry.h"
#include "workflow/ApnCandidates.h"
#include "workflow/InstallSequence.h"
#include "workflow/SettingsForm.h"

namespace vantaro {

ApnTrial::ApnTrial(Registry& registry, ApnMemory* memory, Series series)
    : registry_(registry), memory_(memory), series_(std::move(series)) {}

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
    return Write(0);
}

std::optional<std::string> ApnTrial::Next(std::uint32_t rasError) {
    if (!current_) return std::nullopt;
    if (!IsWrongApnError(rasError)) {
        End();
        return std::nullopt;
    }
    return Write(*current_ + 1);
}

void ApnTrial::Connected() {
    if (current_ && memory_ && !series_.iccid.empty()) memory_->Remember(series_.iccid, series_.apns[*current_]);
    End();
}

std::string ApnTryDetail(const std::string& apn, std::size_t position, std::size_t count) {
    return (apn.empty() ? std::string("(network default)") : apn) + " " + std::to_string(position) + "/" +
           std::to_string(count);
}

} // namespace vantaro
