#include "workflow/RoamingGuard.h"

#include "platform/TextRules.h"
#include "settings/SettingsKeys.h"

namespace vantaro {

namespace {

// In the order of RoamingPolicy.
constexpr const char* kPolicyNames[] = {settings::kRoamingAsk, settings::kRoamingAllow, settings::kRoamingDeny};

const char* NameOf(RoamingPolicy policy) { return kPolicyNames[static_cast<int>(policy)]; }

std::string Decided(RoamingStep step, bool answeredYes) {
    switch (step) {
    case RoamingStep::Dial: return "dialling";
    case RoamingStep::Ask: return answeredYes ? "asked, answered yes; dialling" : "asked, answered no; not dialled";
    case RoamingStep::RefuseDenied: return "not dialled";
    case RoamingStep::RefuseNotAgreed: return "a redial, and roaming was not agreed to at Connect; not dialled";
    }
    return {};
}

} // namespace

RoamingPolicy ReadRoamingPolicy(const Profile& settings, Log* log) {
    constexpr char kMissing[] = "\x01";
    const std::string text = settings.ReadString(settings::kSetting, settings::kRoaming, kMissing);
    if (text == kMissing) return RoamingPolicy::Ask;
    for (RoamingPolicy policy : {RoamingPolicy::Ask, RoamingPolicy::Allow, RoamingPolicy::Deny})
        if (EqualsIgnoringAsciiCase(TrimmedOf(text, " \t"), NameOf(policy))) return policy;
    if (log)
        log->Step("settings.default", LogResult::Done, 0,
                  std::string(settings::kRoaming) + "=" + text + " is none of ask, allow and deny; ask is used");
    return RoamingPolicy::Ask;
}

RoamingStep DecideRoaming(RoamingPolicy policy, Registration registration, bool redial, bool agreed) {
    if (registration != Registration::Roaming || policy == RoamingPolicy::Allow) return RoamingStep::Dial;
    if (policy == RoamingPolicy::Deny) return RoamingStep::RefuseDenied;
    if (!redial) return RoamingStep::Ask;
    return agreed ? RoamingStep::Dial : RoamingStep::RefuseNotAgreed;
}

DialSession::DialClearance RoamingGuard::BeforeDial(bool redial) {
    Log* log = form_.StepLog();
    const RoamingPolicy policy = ReadRoamingPolicy(form_.Settings(), log);
    std::uint64_t series = 0;
    bool agreed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!redial) {
            ++series_;
            agreed_ = false;
        }
        series = series_;
        agreed = agreed_;
    }

    // The phone is asked only when its answer can change what happens.
    const std::string port = form_.DialPort();
    const bool read = policy != RoamingPolicy::Allow && !(redial && agreed && policy == RoamingPolicy::Ask);
    const Registration registration = read ? ReadRegistration(ports_, port, clock_, timings_) : Registration::Unknown;

    const RoamingStep step = DecideRoaming(policy, registration, redial, agreed);
    bool answeredYes = false;
    if (step == RoamingStep::Ask) {
        answeredYes = question_.Ask(form_.LookUpText(roamingtext::kAsk.key, roamingtext::kAsk.english));
        // A box answered after a newer Connect speaks for the old series only.
        std::lock_guard<std::mutex> lock(mutex_);
        if (series == series_) agreed_ = answeredYes;
    }
    if (log) {
        const char* said = RegistrationText(registration);
        log->Step("dial.roaming", LogResult::Done, 0,
                  std::string("roaming=") + NameOf(policy) + (redial ? ", redial" : ", connect") + ", port " +
                      (port.empty() ? "none" : port) + ": " +
                      (read ? (*said ? said : "no answer") : "not asked") + "; " + Decided(step, answeredYes));
    }

    DialSession::DialClearance clearance;
    if (step == RoamingStep::RefuseDenied) {
        clearance.dial = false;
        clearance.refusal = form_.LookUpText(roamingtext::kDenied.key, roamingtext::kDenied.english);
    } else if (step == RoamingStep::RefuseNotAgreed || (step == RoamingStep::Ask && !answeredYes)) {
        clearance.dial = false;
        clearance.refusal = form_.LookUpText(roamingtext::kDeclined.key, roamingtext::kDeclined.english);
    }
    return clearance;
}

} // namespace vantaro
