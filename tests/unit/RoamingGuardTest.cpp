// The roaming guard before each dial: [Setting] roaming, what the phone says of its
// registration, the user's Connect and a redial after it, and the answer to the question.

#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fakes/FakePhonePort.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/RoamingGuard.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

class RecordingQuestion final : public YesNoQuestion {
public:
    bool Ask(const std::string& text) override { return asked.push_back(text), answer; }
    bool answer = false;
    std::vector<std::string> asked;
};

// The phone on COM5 at the Connect (call 0) and at the redial (call 1); nothing: no such port.
std::optional<testing::PhoneScript> Phone(const std::string& kind, int call) {
    auto answers = testing::ReadyPhoneAnswers();
    const bool roaming = kind == "roaming" || (kind == "home, then roaming" && call == 1);
    answers["AT+CREG?"] = roaming ? "\r\n+CREG: 0,5\r\n\r\nOK\r\n" : "\r\n+CREG: 2,1,\"1A2B\",\"00C3\"\r\n\r\nOK\r\n";
    if (kind == "roaming on GPRS only") answers.erase("AT+CREG?"), answers["AT+CGREG?"] = "\r\n+CGREG: 0,5\r\n\r\nOK\r\n";
    if (kind == "searching") answers["AT+CREG?"] = "\r\n+CREG: 0,2\r\n\r\nOK\r\n";
    if (kind == "silent") return testing::SilentPhone();
    if (kind == "no port") return std::nullopt;
    return testing::TablePhone(answers);
}

// What one dial did: "dial", "asked, dial", "asked, declined", "declined" or "denied".
struct Row {
    const char* setting;  // nullptr: no roaming key
    const char* phone;
    bool yes;
    const char* connect;
    const char* redial;
};

TEST(RoamingGuard, DialsAsksOrRefusesBySettingRegistrationAndAnswer) {
    const Row rows[] = {
        {nullptr, "home", true, "dial", "dial"},
        {nullptr, "roaming", true, "asked, dial", "dial"},
        {"ask", "roaming", false, "asked, declined", "declined"},
        {"ask", "roaming on GPRS only", true, "asked, dial", "dial"},
        {"ask", "home, then roaming", true, "dial", "declined"},
        {"deny", "roaming", true, "denied", "denied"},
        {" DENY", "roaming on GPRS only", true, "denied", "denied"},
        {"allow", "roaming", false, "dial", "dial"},
        {"perhaps", "roaming", false, "asked, declined", "declined"},
        {"deny", "searching", false, "dial", "dial"},
        {"deny", "silent", false, "dial", "dial"},
        {"deny", "no port", false, "dial", "dial"},
    };
    for (const Row& row : rows) {
        const std::string name = (row.setting ? row.setting : "(none)") + std::string(" / ") + row.phone;
        testing::SettingsFormFixture fixture;
        fixture.profile.Reset(row.setting ? std::string("[Setting]\nroaming=") + row.setting + "\n" : "");
        fixture.form.SetPortName("COM5");
        testing::RecordingLog log;
        fixture.form.SetLog(&log.log);
        testing::FakeClock clock;
        testing::FakePhonePorts ports(clock);
        RecordingQuestion question;
        question.answer = row.yes;
        RoamingGuard guard(fixture.form, ports, clock, question);

        for (int call = 0; call < 2; ++call) {
            if (auto phone = Phone(row.phone, call)) ports.Add("COM5", *phone);
            const std::size_t askedBefore = question.asked.size();
            const std::uint32_t start = clock.now;
            const DialSession::DialClearance clearance = guard.BeforeDial(call == 1);
            EXPECT_LE(clock.now - start, 2000u) << name << ": the check must keep the dial waiting 2 s at most";
            std::string did = question.asked.size() > askedBefore ? "asked, " : "";
            did += clearance.dial ? "dial"
                   : clearance.refusal == roamingtext::kDenied.english   ? "denied"
                   : clearance.refusal == roamingtext::kDeclined.english ? "declined"
                                                                         : "refused: " + clearance.refusal;
            EXPECT_EQ(did, call == 0 ? row.connect : row.redial) << name << (call == 0 ? ", Connect" : ", redial");
        }
        if (!question.asked.empty()) {
            EXPECT_EQ(question.asked[0], roamingtext::kAsk.english) << name;
        }
        const std::vector<std::string> steps = log.Steps();
        EXPECT_EQ(std::count_if(steps.begin(), steps.end(), [](const std::string& s) { return s.rfind("dial.roaming\t", 0) == 0; }), 2)
            << name << ": every dial logs what was decided";
        const bool defaulted = std::any_of(steps.begin(), steps.end(), [](const std::string& s) { return s.rfind("settings.default\t", 0) == 0; });
        const std::string setting = row.setting ? row.setting : "";
        EXPECT_EQ(defaulted, setting == "perhaps") << name;
        if (setting == "allow") {
            EXPECT_EQ(ports.Log("COM5")->opens, 0) << "allow needs no answer from the phone";
        }
    }
}

} // namespace
} // namespace vantaro
