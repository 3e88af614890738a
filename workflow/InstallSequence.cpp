#include "workflow/InstallSequence.h"

#include "dialup/DialupEntry.h"
#include "dialup/RasBinding.h"
#include "modem/InfFileCheck.h"
#include "modem/InstallRecord.h"
#include "modem/ModemInstaller.h"
#include "modem/ModemRegistry.h"
#include "platform/TextRules.h"
#include "settings/SettingsKeys.h"
#include "workflow/InterfaceText.h"

#include <vector>

namespace vantaro {

InstallRequest ReadInstallRequest(const Profile& settings, ProcessKind process, std::string portName,
                                  std::string initString) {
    using namespace vantaro::settings;
    InstallRequest request;
    request.portName = std::move(portName);
    const bool windows64 = process != ProcessKind::Native32;
    request.infName = windows64 ? settings.ReadString(kBaseSetting, kModemInfFile64, kDefaultModemInf64)
                                : settings.ReadString(kBaseSetting, kModemInfFile, kDefaultModemInf);
    request.helperInfName = settings.ReadString(kSetting, kModemInfFile64, kDefaultModemInf64);
    request.platform = windows64 ? InfPlatform::Amd64 : InfPlatform::X86;
    request.removalRoute = ChooseRemovalRoute(process == ProcessKind::Wow64);
    request.hardwareId = settings.ReadString(kBaseSetting, kHardwareIdInInf, "");
    request.apn = settings.ReadString(kSetting, kApn, "");
    request.connectionMode = settings.ReadInt(kSetting, kConnMode, kDefaultConnModeOnInstall);
    request.entryName = settings.ReadString(kSetting, kConnectionName, kDefaultConnectionNameValue);
    request.phoneNumber = settings.ReadString(kSetting, kNumber, "");
    request.userName = settings.ReadString(kSetting, kUserName, "");
    request.password = Secret(settings.ReadString(kSetting, kPassword, ""));
    request.dns1 = settings.ReadString(kSetting, kDns1, "");
    request.dns2 = settings.ReadString(kSetting, kDns2, "");
    request.initString = std::move(initString);
    request.replaceEntry = settings.ReadInt(kSetting, kReplaceEntry, 0) == 1;
    return request;
}

namespace {

// A record that is not written costs the install nothing; the uninstall then finds the modem
// as it finds an older install's, by its driver.
void Record(Registry& record, RecordedKind kind, const std::string& item, InstallReport& report) {
    if (item.empty()) return;
    const RecordWrite write = AddToInstallRecord(record, kind, item, true);
    report.Step("install.record", write == RecordWrite::Added || write == RecordWrite::AlreadyThere
                                      ? LogResult::Done
                                      : LogResult::Failed,
                0, write == RecordWrite::NotOurs ? item + ": the record is not one of ours" : item);
}

// Whether an earlier install of ours made the entry of that name: its own entry is rewritten
// with this run's values, and stays recorded.
bool RecordedAsOurs(Registry& record, const std::string& entryName) {
    const RecordReading reading = ReadInstallRecord(record);
    if (reading.state != RecordState::Ours) return false;
    for (const std::string& entry : reading.record.dialupEntries)
        if (EqualsIgnoringAsciiCase(entry, entryName)) return true;  // as the phone book matches names
    return false;
}

std::string WithName(std::string text, const std::string& name) {
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, name);
    return text;
}

} // namespace

