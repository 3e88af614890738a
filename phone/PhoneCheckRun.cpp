#include "phone/PhoneCheckRun.h"

namespace vantaro {
namespace {

PinAnswer AnswerOf(PinOutcome outcome) {
    PinAnswer answer;
    answer.outcome = outcome;
    return answer;
}

} // namespace

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

void PhoneCheckRun::SendCode(const std::string& port, const CodeRequest& request, PinReport report) {
    if (!IsValidRequest(request)) {
        report(AnswerOf(PinOutcome::NotValid));
        return;
    }
    auto shared = std::make_shared<PinReport>(std::move(report));
    const DetachedWorkers::Started started = workers_.Start([services = services_, timings = timings_, port, request, shared](
                                            const std::atomic<bool>& stop) -> DetachedWorkers::Delivery {
        const PinAnswer answer = vantaro::SendCode(*services.ports, port, request, *services.clock, stop, timings);
        return [shared, answer] { (*shared)(answer); };
    });
    if (started == DetachedWorkers::Started::NoThread) (*shared)(AnswerOf(PinOutcome::NotOpened));
}

void PhoneCheckRun::ReadPinLock(const std::string& port, LockReport report) {
    auto shared = std::make_shared<LockReport>(std::move(report));
    const DetachedWorkers::Started started = workers_.Start([services = services_, timings = timings_, port, shared](
                                            const std::atomic<bool>& stop) -> DetachedWorkers::Delivery {
        const PinLockStatus status = vantaro::ReadPinLock(*services.ports, port, *services.clock, stop, timings);
        return [shared, status] { (*shared)(status); };
    });
    if (started == DetachedWorkers::Started::NoThread) {
        PinLockStatus status;
        status.outcome = PinOutcome::NotOpened;
        (*shared)(status);
    }
}

void PhoneCheckRun::AskUssd(const std::string& port, const std::string& code, UssdReport report) {
    auto shared = std::make_shared<UssdReport>(std::move(report));
    const DetachedWorkers::Started started = workers_.Start([services = services_, port, code, shared](
                                            const std::atomic<bool>& stop) -> DetachedWorkers::Delivery {
        const UssdOutcome outcome = vantaro::AskUssd(*services.ports, port, code, *services.clock, stop);
        return [shared, outcome] { (*shared)(outcome); };
    });
    if (started == DetachedWorkers::Started::NoThread) {
        UssdOutcome outcome;
        outcome.end = UssdEnd::PortLost;
        (*shared)(outcome);
    }
}

void PhoneCheckRun::Stop() { workers_.Stop(); }

} // namespace vantaro
