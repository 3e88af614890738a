#include "modem/ModemInstaller.h"

#include "modem/PnpAgentCommand.h"
#include "platform/PlatformCodes.h"

#include <cstdint>

namespace vantaro {

namespace {

constexpr char kGprsInitPrefix[] = "at+cgdcont=1,\"IP\",\"";
constexpr char kGprsInitSuffix[] = "\",\"\",0,0";
constexpr char kCsdInit[] = "at";

std::string UpToFirstNul(const std::string& text) { return text.substr(0, text.find('\0')); }

} // namespace

bool IsApnText(const std::string& apn) {
    for (const char c : apn)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
              c == '_'))
            return false;
    return true;
}

std::optional<std::string> DriverKeyInitString(const std::string& apn, int connMode) {
    if (connMode == 0) return std::string(kCsdInit);
    if (!IsApnText(apn)) return std::nullopt;
    std::string init = kGprsInitPrefix + apn + kGprsInitSuffix;
    if (init.size() > kMaxDriverKeyInitString) return std::nullopt;
    return init;
}

std::string HardwareIdMultiString(const std::string& hardwareId) {
    std::string multiString = UpToFirstNul(hardwareId);
    multiString.append(2, '\0');
    return multiString;
}

std::string AdministratorModeText(std::uint32_t error) {
    std::string text = kAdministratorModeMessage;
    text.replace(text.find("%d"), 2, std::to_string(static_cast<std::int32_t>(error)));
    return text;
}

ModemInstaller::ModemInstaller(DeviceSetup& setup, ProcessLauncher& processes, FileSearch& files,
                               std::string helperInfName, MessageSink& messages, RemovalRoute removalRoute)
    : setup_(setup),
      processes_(processes),
      files_(files),
      helperInfName_(std::move(helperInfName)),
      messages_(messages),
      removalRoute_(removalRoute) {}

bool ModemInstaller::InstallModemDevice(const std::string& hardwareId, const std::string& infPath,
                                       const std::string& portName, const std::string& apn, int connMode) {
    // Refused before anything is created: the driver key could not take this init string.
    if (!DriverKeyInitString(apn, connMode)) {
        messages_.Show(IsApnText(apn) ? kApnTooLongMessage : kApnNotValidMessage);
        return false;
    }

    DeviceClass deviceClass;
    if (!setup_.GetInfClass(infPath, deviceClass)) return false;

    // The set is destroyed on every way out of here; a registered device outlives it.
    std::unique_ptr<DeviceInfoSet> set = setup_.CreateDeviceInfoList(deviceClass);
    if (!set) return false;

    std::optional<DeviceElement> device = set->CreateDeviceInfo(deviceClass);
    if (!device) {
        messages_.Show(AdministratorModeText(set->LastError()));
        return false;
    }

    const std::string id = UpToFirstNul(hardwareId);
    if (!set->SetHardwareId(*device, HardwareIdMultiString(id))) return false;

    if (!SeedModemDriverKey(*set, *device, portName, apn, connMode)) {
        RemoveCreatedDevice(*set, *device);
        return false;
    }

    if (setup_.UpdateDriverForPlugAndPlayDevices(id, infPath)) {
        NoteInstalled(*set, *device);
        return true;
    }

    // Only a 32-bit program on 64-bit Windows gets ERROR_IN_WOW64; the helper does the update.
    if (setup_.LastError() != platform_code::kErrorInWow64) {
        RemoveCreatedDevice(*set, *device);
        return false;
    }
    const std::string inf64 = GetInf64Path();
    if (InstallDriverfor64BitWindows(id, inf64)) {
        NoteInstalled(*set, *device);
        return true;
    }

    messages_.Show(kInstallDriverFor64BitFailedMessage);
    RemoveCreatedDevice(*set, *device);
    return false;
}

void ModemInstaller::RemoveCreatedDevice(DeviceInfoSet& set, DeviceElement device) {
    if (removalRoute_ == RemovalRoute::InProcess) {
        set.RemoveDevice(device);
        return;
    }
    const std::string id = set.InstanceId(device);
    if (id.empty()) return;
    AgentDeviceRemover(processes_, files_.ProgramFolder()).RemoveDevice(id);
}

void ModemInstaller::NoteInstalled(DeviceInfoSet& set, DeviceElement device) {
    installed_.instanceId = set.InstanceId(device);
    // The driver installation names the package it took in the device's driver key.
    if (const std::unique_ptr<RegistryKey> key = set.OpenDriverKey(device))
        key->ReadString(registry_value::kInfPath, installed_.driverPackage);
}

bool ModemInstaller::SeedModemDriverKey(DeviceInfoSet& set, DeviceElement device, const std::string& portName,
                                       const std::string& apn, int connMode) {
    const std::optional<std::string> init = DriverKeyInitString(apn, connMode);
    if (!init) return false;

    if (!set.RegisterDeviceInfo(device)) return false;

    // A new device has no driver key yet; one that is there already belongs to something else.
    // An opened key is closed again as it goes out of scope.
    if (set.OpenDriverKey(device)) return false;
    if (set.LastError() != platform_code::kErrorKeyDoesNotExist) return false;

    {
        std::unique_ptr<RegistryKey> key = set.CreateDriverKey(device);
        if (!key) return false;
        // A failed write is not acted on; the driver installation still goes ahead.
        key->WriteString(registry_value::kAttachedTo, portName);
        key->WriteString(registry_value::kUserInit, *init);
    }

    return set.RegisterDeviceInfo(device);
}

std::string ModemInstaller::GetInf64Path() {
    std::string path = files_.SearchExecutablePath(helperInfName_);
    if (path.empty()) messages_.Show(kInf64NotFoundMessage);
    return path;
}

bool ModemInstaller::InstallDriverfor64BitWindows(const std::string& hardwareId, const std::string& infPath) {
    const std::optional<std::string> commandLine = BuildPnpAgentCommandLine(hardwareId, infPath);
    if (!commandLine) {
        messages_.Show(kPnpAgentCommandLineTooLongMessage);
        return false;
    }

    // Only the helper beside the program is started, never one found in the current folder or
    // on the PATH.
    const std::string folder = files_.ProgramFolder();
    const ProcessOutcome outcome =
        folder.empty() ? ProcessOutcome{}
                       : processes_.RunAndWait(folder + "\\" + kPnpAgentFileName, *commandLine);

    switch (outcome.state) {
    case ProcessOutcome::State::NotStarted:
        messages_.Show(kCreateProcessFailedMessage);
        return false;
    case ProcessOutcome::State::ExitCodeUnreadable:
        messages_.Show(kExitCodeUnreadableMessage);
        return false;
    case ProcessOutcome::State::Exited:
        if (outcome.exitCode == 0) {
            messages_.Show(kExitCodeZeroMessage);
            return false;
        }
        return true;
    }
    return false;
}

} // namespace vantaro
