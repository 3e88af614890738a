// Asking the balance: what reaches the phone, how long the reply is waited for, and what the
// Balance dialog then shows.
#include "fakes/FakeClock.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePhonePort.h"
#include "fakes/PhoneFormFixture.h"
#include "phone/UssdQuery.h"
#include "resources/resource.h"
#include "workflow/BalanceForm.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

using testing::Answers;
using testing::FakeClock;
using testing::FakePhonePorts;
using testing::Piece;

constexpr char kAsk[] = "AT+CUSD=1,\"*100#\",15";
constexpr char kBalance[] = "+CUSD: 0,\"Balance 5.00\",15";

// The same code asked of phones that answer it in each of the ways phones do.
TEST(AskUssd, WaitsForTheReplyWhereverItComesAndCancelsOneThatNeverDoes) {
    struct Case {
        const char* what;
        Answers answers;
        UssdEnd end;
        const char* text;
        bool cancelled;
    };
    const std::string ok = "\r\nOK\r\n";
    const std::string reply = std::string("\r\n") + kBalance + "\r\n";
    const Case cases[] = {
        {"with its OK", {{10, ok + reply}}, UssdEnd::Reply, "Balance 5.00", false},
        {"before its OK", {{10, reply + ok}}, UssdEnd::Reply, "Balance 5.00", false},
        {"seconds later, torn", {{10, ok}, {8000, "\r\n+CUSD: 0,\"Bal"}, {8100, "ance 5.00\",15\r\n"}},
         UssdEnd::Reply, "Balance 5.00", false},
        {"refused by the phone", {{10, "\r\n+CME ERROR: 30\r\n"}}, UssdEnd::PhoneRefused, "", false},
        {"never", {{10, ok}}, UssdEnd::TimedOut, "", true},
        {"unplugged", {{10, ok}, {500, "", true}}, UssdEnd::PortLost, "", false},
    };
    for (const Case& test : cases) {
        FakeClock clock;
        FakePhonePorts ports(clock);
        ports.Add("COM3", [&](const std::string& command) {
            return command == kAsk ? test.answers : Answers{{10, ok}};
        });
        const std::atomic<bool> stop{false};
        const UssdOutcome outcome = AskUssd(ports, "COM3", "*100#", clock, stop);
        EXPECT_EQ(outcome.end, test.end) << test.what;
        EXPECT_EQ(outcome.reply.text.utf8, test.text) << test.what;
        const std::vector<std::string> written = ports.Log("COM3")->commands;
        ASSERT_FALSE(written.empty()) << test.what;
        EXPECT_EQ(written.front(), kAsk) << test.what;
        EXPECT_EQ(written.size() == 2 && written[1] == kUssdCancelCommand, test.cancelled) << test.what;
        if (test.end == UssdEnd::PhoneRefused) {
            EXPECT_EQ(outcome.finalLine, "+CME ERROR: 30") << test.what;
        }
    }
}

// A code that is not dialled never reaches the phone; a port in use or missing is said as such.
TEST(AskUssd, SendsNothingOfACodeThatIsNotDialledOrToAPortInUse) {
    FakeClock clock;
    FakePhonePorts ports(clock);
    ports.Refuse("COM4", PortOpenError::Busy, 5);
    const std::atomic<bool> stop{false};
    EXPECT_EQ(AskUssd(ports, "COM4", "*100#\",0;+CFUN=0", clock, stop).end, UssdEnd::CodeRefused) << "not even opened";
    EXPECT_EQ(AskUssd(ports, "COM4", "*100#", clock, stop).end, UssdEnd::PortBusy);
    EXPECT_EQ(AskUssd(ports, "COM9", "*100#", clock, stop).end, UssdEnd::PortMissing);
}

class BalanceFormTest : public ::testing::Test {
protected:
    static BalanceForm Form(testing::FakeControls& controls, const std::string& code) {
        return BalanceForm(controls, [](const TextKey& key) { return std::string(key.english); },
                           [](const std::string& utf8) { return utf8; }, code);
    }
    static UssdOutcome Reply(UssdStatus status, const std::string& text, UssdDecoding decoding = UssdDecoding::AsSent) {
        UssdOutcome outcome;
        outcome.end = UssdEnd::Reply;
        outcome.reply.status = status;
        outcome.reply.text = {text, decoding};
        return outcome;
    }
};

