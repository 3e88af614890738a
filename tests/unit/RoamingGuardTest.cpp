// The roaming guard before each dial: [Setting] roaming, what the phone on the port says of its
// registration, the user's Connect and a redial after it, and the answer to the question.

#include "fakes/FakeClock.h"
#include "fakes/FakeLog.h"
#include "fakes/FakePhonePort.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/RoamingGuard.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

struct Question final : YesNoQuestion {
    bool Ask(const std::string& text) override { return asked.push_back(text), yes; }
    bool yes = false;
    std::vector<std::string> asked;
};

// The phone on COM5 at the Connect (call 0) and at the redial (call 1).
void PlugIn(testing::FakePhonePorts& ports, const std::string& phone, int call) {
    auto answers = testing::ReadyPhoneAnswers();
    const bool roaming = phone == "roaming" || (phone == "home, then roaming" && call == 1);
    answers["AT+CREG?"] = roaming ? "\r\n+CREG: 0,5\r\n\r\nOK\r\n" : "\r\n+CREG: 2,1,\"1A2B\",\"00C3\"\r\n\r\nOK\r\n";
    if (phone == "searching") answers["AT+CREG?"] = "\r\n+CREG: 0,2\r\n\r\nOK\r\n";
    if (phone == "roaming on GPRS only") answers.erase("AT+CREG?"), answers["AT+CGREG?"] = "\r\n+CGREG: 0,5\r\n\r\nOK\r\n";
    if (phone != "no port") ports.Add("COM5", phone == "silent" ? testing::SilentPhone() : testing::TablePhone(answers));
}

TEST(RoamingGuard, DialsAsksOrRefusesBySettingRegistrationAndAnswer) {
    struct Row { const char* setting; const char* phone; bool yes; const char* connect; const char* redial; };
    const Row rows[] = {
        {"", "home", true, "dial", "dial"},
        {"", "roaming", true, "asked, dial", "dial"},
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
        const std::string name = std::string(row.setting) + " / " + row.phone, setting = row.setting;
        testing::SettingsFormFixture fixture;
        fixture.profile.Reset(setting.empty() ? "" : "[Setting]\nroaming=" + setting + "\n");
        fixture.form.SetPortName("COM5");
        testing::RecordingLog log;
        fixture.form.SetLog(&log.log);
        testing::FakeClock clock;
        testing::FakePhonePorts ports(clock);
        Question question;
        question.yes = row.yes;
        RoamingGuard guard(fixture.form, ports, clock, question);
        for (int call = 0; call < 2; ++call) {
            PlugIn(ports, row.phone, call);
            const std::size_t askedBefore = question.asked.size();
            const std::uint32_t start = clock.now;
            const DialSession::DialClearance clearance = guard.BeforeDial(call == 1);
            EXPECT_LE(clock.now - start, 2000u) << name << ": the dial waits 2 s at most for the phone";
            const std::string did = (question.asked.size() > askedBefore ? "asked, " : "") +
                                    (clearance.dial ? "dial"
                                     : clearance.refusal == roamingtext::kDenied.english   ? "denied"
                                     : clearance.refusal == roamingtext::kDeclined.english ? "declined"
                                                                                           : clearance.refusal);
            EXPECT_EQ(did, call == 0 ? row.connect : row.redial) << name << (call == 0 ? ", Connect" : ", redial");
        }
        for (const std::string& asked : question.asked) EXPECT_EQ(asked, roamingtext::kAsk.english);
        const std::string steps = log.Text();
        EXPECT_EQ(steps.find("settings.default") != std::string::npos, setting == "perhaps") << name;
        EXPECT_NE(steps.find("dial.roaming"), steps.rfind("dial.roaming")) << name << ": each dial logs its decision";
        EXPECT_TRUE(setting != "allow" || ports.Log("COM5")->opens == 0) << "allow needs no answer from the phone";
    }
}

} // namespace
} // namespace vantaro
