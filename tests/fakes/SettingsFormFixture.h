#pragma once
// The Settings dialog's form over controls, a profile and message boxes in memory, as the
// dialog's template and init data leave it before LoadSettings: the lists hold their items and
// a change of the APN rebuilds the init string, as the edit's notification does.

#include "fakes/FakeControls.h"
#include "fakes/MemoryProfile.h"
#include "fakes/RecordingMessages.h"
#include "resources/resource.h"
#include "workflow/SettingsForm.h"

#include <string>
#include <vector>

namespace vantaro::testing {

// A computer with exactly these serial ports (none by default).
class FixedPorts final : public SerialPortSource {
public:
    void EnumerateSerialPorts(std::vector<std::uint32_t>& ports) const override { ports = numbers; }
    std::vector<std::uint32_t> numbers;
};

class SettingsFormFixture {
public:
    explicit SettingsFormFixture(std::string file = {}) : profile(std::move(file)) {
        controls.SetItems(IDC_CONNECTION_TYPE, {"GPRS", "CSD"});
        controls.SetItems(IDC_LANGUAGE, {"Chinese", "English"});
        controls.MakeList(IDC_PORT_LIST);
        controls.MakeList(IDC_OPERATOR_LIST);
        controls.onTextChanged = [this](int id) {
            if (id == IDC_APN) form.RebuildInitString();
        };
        form.TransferMembersToEdits();
    }

    void Load(const std::string& file) {
        profile.Reset(file);
        form.LoadSettings();
    }

    MemoryProfile profile;
    FakeControls controls;
    RecordingMessages messages;
    FixedPorts ports;
    SettingsForm form{profile, controls, messages, ports};
};

} // namespace vantaro::testing
