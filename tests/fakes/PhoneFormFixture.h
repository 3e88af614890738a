#pragma once
// The Phone dialog's presenter over controls and a port table in memory, on top of a Settings
// form whose port list holds the given ports. Texts from the database pass through marked
// "[utf8:...]", so a test sees which ones went through the conversion.

#include "fakes/FakeClock.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePhonePort.h"
#include "fakes/FakePortTable.h"
#include "fakes/ProviderFixtures.h"
#include "fakes/SettingsFormFixture.h"
#include "workflow/PhoneForm.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace vantaro::testing {

class PhoneFormFixture : public SettingsFormFixture {
public:
    explicit PhoneFormFixture(std::string file = "[BaseSetting]\nlanguage=1\n") : SettingsFormFixture(file) {
        form.LoadSettings();
        phoneControls.MakeList(IDC_PROPOSALS);
    }

    // The Settings dialog's port list holds these; the Phone dialog opens over it.
    void Open(const std::vector<std::string>& ports) {
        controls.SetItems(IDC_PORT_LIST, ports);
        phone = std::make_unique<PhoneForm>(phoneControls, table, form, EdgeCasesDatabase(),
                                            [](const std::string& utf8) { return Converted(utf8); });
        phone->ApplyTexts();
        phone->BeginCheck(phone->PortsToCheck());
    }

    // What the conversion makes of a text that is not plain ASCII.
    static std::string Converted(const std::string& utf8) {
        for (unsigned char c : utf8)
            if (c >= 0x80) return "[utf8:" + utf8 + "]";
        return utf8;
    }

    static PortFindings Modem(const std::string& port) {
        PortFindings findings;
        findings.port = port;
        findings.state = PortState::Modem;
        findings.maker = "Zor";
        findings.model = "Z1";
        findings.sim = SimState::Ready;
        findings.signal = 20;
        findings.network = Registration::Home;
        findings.gprs = Registration::Home;
        return findings;
    }
    static PortFindings Silent(const std::string& port) {
        PortFindings findings;
        findings.port = port;
        return findings;
    }
    // A ready SIM whose home network the SIM itself names.
    static PortFindings ModemOf(const std::string& port, const std::string& mcc, const std::string& mnc) {
        PortFindings findings = Modem(port);
        findings.simOperator.source = OperatorSource::SimHome;
        findings.simOperator.network = {mcc, mnc};
        return findings;
    }

    // A modem whose SIM wants its PIN, with the tries the check read (none: the phone did not say).
    static PortFindings LockedModem(const std::string& port, std::optional<int> tries) {
        PortFindings findings = Modem(port);
        findings.sim = SimState::Pin;
        findings.triesLeft = tries;
        return findings;
    }

    // A SIM on the port (COM1 unless told) that codes go to as the dialog sends them: the PIN
    // button's ask, the code sent on the phone's own clock, the answer handed to the form.
    std::shared_ptr<testing::PinSim> PlugSim(const std::string& port = "COM1") {
        auto sim = std::make_shared<testing::PinSim>();
        simPorts.Add(port, testing::PinSimPhone(sim));
        return sim;
    }
    PinAnswer SendThrough(const CodeAsk& ask, const char* code) {
        phone->BeginCode(ask);
        const PinAnswer answer = SendCode(simPorts, ask.port, {ask.action, Secret(code), Secret()}, simClock, stop);
        phone->CodeAnswered(answer);
        return answer;
    }

    FakeControls phoneControls;
    FakePortTable table;
    std::unique_ptr<PhoneForm> phone;
    testing::FakeClock simClock;
    testing::FakePhonePorts simPorts{simClock};
    std::atomic<bool> stop{false};
};

} // namespace vantaro::testing
