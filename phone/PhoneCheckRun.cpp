#include "phone/PhoneCheckRun.h"

namespace vantaro {

PhoneCheckRun::PhoneCheckRun(PhoneServices services, CheckTimings timings)
    : services_(std::move(services)), timings_(timings) {}

PhoneCheckRun::~PhoneCheckRun() { Stop(); }

void PhoneCheckRun::Check(const std::vector<std::string>& ports, Report report) {
    auto shared = std::make_shared<Report>(std::move(report));
    for (const std::string& name : ports) {
        const DetachedWorkers::Started started = workers_.Start([services = services_, timings = timings_, name, shared](
                                                const std::atomic<bool>& stop) -> DetachedWorkers::Delivery {
            PortFindings findings = CheckPort(*services.ports, name, *services.clock, stop, timings);
            return [shared, findings = std::move(findings)] { (*shared)(findings); };
        });
        if (started == DetachedWorkers::Started::NoThread) {
            PortFindings findings;
            findings.port = name;
            (*shared)(findings);
        }
    }
}

void PhoneCheckRun::EnterPin(const std::string& port, const std::string& pin, PinReport report) {
    if (!IsValidPin(pin)) {
        report(PinOutcome::NotValid);
        return;
    }
    auto shared = std::make_shared<PinReport>(std::move(report));
    const DetachedWorkers::Started started = workers_.Start([services = services_, timings = timings_, port, pin, shared](
                                            const std::atomic<bool>& stop) -> DetachedWorkers::Delivery {
        const PinOutcome outcome = SendPin(*services.ports, port, pin, *services.clock, stop, timings);
        return [shared, outcome] { (*shared)(outcome); };
    });
    if (started == DetachedWorkers::Started::NoThread) (*shared)(PinOutcome::NotOpened);
}

void PhoneCheckRun::Stop() { workers_.Stop(); }

} // namespace vantaro
