#include "modem/InstallSequence.h"

#include "resources/resource.h"
#include "settings/InterfaceText.h"
#include "settings/SettingsKeys.h"

namespace vantaro {

void RunInstallSequence(SettingsForm& form, InstallServices& services, MessageSink& messages) {
    using namespace settings;
    using namespace install;
    DialogControls& controls = form.Controls();
    const Profile& profile = form.Settings();

    if (controls.Ended()) return;
    if (controls.GetCurSel(IDC_PORT_LIST) < 0) {
        form.SetStatusText(kNoPortMessage);
        messages.Show(kNoPortMessage);
        form.EnableActionButtons(true);
        return;
    }
    const std::string portName = controls.GetText(IDC_PORT_LIST);
    form.SetPortName(portName);

    const std::string infName = services.IsRunningUnderWow64()
                                    ? profile.ReadString(kBaseSetting, kModemInfFile64, kDefaultModemInf64)
                                    : profile.ReadString(kBaseSetting, kModemInfFile, kDefaultModemInf);
    const std::string infPath = services.SearchExecutablePath(infName);
    if (infPath.empty()) {
        messages.Show(kNoInfMessage);
        return;
    }
    const std::string hardwareId = profile.ReadString(kBaseSetting, kHardwareIdInInf, "");
    if (hardwareId.empty()) {
        messages.Show(kNoHardwareIdMessage);
        return;
    }
    // Values that would not fit the install's working buffers are refused before anything is
    // installed; the user can correct them and press the button again.
    if (hardwareId.size() > kMaxHardwareId || portName.size() > kMaxPortName) {
        messages.Show(hardwareId.size() > kMaxHardwareId ? kHardwareIdTooLongMessage : kPortNameTooLongMessage);
        form.EnableActionButtons(true);
        return;
    }

    const std::string apn = profile.ReadString(kSetting, kApn, "");
    const int connectionMode = profile.ReadInt(kSetting, kConnMode, kDefaultConnModeOnInstall);
    if (!services.InstallModemDevice(hardwareId, infPath, portName, apn, connectionMode)) {
        messages.Show(kInstallFailedMessage);
        controls.EndWithOk();
        return;
    }

    // The new modem needs a moment before the remote-access service lists it.
    std::vector<ModemDeviceName> rasDevices;
    services.Sleep(kSettleMilliseconds);
    form.modemInstalled = 1;
    services.EnumModemDevices(rasDevices);
    std::unique_ptr<RasLibraryHold> binding = services.BindRas();
    if (!binding || !binding->Loaded() || rasDevices.empty()) {
        messages.Show(kNoRasModemMessage);
        controls.EndWithOk();
        return;
    }

    services.Sleep(kSettleMilliseconds);
    form.modemInstalled = 1;
    services.EnumModemDevices(rasDevices);
    if (!binding->Loaded() || rasDevices.empty()) {
        messages.Show(kNoRasModemMessage);
        return;
    }
    if (controls.Ended()) return;

    const std::string number = profile.ReadString(kSetting, kNumber, "");
    const std::string userName = profile.ReadString(kSetting, kUserName, "");
    const std::string password = profile.ReadString(kSetting, kPassword, "");
    const ModemDeviceName device = rasDevices.back();

    // Read with a trailing blank on section and key names, which the profile rules ignore.
    form.SetConnectionName(profile.ReadString("Setting ", "connection_name ", kDefaultConnectionNameValue));
    const std::string dns1 = profile.ReadString("Setting ", "dns1 ", "");
    const std::string dns2 = profile.ReadString("Setting ", "dns2 ", "");

    std::string refusal;
    if (!services.CreateDialupEntry(form.ConnectionName(), number, userName, password, dns1, dns2, device.type,
                                    device.name, &refusal)) {
        messages.Show(kEntryFailedMessage);
        // A value too long for the phone book is named in the status line, so it can be fixed.
        if (!refusal.empty()) form.SetStatusText(std::string("Fail to create a Internet Connection: ") + refusal);
        form.EnableActionButtons(true);
    } else {
        form.connectionCreated = 1;
    }

    if (form.connectionCreated == 1) {
        if (controls.Ended()) return;
        const std::string initString = controls.GetText(IDC_INIT_STRING);
        services.ConfigureModemRegistry(portName, kPortSpeed, initString);
        form.SetStatusText(form.LookUpMessage(message::kModemSetSu));
    }
    form.EnableActionButtons(true);
}

} // namespace vantaro