InstallResult RunInstallSequence(const InstallRequest& request, InstallPlatform& platform, InstallReport& report) {
    using namespace install;
    if (report.Stopped()) return InstallResult::Stopped;
    // A password saved since the start is hidden too.
    report.Conceal(request.password);
    report.Step("install", LogResult::Started, 0, request.portName);
    if (request.portName.empty()) {
        report.Step("install.port", LogResult::NotFound, 0, {});
        report.Status(kNoPortMessage);
        report.Show(kNoPortMessage);
        return InstallResult::NoPort;
    }
    const std::string infPath = platform.files.SearchExecutablePath(request.infName);
    if (infPath.empty()) {
        report.Step("install.inf", LogResult::NotFound, 0, request.infName);
        report.Show(kNoInfMessage);
        return InstallResult::NoInf;
    }
    if (request.hardwareId.empty()) {
        report.Step("install.hardware.id", LogResult::NotFound, 0, {});
        report.Show(kNoHardwareIdMessage);
        return InstallResult::NoHardwareId;
    }
    // Values that would not fit the install's working buffers are refused before anything is
    // installed; the user can correct them and press the button again.
    if (request.hardwareId.size() > kMaxHardwareId || request.portName.size() > kMaxPortName) {
        report.Step("install.values", LogResult::Failed, 0, "too long");
        report.Show(request.hardwareId.size() > kMaxHardwareId ? kHardwareIdTooLongMessage : kPortNameTooLongMessage);
        return InstallResult::ValueTooLong;
    }
    // Whatever the connection type: the init string the caller built carries the APN too.
    if (!IsApnText(request.apn)) {
        report.Step("install.values", LogResult::Failed, 0, "the APN holds characters an APN cannot have");
        report.Show(kApnNotValidMessage);
        return InstallResult::ApnRefused;
    }

    // A wrong INF is named in plain words before anything is installed: the platform's own
    // installer would create a device of another class, report success with no driver, or
    // wait for files that are not there.
    if (const std::optional<InfProblem> problem =
            CheckModemInfFile(platform.files, infPath, request.hardwareId, request.platform, request.windows)) {
        report.Step("install.inf.check", LogResult::Failed, 0, infPath + ": " + problem->detail);
        report.Show(InfProblemText(*problem, [&report](const std::string& key, const std::string& english) {
            return report.LookUpText(key, english);
        }));
        report.Show(kInstallFailedMessage);
        return InstallResult::DriverFailed;
    }

    report.Step("install.inf.check", LogResult::Done, 0, infPath);

    ModemInstaller installer(platform.setup, platform.processes, platform.files, request.helperInfName, report,
                             request.removalRoute);
    if (!installer.InstallModemDevice(request.hardwareId, infPath, request.portName, request.apn,
                                      request.connectionMode)) {
        report.Step("install.driver", LogResult::Failed, platform.setup.LastError(), request.hardwareId);
        report.Show(kInstallFailedMessage);
        return InstallResult::DriverFailed;
    }
    report.Step("install.driver", LogResult::Done, 0, request.hardwareId);
    Record(platform.record, RecordedKind::Device, installer.Installed().instanceId, report);
    Record(platform.record, RecordedKind::DriverPackage, installer.Installed().driverPackage, report);

    // The new modem needs a moment before the remote-access service lists it.
    std::vector<ras::RASDEVINFOA> rasDevices;
    platform.clock.Sleep(kSettleMilliseconds);
    report.ModemInstalled();
    EnumModemDevices(platform.ras, rasDevices);
    RasBinding binding(platform.ras);
    if (!binding.Loaded() || rasDevices.empty()) {
        report.Step("install.ras.modem", LogResult::NotFound, 0, {});
        report.Show(kNoRasModemMessage);
        return InstallResult::NoRasModem;
    }

    platform.clock.Sleep(kSettleMilliseconds);
    EnumModemDevices(platform.ras, rasDevices);
    if (!binding.Loaded() || rasDevices.empty()) {
        report.Step("install.ras.modem", LogResult::NotFound, 0, "second look");
        report.Show(kNoRasModemMessage);
        return InstallResult::NoRasModemLater;
    }
    if (report.Stopped()) return InstallResult::Stopped;

    const ras::RASDEVINFOA& device = rasDevices.back();
    report.Step("install.ras.modem", LogResult::Done, 0, device.szDeviceName);
    report.ConnectionNamed(request.entryName);
    std::string refusal;
    const bool ours = RecordedAsOurs(platform.record, request.entryName);
    // This run's own entry decides whether the modem is configured: an entry made by an
    // earlier run may be bound to another modem, or gone.
    const EntryWrite entry = CreateDialupEntry(
        platform.ras, request.entryName, request.phoneNumber, request.userName, request.password, request.dns1,
        request.dns2, device.szDeviceType, device.szDeviceName,
        ours || request.replaceEntry ? ExistingEntry::Replace : ExistingEntry::Keep, &refusal);
    switch (entry) {
    case EntryWrite::Failed:
        report.Step("install.entry", LogResult::Failed, 0, request.entryName + (refusal.empty() ? "" : ": " + refusal));
        report.Show(kEntryFailedMessage);
        // A value too long for the phone book is named in the status line, so it can be fixed.
        if (!refusal.empty()) report.Status(kEntryRefusedPrefix + refusal);
        return InstallResult::EntryFailed;
    case EntryWrite::Created:
        report.Step("install.entry", LogResult::Done, 0, request.entryName);
        break;
    case EntryWrite::Replaced:
        report.Step("install.entry", LogResult::Done, 0,
                    request.entryName + (ours ? ": replaced the one an earlier install made"
                                              : ": replaced the one that was there before, as replace_entry=1 asks; "
                                                "not recorded as Vantaro's"));
        break;
    case EntryWrite::Kept:
        report.Step("install.entry", LogResult::Done, 0,
                    request.entryName + ": kept the entry that was there before, as it was; not recorded as Vantaro's");
        break;
    }
    report.ConnectionCreated();
    // Only an entry this program made is the uninstall's to delete.
    if (entry == EntryWrite::Created || ours) Record(platform.record, RecordedKind::DialupEntry, request.entryName, report);

    if (report.Stopped()) return InstallResult::Stopped;
    // A modem without its port and init string does not dial: that is no success to report.
    if (!ConfigureModemRegistry(platform.registry, request.portName, kPortSpeed, request.initString)) {
        report.Step("install.registry", LogResult::Failed, 0, request.portName);
        report.Show(kRegistryFailedMessage);
        return InstallResult::RegistryFailed;
    }
    report.Step("install.registry", LogResult::Done, 0, request.portName);
    report.Status(entry == EntryWrite::Kept ? WithName(report.LookUpText(kEntryKeptKey, kEntryKeptText), request.entryName)
                                            : report.LookUpMessage(message::kModemSetSu));
    return InstallResult::Done;
}

} // namespace vantaro
