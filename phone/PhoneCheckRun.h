#pragma once
// Checking several ports at once: one worker per port, each reporting its port's findings as
// soon as it has them. The caller (the Phone dialog, the command line) can stop the run at any
// moment without waiting for a phone, and hears nothing after that.

#include "phone/DetachedWorkers.h"
#include "phone/PhoneCheck.h"
#include "phone/PortFindings.h"
#include "phone/SimCodes.h"
#include "phone/SerialPort.h"
#include "phone/UssdQuery.h"
#include "platform/Clock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantaro {

// The services a run needs, shared with its workers (which may outlive the caller's objects).
struct PhoneServices {
    std::shared_ptr<SerialPorts> ports;
    std::shared_ptr<Clock> clock;
};

class PhoneCheckRun {
public:
    // Called once per port, on that port's worker thread, one call at a time, never after
    // Stop() returned. It must not wait for the thread that stops the run (post, not send).
    using Report = std::function<void(const PortFindings&)>;
    // Called once with the outcome of a code sent, or of the PIN lock read, under the same rules.
    using PinReport = std::function<void(const PinAnswer&)>;
    using LockReport = std::function<void(const PinLockStatus&)>;
    using UssdReport = std::function<void(const UssdOutcome&)>;

    explicit PhoneCheckRun(PhoneServices services, CheckTimings timings = {});
    ~PhoneCheckRun();  // stops; never waits for a phone

    // Starts one worker per port. A port whose worker cannot start is reported at once as
    // "no answer". Nothing starts after Stop().
    void Check(const std::vector<std::string>& ports, Report report);
    // Sends a code to one port on a worker (see SendCode). A request with a code of the wrong
    // form is reported at once and nothing is sent.
    void SendCode(const std::string& port, const CodeRequest& request, PinReport report);
    // Reads a ready SIM's PIN lock and its PIN's tries left on a worker (see ReadPinLock).
    void ReadPinLock(const std::string& port, LockReport report);
    // Sends a USSD code (a balance code, a menu's answer) on a worker and waits for the reply
    // (see AskUssd).
    void AskUssd(const std::string& port, const std::string& code, UssdReport report);

    void Stop();
    // For the command line and tests, which may wait: true when every worker has ended.
    bool WaitAll(std::uint32_t timeoutMs) { return workers_.WaitAll(timeoutMs); }

private:
    PhoneServices services_;
    CheckTimings timings_;
    DetachedWorkers workers_;
};

} // namespace vantaro
