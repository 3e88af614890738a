#pragma once
// One dial series that tries APNs in turn ([Setting] apn_try_all=1): before each try the next
// APN goes into the modem's init string, written to its driver keys as the install writes it;
// the APN that connects is remembered for the SIM. The keeper drives it from the dialog's thread;
// a series that waits for its SIM is completed on the dial's worker (CompleteFromSim), so its
// state is kept under a lock.

#include "modem/Registry.h"
#include "phone/PortFindings.h"
#include "phone/SimRead.h"
#include "providers/ProviderDatabase.h"
#include "workflow/ApnMemory.h"
#include "workflow/PhoneText.h"
#include "workflow/SettingsForm.h"

#include <cstdint>
#include <memory>
#include <mutex>
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

    // `memory` may be null: nothing is remembered. A series that `waitsForSim` holds the user's
    // APN alone until the SIM on the dial's port completes it (CompleteFromSim).
    ApnTrial(Registry& registry, ApnMemory* memory, Series series, bool waitsForSim = false);
    ApnTrial(const ApnTrial&) = delete;
    ApnTrial& operator=(const ApnTrial&) = delete;

    // The user's Connect: the series starts again with the first APN, written now. Its APN, or
    // nothing when there is none or the driver keys could not be written. Of a series that
    // waits for its SIM nothing is written yet, and nothing is returned.
    std::optional<std::string> Begin();
    // On the dial's worker, before the first dial of a series that waits for its SIM: what the
    // dial's port said of it. A port that told neither the SIM's ICCID nor its operator leaves
    // the user's APN alone; else the series is ApnsToTry's of the user's APN, the one remembered
    // for the ICCID and the database's proposal for the operator. The first APN is written now
    // and returned; nothing when the series was ended meanwhile or could not be written.
    std::optional<std::string> CompleteFromSim(const PortFindings& sim, const providers::ProviderDatabase& database);
    // A dial of the series failed with this error: the next APN, written now, when the error
    // says the APN was refused and one is left; else the series is over.
    std::optional<std::string> Next(std::uint32_t rasError);
    // The dial connected: its APN is remembered for the SIM, and the series is over.
    void Connected();
    // Disconnect, Exit, or a series that ended another way: no further APN.
    void End();

    // 1 for the first APN; of the APN written last.
    std::size_t Position() const;
    std::size_t Count() const;

private:
    // Under mutex_.
    std::optional<std::string> Write(std::size_t index);

    Registry& registry_;
    ApnMemory* memory_;
    const bool waitsForSim_;
    mutable std::mutex mutex_;
    Series series_;
    std::optional<std::size_t> current_;  // the APN being dialled; none outside a series
    bool awaitingSim_ = false;            // begun, and the SIM not read yet
};

// The dial worker's side of a series that waits for its SIM. No phone check is needed for a
// series: at the user's Connect the dialog hands over one that holds the user's APN (Await), and
// once the first dial's checks have cleared it, the SIM on the dial's port is read within its
// budget, the series completed from what it said, and its first try written and shown. The port
// is the one the roaming check has just asked, and the dial waits for both anyway; a redial
// reads nothing.
class ApnSimStart {
public:
    ApnSimStart(SettingsForm& form, SerialPorts& ports, Clock& clock, const providers::ProviderDatabase& database,
                TextConverter fromUtf8, SimReadTimings timings = {})
        : form_(form), ports_(ports), clock_(clock), database_(database), fromUtf8_(std::move(fromUtf8)),
          timings_(timings) {}
    ApnSimStart(const ApnSimStart&) = delete;
    ApnSimStart& operator=(const ApnSimStart&) = delete;

    // The dialog's thread, before the Connect: the series its first dial completes; null for none.
    void Await(std::shared_ptr<ApnTrial> trial);
    // The dial's worker, once the dial has been cleared.
    void BeforeDial(bool redial);

private:
    SettingsForm& form_;
    SerialPorts& ports_;
    Clock& clock_;
    const providers::ProviderDatabase& database_;
    const TextConverter fromUtf8_;
    const SimReadTimings timings_;
    std::mutex mutex_;
    std::shared_ptr<ApnTrial> waiting_;  // kept alive for the worker, whoever replaces it
};

// The log's line for the SIM read before a series: the port, the operator, the ICCID as shown.
std::string SimReadDetail(const PortFindings& sim, std::size_t apns);

// "Trying APN %1 (%2 of %3)..." in the status line and a dial.apn line in the log, from the
// dialog's thread or the dial's worker.
void ShowApnTry(SettingsForm& form, const TextConverter& fromUtf8, const std::string& apn, std::size_t position,
                std::size_t count);

// The log's line for one try: the APN (the network's default when empty) and its place.
std::string ApnTryDetail(const std::string& apn, std::size_t position, std::size_t count);

} // namespace vantaro
