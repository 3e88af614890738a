#pragma once
// One dial series that tries APNs in turn ([Setting] apn_try_all=1): before each try the next
// APN goes into the modem's init string, written to its driver keys as the install writes it;
// the APN that connects is remembered for the SIM. The keeper drives it from the dialog's thread.

#include "modem/Registry.h"
#include "workflow/ApnMemory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro {

class ApnTrial {
public:
    struct Series {
        std::vector<std::string> apns;  // ApnsToTry's order
        std::string portName;           // the modem's, as the install configured it
        std::string iccid;              // the SIM's digits; "" when not known (nothing is remembered)
    };

    // `memory` may be null: nothing is remembered.
    ApnTrial(Registry& registry, ApnMemory* memory, Series series);
    ApnTrial(const ApnTrial&) = delete;
    ApnTrial& operator=(const ApnTrial&) = delete;

    // The user's Connect: the series starts again with the first APN, written now. Its APN, or
    // nothing when there is none or the driver keys could not be written.
    std::optional<std::string> Begin();
    // A dial of the series failed with this error: the next APN, written now, when the error
    // says the APN was refused and one is left; else the series is over.
    std::optional<std::string> Next(std::uint32_t rasError);
    // The dial connected: its APN is remembered for the SIM, and the series is over.
    void Connected();
    // Disconnect, Exit, or a series that ended another way: no further APN.
    void End() { current_.reset(); }

    // 1 for the first APN; of the APN written last.
    std::size_t Position() const { return current_.value_or(0) + 1; }
    std::size_t Count() const { return series_.apns.size(); }

private:
    std::optional<std::string> Write(std::size_t index);

    Registry& registry_;
    ApnMemory* memory_;
    Series series_;
    std::optional<std::size_t> current_;  // the APN being dialled; none outside a series
};

// The log's line for one try: the APN (the network's default when empty) and its place.
std::string ApnTryDetail(const std::string& apn, std::size_t position, std::size_t count);

} // namespace vantaro