TEST_F(BalanceFormTest, ACodeGoesOutOnceAndItsAnswerIsShownWithWhatItIs) {
    struct Case {
        const char* what;
        UssdOutcome outcome;
        const char* answer;
        const char* note;
        bool menu;  // the field then takes the menu's answer
    };
    UssdOutcome refused;
    refused.end = UssdEnd::PhoneRefused;
    refused.finalLine = "ERROR";
    UssdOutcome busy;
    busy.end = UssdEnd::PortBusy;
    const Case cases[] = {
        {"the balance", Reply(UssdStatus::Answered, "Balance 5.00\nValid to 1 Jan"), "Balance 5.00\r\nValid to 1 Jan",
         "The network's answer to *100#.", false},
        {"a menu", Reply(UssdStatus::AwaitsAnswer, "1 Balance\n2 Bundles"), "1 Balance\r\n2 Bundles",
         "The network asks for an answer: type it and click Send.", true},
        {"a coding not known", Reply(UssdStatus::Answered, "0A0B", UssdDecoding::UnknownCoding), "0A0B",
         "The network's answer to *100#. The answer's coding is not one Vantaro reads: it is shown as hex.", false},
        {"not offered", Reply(UssdStatus::NotSupported, "", UssdDecoding::NoText), "",
         "The network or the phone does not offer this code.", false},
        {"refused", refused, "", "The phone refused the code (ERROR).", false},
        {"port in use", busy, "", "The phone's port is in use, by a connection or another program: disconnect first.",
         false},
    };
    for (const Case& test : cases) {
        testing::FakeControls controls;
        BalanceForm form = Form(controls, "*100#");
        form.ApplyTexts();
        EXPECT_EQ(form.Send(), std::optional<std::string>("*100#")) << test.what;
        EXPECT_FALSE(controls.IsEnabled(IDC_USSD_SEND)) << test.what;
        EXPECT_FALSE(form.Send()) << test.what << ": one at a time";
        form.Answered(test.outcome);
        EXPECT_EQ(controls.GetText(IDC_USSD_ANSWER), test.answer) << test.what;
        EXPECT_EQ(controls.GetText(IDC_USSD_NOTE), test.note) << test.what;
        EXPECT_EQ(controls.GetText(IDC_USSD_LABEL), test.menu ? "Your answer to the menu (digits, * and #):"
                                                              : "Code to send (digits, * and #):")
            << test.what;
        EXPECT_EQ(controls.GetText(IDC_USSD_CODE).empty(), test.menu) << test.what;
        EXPECT_TRUE(controls.IsEnabled(IDC_USSD_SEND)) << test.what;
    }
}

TEST_F(BalanceFormTest, WithoutTheDatabasesCodeItSaysSoAndRefusesWhatIsNotDialled) {
    testing::FakeControls controls;
    BalanceForm form = Form(controls, "");
    form.ApplyTexts();
    EXPECT_EQ(controls.GetText(IDC_USSD_NOTE),
              "The database has no balance code for this SIM's operator: type the one the operator gives.");
    controls.SetText(IDC_USSD_CODE, "*100#;ATD123");
    EXPECT_FALSE(form.Send());
    EXPECT_EQ(controls.GetText(IDC_USSD_NOTE), "Not sent: a code has only digits, * and #.");
}

class BalanceButtonTest : public ::testing::Test, protected testing::PhoneFormFixture {};

TEST_F(BalanceButtonTest, ProposesTheHomeOperatorsCodeOnlyForAReadySim) {
    Open({"COM1", "COM2", "COM3"});
    phone->PortChecked(ModemOf("COM1", "901", "01"));
    PortFindings visited = ModemOf("COM2", "901", "01");
    visited.simOperator.source = OperatorSource::RegisteredNetwork;
    phone->PortChecked(visited);
    phone->PortChecked(LockedModem("COM3", 3));
    const auto askOf = [this](int row) {
        table.SelectRow(row);
        phone->RowSelected();
        return phone->BalanceButtonAsk();
    };
    ASSERT_TRUE(askOf(0));
    EXPECT_EQ(askOf(0)->code, "*100#") << "the first of the provider's codes, without its blanks";
    ASSERT_TRUE(askOf(1));
    EXPECT_EQ(askOf(1)->code, "") << "a visited network's code would ask another operator";
    EXPECT_FALSE(askOf(2)) << "a SIM that wants its PIN";
    EXPECT_FALSE(phoneControls.IsEnabled(IDC_BALANCE));
}

} // namespace
} // namespace vantaro
