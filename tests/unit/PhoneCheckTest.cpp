// The check of one port against scripted phones on a fake clock: what each kind of phone is
// found to be, how long each kind may take, the SIM's operator, and the PIN sent once.

#include "fakes/FakeClock.h"
#include "fakes/FakePhonePort.h"
#include "phone/AtConversation.h"
#include "phone/PhoneCheck.h"
#include "phone/SimCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

namespace vantaro {

// Findings in a failure message: as the command line prints them.
void PrintTo(const PortFindings& findings, std::ostream* out) {
    *out << CheckLine(findings) << " (gprs " << RegistrationText(findings.gprs) << ", error " << findings.platformError
         << ", " << DescribeSimOperator(findings.simOperator)
         << (findings.simOperator.registeredMatchesImsi ? ", the IMSI's own" : "") << ")";
}

namespace {

using testing::Answers;
using testing::FakeClock;
using testing::FakePhonePorts;
using testing::Piece;
using testing::ReadyPhoneAnswers;
using testing::TablePhone;

// One phone that differs from the ready one in a few answers, and the findings it must give.
struct PhoneCase {
    const char* rule;
    std::map<std::string, std::string> changes;
    PortFindings expected;
};

PortFindings Found(PortState state, std::string maker = "", std::string model = "", SimState sim = SimState::Unknown,
                   std::optional<int> signal = std::nullopt, Registration network = Registration::Unknown,
                   Registration gprs = Registration::Unknown) {
    PortFindings f;
    f.port = "COM3";
    f.state = state;
    f.maker = std::move(maker);
    f.model = std::move(model);
    f.sim = sim;
    f.signal = signal;
    f.network = network;
    f.gprs = gprs;
    return f;
}

PortFindings Tries(PortFindings findings, int tries) {
    findings.triesLeft = tries;
    return findings;
}

SimOperator SimOperatorOf(OperatorSource source, const char* mcc, const char* mnc,
                                     bool matchesImsi = false) {
    SimOperator simOperator;
    simOperator.source = source;
    simOperator.network = {mcc, mnc};
    simOperator.registeredMatchesImsi = matchesImsi;
    return simOperator;
}
SimOperator Home(const char* mcc, const char* mnc) {
    return SimOperatorOf(OperatorSource::SimHome, mcc, mnc);
}
SimOperator NoOperator(NoOperatorReason reason) {
    SimOperator simOperator;
    simOperator.reason = reason;
    return simOperator;
}

const PortFindings kReady = [] {
    PortFindings f = Found(PortState::Modem, "ZOR", "Z100", SimState::Ready, 20, Registration::Home, Registration::Home);
    f.simOperator = Home("460", "00");
    return f;
}();

PortFindings ReadyWith(std::function<void(PortFindings&)> change) {
    PortFindings f = kReady;
    change(f);
    return f;
}

// A SIM that is not ready is not asked for its operator.
PortFindings SimNotReady(SimState sim) {
    return ReadyWith([sim](PortFindings& f) {
        f.sim = sim;
        f.simOperator = {};
    });
}

const PhoneCase kPhoneCases[] = {
    {"a ready phone", {}, kReady},
    {"maker and model with their names", {{"AT+CGMI", "\r\n+CGMI: \"ZOR\"\r\nOK\r\n"}, {"AT+CGMM", "\r\n+CGMM: Z100\r\nOK\r\n"}}, kReady},
    {"model from ATI's Model line when AT+CGMM fails",
     {{"AT+CGMM", "\r\nERROR\r\n"}, {"ATI", "\r\nManufacturer: ZOR\r\nModel: Z200\r\nRevision: 1\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f.model = "Z200"; })},
    {"model from ATI's first line", {{"AT+CGMM", "\r\n+CME ERROR: 4\r\n"}, {"ATI", "\r\nZ300 modem\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f.model = "Z300 modem"; })},
    {"SIM wants its PIN", {{"AT+CPIN?", "\r\n+CPIN: SIM PIN\r\nOK\r\n"}}, SimNotReady(SimState::Pin)},
    {"SIM wants its PUK", {{"AT+CPIN?", "\r\n+CPIN: SIM PUK\r\nOK\r\n"}}, SimNotReady(SimState::Puk)},
    {"no SIM by number", {{"AT+CPIN?", "\r\n+CME ERROR: 10\r\n"}}, SimNotReady(SimState::NoSim)},
    {"no SIM in words", {{"AT+CPIN?", "\r\n+CME ERROR: SIM not inserted\r\n"}}, SimNotReady(SimState::NoSim)},
    {"a phone that tells the tries of every code: the one the SIM wants counts",
     {{"AT+CPIN?", "\r\n+CPIN: SIM PUK\r\nOK\r\n"},
      {kTriesLeftCommand, "\r\n+CPINR: SIM PIN,0,3\r\n+CPINR: \"SIM PUK\",9,10\r\n+CPINR: SIM PIN2,3,3\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f = SimNotReady(SimState::Puk); f.triesLeft = 9; })},
    {"a count that is garbage, or more than the code's tries, is not shown",
     {{"AT+CPIN?", "\r\n+CPIN: SIM PIN\r\nOK\r\n"},
      {kTriesLeftCommand, "\r\n+CPINR: SIM PIN,x3,3\r\n+CPINR: SIM PIN,7,3\r\nOK\r\n"}},
     SimNotReady(SimState::Pin)},
    {"a phone locked to a network", {{"AT+CPIN?", "\r\n+CPIN: PH-NET PIN\r\nOK\r\n"}}, SimNotReady(SimState::PhoneNetworkPin)},
    {"signal unknown", {{"AT+CSQ", "\r\n+CSQ: 99,99\r\nOK\r\n"}}, ReadyWith([](PortFindings& f) { f.signal.reset(); })},
    {"signal out of range is unknown", {{"AT+CSQ", "\r\n+CSQ: 32,99\r\nOK\r\n"}}, ReadyWith([](PortFindings& f) { f.signal.reset(); })},
    {"signal without OK is unknown", {{"AT+CSQ", "\r\n+CSQ: 20,99\r\nERROR\r\n"}}, ReadyWith([](PortFindings& f) { f.signal.reset(); })},
    {"roaming", {{"AT+CREG?", "\r\n+CREG: 0,5\r\nOK\r\n"}}, ReadyWith([](PortFindings& f) { f.network = Registration::Roaming; })},
    {"searching", {{"AT+CREG?", "\r\n+CREG: 0,2\r\nOK\r\n"}, {"AT+CGREG?", "\r\n+CGREG: 0,2\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f.network = f.gprs = Registration::Searching; })},
    {"denied", {{"AT+CREG?", "\r\n+CREG: 0,3\r\nOK\r\n"}}, ReadyWith([](PortFindings& f) { f.network = Registration::Denied; })},
    {"not registered", {{"AT+CREG?", "\r\n+CREG: 2,0\r\nOK\r\n"}}, ReadyWith([](PortFindings& f) { f.network = Registration::NotRegistered; })},
    {"registration with location", {{"AT+CREG?", "\r\n+CREG: 2,1,\"1A2B\",\"00C3\",2\r\nOK\r\n"}}, kReady},
    {"an unsolicited registration between is not the answer",
     {{"AT+CREG?", "\r\n+CREG: 3,\"1A2B\",\"00C3\"\r\n+CREG: 2,5,\"1A2B\",\"00C3\"\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f.network = Registration::Roaming; })},
    {"unsolicited lines all through", {{"AT+CSQ", "\r\nRING\r\n^RSSI: 3\r\n+CSQ: 7,99\r\n+CREG: 1\r\nOK\r\n"}},
     ReadyWith([](PortFindings& f) { f.signal = 7; })},
    {"AT answered ERROR is no answer", {{"AT", "\r\nERROR\r\n"}}, Found(PortState::NoAnswer)},
    {"NUL bytes are not a modem", {{"AT", std::string(40, '\0')}}, Found(PortState::NotAModem)},
    {"a line without end is not a modem", {{"AT", std::string(2000, 'g')}}, Found(PortState::NotAModem)},
};

// The ready phone with some answers changed, on COM3, checked.
template <typename Changes>
PortFindings CheckChangedReadyPhone(FakePhonePorts& ports, FakeClock& clock, const Changes& changes, bool echo) {
    std::map<std::string, std::string> answers = ReadyPhoneAnswers();
    for (const auto& [command, answer] : changes) answers[command] = answer;
    ports.Add("COM3", TablePhone(answers, echo));
    std::atomic<bool> stop{false};
    return CheckPort(ports, "COM3", clock, stop);
}

class PhoneKinds : public ::testing::TestWithParam<PhoneCase> {};

TEST_P(PhoneKinds, AreFoundForWhatTheyAre) {
    const PhoneCase& c = GetParam();
    for (bool echo : {false, true}) {
        FakeClock clock;
        FakePhonePorts ports(clock);
        EXPECT_EQ(CheckChangedReadyPhone(ports, clock, c.changes, echo), c.expected)
            << c.rule << (echo ? " (echo on)" : "");
        EXPECT_TRUE(ports.Log("COM3")->closed) << c.rule;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PhoneKinds, ::testing::ValuesIn(kPhoneCases));

class PortCheck : public ::testing::Test {
protected:
    PortFindings Check(const std::string& name = "COM3") { return CheckPort(ports, name, clock, stop); }
    std::vector<std::string> Commands(const std::string& name = "COM3") { return ports.Log(name)->commands; }

    FakeClock clock;
    FakePhonePorts ports{clock};
    std::atomic<bool> stop{false};
};

TEST_F(PortCheck, PortsThatDoNotOpenSayWhy) {
    ports.Refuse("COM1", PortOpenError::Busy, 5);
    ports.Refuse("COM2", PortOpenError::Refused, 1);
    EXPECT_EQ(Check("COM1").state, PortState::Busy);
    EXPECT_EQ(Check("COM1").platformError, 5u);
    EXPECT_EQ(Check("COM2").state, PortState::Refused);
    EXPECT_EQ(Check("COM9").state, PortState::NoAnswer) << "a port that is gone has no phone on it";
}

TEST_F(PortCheck, ASilentPortIsAskedThreeTimesForOneSecondEachThenNoAnswer) {
    ports.Add("COM3", testing::SilentPhone());
    const std::uint32_t start = clock.now;
    EXPECT_EQ(Check().state, PortState::NoAnswer);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AT", "AT", "AT"}));
    EXPECT_EQ(clock.now - start, 3000u);
    for (std::uint32_t sleep : clock.sleeps) EXPECT_LE(sleep, kReadSliceMs) << "every read is a short slice";
}

TEST_F(PortCheck, APhoneThatWakesAfterTwoAndAHalfSecondsIsFoundAndItsLateAnswersAreDropped) {
    // Everything asked before it woke is answered at once when it wakes.
    const std::uint32_t wakes = clock.now + 2500;
    testing::PhoneScript ready = TablePhone(ReadyPhoneAnswers());
    ports.Add("COM3", [&, ready](const std::string& command) {
        Answers answers = ready(command);
        const std::int32_t asleep = static_cast<std::int32_t>(wakes - clock.now);
        if (asleep > 0) answers.front().afterMs = static_cast<std::uint32_t>(asleep);
        return answers;
    });
    EXPECT_EQ(Check(), kReady);
}

TEST_F(PortCheck, AnAnswerSplitIntoPiecesIsPutTogether) {
    ports.Add("COM3", [](const std::string& command) {
        if (command != "AT+CGMI") return TablePhone(ReadyPhoneAnswers())(command);
        return Answers{{10, "\r\nZ"}, {30, "O"}, {60, "R\r"}, {90, "\n\r\nO"}, {95, "K\r\n"}};
    });
    EXPECT_EQ(Check(), kReady);
}

TEST_F(PortCheck, APhoneIsToldToGiveErrorNumbersOnceItAnswersSoThatAMissingSimIsSeen) {
    // A phone left at +CMEE=0 says a bare ERROR for a missing SIM.
    bool numbers = false;
    ports.Add("COM3", [&numbers](const std::string& command) {
        std::map<std::string, std::string> answers = ReadyPhoneAnswers();
        answers["AT+CPIN?"] = numbers ? "\r\n+CME ERROR: 10\r\n" : "\r\nERROR\r\n";
        if (command == kModemSetupCommand) numbers = true;
        return TablePhone(answers)(command);
    });
    EXPECT_EQ(Check().sim, SimState::NoSim);
    EXPECT_EQ(Commands().at(1), kModemSetupCommand) << "right after the AT that found the phone";
}

TEST_F(PortCheck, AQuestionLeftUnansweredLeavesItsFieldEmpty) {
    std::map<std::string, std::string> answers = ReadyPhoneAnswers();
    answers.erase("AT+CGMI");
    testing::PhoneScript table = TablePhone(answers);
    ports.Add("COM3", [table](const std::string& command) {
        return command == "AT+CGMI" ? Answers{} : table(command);
    });
    PortFindings expected = kReady;
    expected.maker.clear();
    EXPECT_EQ(Check(), expected) << "the phone still answers AT, so it is there";
}

TEST_F(PortCheck, APhoneThatGoesAwayMidAnswerIsNoAnswer) {
    for (const bool failsOnRead : {true, false}) {
        FakePhonePorts local(clock);
        // Gone as on Windows (the read fails) or as on a pseudo-terminal (nothing more comes).
        local.Add("COM3", [failsOnRead, gone = false](const std::string& command) mutable {
            if (gone) return Answers{};
            if (command != "AT+CPIN?") return TablePhone(ReadyPhoneAnswers())(command);
            gone = true;
            return failsOnRead ? Answers{{5, "\r\n+CPI"}, {10, "", true}} : Answers{{5, "\r\n+CPI"}};
        });
        const std::uint32_t start = clock.now;
        const PortFindings found = CheckPort(local, "COM3", clock, stop);
        EXPECT_EQ(found.state, PortState::NoAnswer) << (failsOnRead ? "read fails" : "silence");
        EXPECT_EQ(found.maker, "") << "nothing of a phone that is gone is reported";
        EXPECT_LE(clock.now - start, 2000u + 1000u + 100u) << "one question's deadline and one AT, no more";
        EXPECT_TRUE(local.Log("COM3")->closed);
    }
}

TEST_F(PortCheck, AStopIsSeenWithinOneReadSlice) {
    ports.Add("COM3", testing::SilentPhone());
    clock.onSleep = [&] {
        if (clock.now >= 1250) stop = true;
    };
    const std::uint32_t start = clock.now;
    Check();
    EXPECT_LE(clock.now - start, 250u + kReadSliceMs);
    EXPECT_TRUE(ports.Log("COM3")->closed);
    const std::size_t sent = Commands().size();
    Check();
    EXPECT_EQ(Commands().size(), sent) << "a stopped check sends nothing more";
}

// The SIM's operator: which questions a ready SIM is asked after the registration, and what
// its answers make of it. The rest of the findings stay as they are, whatever the SIM says.
constexpr char kEfAdRefused[] = "\r\n+CRSM: 106,130,\"\"\r\nOK\r\n";
constexpr char kRegisteredAt46000[] = "\r\n+COPS: 0,2,\"46000\",2\r\nOK\r\n";

const std::vector<std::string> kHomeQuestions = {kImsiCommand, kReadMncLengthCommand};
const std::vector<std::string> kAllQuestions = {kImsiCommand, kReadMncLengthCommand, kNumericOperatorFormatCommand,
                                                kRegisteredOperatorCommand};

struct OperatorCase {
    const char* rule;
    std::map<std::string, std::string> changes;
    std::vector<std::string> questions;  // sent after AT+CGREG?
    SimOperator expected;
};

const OperatorCase kOperatorCases[] = {
    {"a two-digit MNC, as EF_AD says", {}, kHomeQuestions, Home("460", "00")},
    {"a three-digit MNC, as EF_AD says",
     {{kImsiCommand, "\r\n310260123456789\r\nOK\r\n"}, {kReadMncLengthCommand, "\r\n+CRSM: 144,0,\"00FFFF03\"\r\nOK\r\n"}},
     kHomeQuestions, Home("310", "260")},
    {"the same IMSI with a two-digit MNC in EF_AD",
     {{kImsiCommand, "\r\n+CIMI: 310260123456789\r\nOK\r\n"}, {kReadMncLengthCommand, "\r\n+CRSM: 145,3,\"01000002\"\r\nOK\r\n"}},
     kHomeQuestions, Home("310", "26")},
    {"EF_AD refused: the registered operator, the IMSI's own",
     {{kReadMncLengthCommand, kEfAdRefused}, {kNumericOperatorFormatCommand, "\r\nOK\r\n"}, {kRegisteredOperatorCommand, kRegisteredAt46000}},
     kAllQuestions, SimOperatorOf(OperatorSource::RegisteredNetwork, "460", "00", true)},
    {"EF_AD answered +CME ERROR: another network of the country, and the format refused",
     {{kReadMncLengthCommand, "\r\n+CME ERROR: 3\r\n"}, {kRegisteredOperatorCommand, "\r\n+COPS: 0,2,\"46001\"\r\nOK\r\n"}},
     kAllQuestions, SimOperatorOf(OperatorSource::RegisteredNetwork, "460", "01")},
    {"roaming with EF_AD known: the home operator, the visited one is not asked",
     {{"AT+CREG?", "\r\n+CREG: 0,5\r\nOK\r\n"}, {kRegisteredOperatorCommand, "\r\n+COPS: 0,2,\"26201\",2\r\nOK\r\n"}},
     kHomeQuestions, Home("460", "00")},
    {"roaming with EF_AD refused: the visited operator is not the SIM's",
     {{"AT+CREG?", "\r\n+CREG: 0,5\r\nOK\r\n"}, {kReadMncLengthCommand, kEfAdRefused},
      {kNumericOperatorFormatCommand, "\r\nOK\r\n"}, {kRegisteredOperatorCommand, "\r\n+COPS: 0,2,\"26201\",2\r\nOK\r\n"}},
     kAllQuestions, NoOperator(NoOperatorReason::RegisteredAbroad)},
    {"+CME ERROR on AT+CIMI is an answer: no operator, nothing more asked",
     {{kImsiCommand, "\r\n+CME ERROR: 10\r\n"}}, {kImsiCommand}, NoOperator(NoOperatorReason::NoImsi)},
    {"an IMSI without OK is none", {{kImsiCommand, "\r\n460001234567890\r\nERROR\r\n"}}, {kImsiCommand},
     NoOperator(NoOperatorReason::NoImsi)},
    {"SIM locked: not asked", {{"AT+CPIN?", "\r\n+CPIN: SIM PIN\r\nOK\r\n"}}, {}, {}},
};

class SimOperators : public ::testing::TestWithParam<OperatorCase> {};

TEST_P(SimOperators, AreReadFromTheSimAndElseFromTheRegistration) {
    const OperatorCase& c = GetParam();
    for (bool echo : {false, true}) {
        FakeClock clock;
        FakePhonePorts ports(clock);
        const PortFindings found = CheckChangedReadyPhone(ports, clock, c.changes, echo);

        PortFindings expected = found;
        expected.simOperator = c.expected;
        EXPECT_EQ(found, expected) << c.rule << (echo ? " (echo on)" : "");
        EXPECT_EQ(found.state, PortState::Modem) << c.rule;
        EXPECT_EQ(found.maker, "ZOR") << c.rule << ": the other findings stay";
        EXPECT_EQ(found.signal, 20) << c.rule;
        const std::vector<std::string>& sent = ports.Log("COM3")->commands;
        const auto registration = std::find(sent.begin(), sent.end(), "AT+CGREG?");
        ASSERT_NE(registration, sent.end()) << c.rule;
        // A SIM whose operator is known is then asked its ICCID (this phone refuses AT+CCID,
        // then EF_ICCID) and its provider's name.
        std::vector<std::string> questions = c.questions;
        if (c.expected.source != OperatorSource::None)
            questions.insert(questions.end(), {kIccidCommand, kReadIccidCommand, kReadSpnCommand});
        EXPECT_EQ(std::vector<std::string>(registration + 1, sent.end()), questions) << c.rule;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SimOperators, ::testing::ValuesIn(kOperatorCases));

TEST(SimIdentityOfACheck, TheIccidComesFromEitherQuestionAndTheNameFromEfSpn) {
    const std::string spn = "\r\n+CRSM: 144,0,\"005A4F52204D6F62696C65FFFFFFFFFFFF\"\r\nOK\r\n";
    const struct {
        const char* rule;
        std::map<std::string, std::string> changes;
        const char* iccid;
        const char* name;
    } cases[] = {
        {"+ICCID:, set aside as no answer of AT+CCID's name",
         {{kIccidCommand, "\r\n+ICCID: 8986001234567890123\r\nOK\r\n"}, {kReadSpnCommand, spn}}, "8986001234567890123",
         "ZOR Mobile"},
        {"EF_ICCID after AT+CCID refused", {{kReadIccidCommand, "\r\n+CRSM: 144,0,\"986800214365870921F3\"\r\nOK\r\n"}},
         "8986001234567890123", ""},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        FakePhonePorts ports(clock);
        const PortFindings found = CheckChangedReadyPhone(ports, clock, c.changes, false);
        EXPECT_EQ(found.iccid, c.iccid) << c.rule;
        EXPECT_EQ(found.serviceProviderName, c.name) << c.rule;
        EXPECT_EQ(found.simOperator.source, OperatorSource::SimHome) << c.rule;
    }
}

TEST_F(PortCheck, NothingOfTheImsiBeyondItsHeadIsKeptOrShown) {
    ports.Add("COM3", testing::ReadyPhone());
    const PortFindings found = Check();
    std::ostringstream printed;
    PrintTo(found, &printed);
    const std::string texts[] = {printed.str(), CheckLine(found), DescribeSimOperator(found.simOperator),
                                 found.maker, found.model, found.simOperator.network.mcc + found.simOperator.network.mnc};
    // The ready phone's IMSI is 460001234567890: its seventh digit on is the subscriber's.
    for (const std::string& text : texts) EXPECT_EQ(text.find("4600012"), std::string::npos) << "a record holds the IMSI";
    EXPECT_EQ(CheckLine(found), CheckLine(kReady)) << "the /check line stays as it was";
}

// A SIM question left unanswered costs its own deadline and one AT, and ends the reading.
struct UnansweredCase {
    const char* command;
    std::vector<std::string> questions;
    NoOperatorReason reason;
};

TEST_F(PortCheck, ASimQuestionLeftUnansweredEndsTheReadingWithinItsDeadline) {
    const UnansweredCase cases[] = {
        {kImsiCommand, {kImsiCommand, "AT"}, NoOperatorReason::NoImsi},
        {kReadMncLengthCommand, {kImsiCommand, kReadMncLengthCommand, "AT"}, NoOperatorReason::NoNetwork},
        {kNumericOperatorFormatCommand, {kImsiCommand, kReadMncLengthCommand, kNumericOperatorFormatCommand, "AT"},
         NoOperatorReason::NoNetwork},
    };
    for (const UnansweredCase& c : cases) {
        std::map<std::string, std::string> answers = ReadyPhoneAnswers();
        answers[kReadMncLengthCommand] = kEfAdRefused;
        testing::PhoneScript table = TablePhone(answers);
        FakePhonePorts local(clock);
        local.Add("COM3", [&](const std::string& command) { return command == c.command ? Answers{} : table(command); });
        const std::uint32_t start = clock.now;
        const PortFindings found = CheckPort(local, "COM3", clock, stop);
        EXPECT_EQ(found, ReadyWith([&](PortFindings& f) { f.simOperator = NoOperator(c.reason); })) << c.command;
        EXPECT_LE(clock.now - start, CheckTimings{}.queryMs + CheckTimings{}.probeMs) << c.command;
        const std::vector<std::string>& sent = local.Log("COM3")->commands;
        const auto registration = std::find(sent.begin(), sent.end(), "AT+CGREG?");
        ASSERT_NE(registration, sent.end());
        EXPECT_EQ(std::vector<std::string>(registration + 1, sent.end()), c.questions) << c.command;
    }
}

TEST_F(PortCheck, AStopDuringTheSimQuestionsIsSeenWithinOneReadSliceAndNothingMoreIsAsked) {
    testing::PhoneScript ready = TablePhone(ReadyPhoneAnswers());
    ports.Add("COM3", [ready](const std::string& command) {
        Answers answers = ready(command);
        if (command == kImsiCommand) answers.front().afterMs = 1500;
        return answers;
    });
    std::uint32_t asked = 0;
    clock.onSleep = [&] {
        const std::vector<std::string>& sent = ports.Log("COM3")->commands;
        if (!asked && !sent.empty() && sent.back() == kImsiCommand) asked = clock.now;
        if (asked && clock.now - asked >= 250) stop = true;
    };
    const PortFindings found = Check();
    EXPECT_LE(clock.now - asked, 250u + kReadSliceMs);
    EXPECT_EQ(Commands().back(), kImsiCommand) << "nothing is asked after the stop";
    EXPECT_EQ(found.simOperator.source, OperatorSource::None);
    EXPECT_TRUE(ports.Log("COM3")->closed);
}

TEST(Conversation, ADeviceThatAnswersEveryReadAtOnceWithNothingDoesNotSpin) {
    // A null device: reads return at once, empty.
    struct NullPort final : SerialPort {
        bool Write(std::string_view) override { return true; }
        // Gives up after 100 reads, so that a reader that spins fails instead of hanging.
        std::optional<std::string> Read(std::uint32_t) override {
            if (++reads > 100) return std::nullopt;
            return std::string();
        }
        void Purge() override {}
        void Close() override {}
        int reads = 0;
    } port;
    FakeClock clock;
    std::atomic<bool> stop{false};
    EXPECT_EQ(AtConversation(port, clock, stop).Send("AT", 1000).end, ResponseEnd::TimedOut);
    EXPECT_EQ(port.reads, 10) << "one read per slice";
}

TEST(Conversation, ADeadlineIsKeptAcrossAWrapOfTheTickCount) {
    FakeClock clock;
    clock.now = 0xFFFFFF00u;
    FakePhonePorts ports(clock);
    ports.Add("COM3", testing::SilentPhone());
    std::atomic<bool> stop{false};
    PortOpenResult opened = ports.Open("COM3");
    EXPECT_EQ(AtConversation(*opened.port, clock, stop).Send("AT", 1000).end, ResponseEnd::TimedOut);
    EXPECT_EQ(clock.now, 0xFFFFFF00u + 1000u);
}

// The codes: each sent once, as it was given, only when it has its form; after a refusal the
// SIM's state and tries are asked, never the code again.
class PinEntry : public PortCheck {
protected:
    PinAnswer Send(CodeAction action, std::string_view code, std::string_view newPin = {}, const std::string& port = "COM3") {
        return SendCode(ports, port, {action, Secret(code), Secret(newPin)}, clock, stop);
    }
    PinOutcome Send(std::string_view pin) { return Send(CodeAction::EnterPin, pin).outcome; }
};

TEST_F(PinEntry, OnlyCodesOfTheirFormAreSent) {
    ports.Add("COM3", testing::ReadyPhone());
    for (const char* pin : {"", "123", "123456789", "12a4", "12 34", "+1234", "1234\r", "\"1234\""})
        EXPECT_EQ(Send(pin), PinOutcome::NotValid) << pin;
    EXPECT_EQ(Send(std::string("12\0" "34", 5)), PinOutcome::NotValid);
    EXPECT_EQ(Send(CodeAction::Unlock, "1234567", "1234").outcome, PinOutcome::NotValid) << "a PUK is 8 digits";
    EXPECT_EQ(Send(CodeAction::Unlock, "12345678", "12").outcome, PinOutcome::NotValid) << "and the new PIN a PIN";
    EXPECT_EQ(Send(CodeAction::ChangePin, "1234", "").outcome, PinOutcome::NotValid);
    EXPECT_TRUE(Commands().empty()) << "nothing was sent";
    EXPECT_EQ(ports.Log("COM3")->opens, 0) << "the port was not even opened";
}

TEST_F(PinEntry, EachActionIsItsOneCommand) {
    ports.Add("COM3", [](const std::string&) { return Answers{{50, "\r\nOK\r\n"}}; });
    EXPECT_EQ(Send(CodeAction::Unlock, "87654321", "1111").outcome, PinOutcome::Accepted);
    EXPECT_EQ(Send(CodeAction::ChangePin, "1111", "2222").outcome, PinOutcome::Accepted);
    EXPECT_EQ(Send(CodeAction::LockOff, "2222").outcome, PinOutcome::Accepted);
    EXPECT_EQ(Send(CodeAction::LockOn, "2222").outcome, PinOutcome::Accepted);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AT+CPIN=\"87654321\",\"1111\"", "AT+CPWD=\"SC\",\"1111\",\"2222\"",
                                                    "AT+CLCK=\"SC\",0,\"2222\"", "AT+CLCK=\"SC\",1,\"2222\""}));
}

TEST_F(PinEntry, AWrongPinSaysTheTriesLeftAndTheOneThatBlocksTheSimSaysSo) {
    int tries = 2;
    ports.Add("COM3", [&tries](const std::string& command) {
        if (command == "AT+CPIN=\"4321\"") return Answers{{50, "\r\nOK\r\n"}};
        if (command.rfind("AT+CPIN=", 0) == 0) return Answers{{50, --tries > 0 ? "\r\n+CME ERROR: 16\r\n" : "\r\n+CME ERROR: 12\r\n"}};
        if (command == "AT+CPIN?") return Answers{{5, tries > 0 ? "\r\n+CPIN: SIM PIN\r\nOK\r\n" : "\r\n+CPIN: SIM PUK\r\nOK\r\n"}};
        return Answers{{5, "\r\n+CPINR: SIM PIN," + std::to_string(tries) + ",3\r\n+CPINR: SIM PUK,10,10\r\nOK\r\n"}};
    });
    const auto said = [this](const char* pin) {
        const PinAnswer answer = Send(CodeAction::EnterPin, pin);
        return std::make_tuple(answer.outcome, answer.sim, answer.triesLeft);
    };
    EXPECT_EQ(said("1234"), std::make_tuple(PinOutcome::Rejected, SimState::Pin, std::optional<int>(1)));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AT+CPIN=\"1234\"", "AT+CPIN?", "AT+CPINR"})) << "never sent twice";
    EXPECT_EQ(said("1235"), std::make_tuple(PinOutcome::Blocked, SimState::Puk, std::optional<int>(10))) << "the PUK's tries";
}

TEST_F(PinEntry, APhoneThatSaysNothingIsNoAnswerAndIsNotAskedAgain) {
    ports.Add("COM3", testing::SilentPhone());
    ports.Refuse("COM4", PortOpenError::Busy, 5);
    EXPECT_EQ(Send("1234"), PinOutcome::NoAnswer);
    EXPECT_EQ(Commands().size(), 1u);
    EXPECT_EQ(Send(CodeAction::EnterPin, "1234", {}, "COM4").outcome, PinOutcome::NotOpened);
}

TEST_F(PinEntry, ThePinLockIsReadWithItsTriesLeft) {
    const std::pair<std::string, std::optional<bool>> answers[] = {
        {"1\r\nOK", true}, {"0\r\nOK", false}, {"2\r\nOK", std::nullopt}, {"1\r\nERROR", std::nullopt}};
    for (const auto& [answer, lockOn] : answers) {
        FakePhonePorts local(clock);
        local.Add("COM3", TablePhone({{kLockStateCommand, "\r\n+CLCK: " + answer + "\r\n"},
                                      {kTriesLeftCommand, "\r\n+CPINR: SIM PIN,3,3\r\nOK\r\n"}}));
        const PinLockStatus status = ReadPinLock(local, "COM3", clock, stop);
        EXPECT_EQ(std::make_tuple(status.outcome, status.lockOn, status.triesLeft),
                  std::make_tuple(PinOutcome::Accepted, lockOn, std::optional<int>(3))) << answer;
    }
}

// How the findings are shown.
TEST(Findings, SignalIsShownAsBarsAndDbm) {
    const std::pair<int, int> bars[] = {{0, 0}, {1, 0}, {2, 1}, {9, 1}, {10, 2}, {14, 2}, {15, 3}, {19, 3}, {20, 4}, {24, 4}, {25, 5}, {31, 5}};
    for (const auto& [signal, expected] : bars) EXPECT_EQ(SignalBars(signal), expected) << signal;
    EXPECT_EQ(SignalDbm(0), -113);
    EXPECT_EQ(SignalDbm(31), -51);
}

TEST(Findings, TheCheckLineHasSevenTabSeparatedFieldsInTheCommandLinesWords) {
    EXPECT_EQ(CheckLine(kReady), "COM3\tmodem\tZOR\tZ100\tready\t20\thome");
    EXPECT_EQ(CheckLine(Found(PortState::NoAnswer)), "COM3\tno answer\t\t\t\t\t");
    const std::pair<PortFindings, const char*> cases[] = {
        {Found(PortState::Busy), "busy\t\t\t\t\t"},
        {Found(PortState::NotAModem), "not a modem\t\t\t\t\t"},
        {Found(PortState::Refused), "refused\t\t\t\t\t"},
        {Found(PortState::Modem, "", "", SimState::Pin, 0, Registration::Roaming), "modem\t\t\tPIN\t0\troaming"},
        {Found(PortState::Modem, "", "", SimState::Puk, 31, Registration::Searching), "modem\t\t\tPUK\t31\tsearching"},
        {Found(PortState::Modem, "", "", SimState::NoSim, {}, Registration::Denied), "modem\t\t\tno SIM\t\tdenied"},
        {Found(PortState::Modem, "", "", SimState::Unknown, {}, Registration::NotRegistered), "modem\t\t\t\t\tnot registered"},
        {Found(PortState::Modem, "", "", SimState::Pin2, 9), "modem\t\t\tPIN2\t9\t"},
        {Found(PortState::Modem, "", "", SimState::PhoneSimPin), "modem\t\t\tPH-SIM PIN\t\t"},
        {Found(PortState::Modem, "", "", SimState::PhoneNetworkPin), "modem\t\t\tPH-NET PIN\t\t"},
        // The tries left go with the code the SIM wants, in the SIM field; a ready SIM has none shown.
        {Tries(Found(PortState::Modem, "ZOR", "S3", SimState::Pin, 19, Registration::NotRegistered), 3),
         "modem\tZOR\tS3\tPIN, 3 tries left\t19\tnot registered"},
        {Tries(Found(PortState::Modem, "", "", SimState::Puk), 1), "modem\t\t\tPUK, 1 try left\t\t"},
        {Tries(Found(PortState::Modem, "", "", SimState::Ready), 3), "modem\t\t\tready\t\t"},
        {Tries(Found(PortState::Modem, "", "", SimState::Pin2), 3), "modem\t\t\tPIN2\t\t"},
    };
    for (const auto& [findings, fields] : cases) EXPECT_EQ(CheckLine(findings), std::string("COM3\t") + fields);
}

TEST(Findings, WhatThePhoneSaysCannotBreakTheLine) {
    PortFindings f = kReady;
    f.maker = "Z\tO\rR\n";
    f.model = std::string("Z\0" "1", 3);
    EXPECT_EQ(CheckLine(f), "COM3\tmodem\tZ O R \tZ 1\tready\t20\thome");
}

} // namespace
} // namespace vantaro
