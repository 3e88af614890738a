#pragma once
// Installation of the phone's modem driver: a new root-enumerated device of the INF's class
// with the hardware id from Setting.ini, its driver key seeded with the port and the init
// string, and the driver installed from the INF. When this 32-bit program runs on 64-bit
// Windows the platform refuses the in-process update (ERROR_IN_WOW64); the update is then
// handed to the 64-bit helper pnpagent64.exe from the program's own folder.
//
// Errors that stop an installation are said in message boxes; the install sequence adds its own
// after a failure.

#include "modem/DeviceRemoval.h"
#include "modem/DeviceSetup.h"
#include "modem/FileSearch.h"
#include "modem/ProcessLauncher.h"
#include "platform/MessageSink.h"
#include "platform/Profile.h"

#include <optional>
#include <string>

namespace vantaro {

// Message boxes, byte for byte.
inline constexpr char kAdministratorModeMessage[] = "Please run the program in Administrator mode %d";
inline constexpr char kInstallDriverFor64BitFailedMessage[] = "InstallDriverfor64BitWindows fail!";
inline constexpr char kInf64NotFoundMessage[] = "Fail to get modem inf file for 64 bit in ini file.";
inline constexpr char kCreateProcessFailedMessage[] = "Fail to create process fail!";
inline constexpr char kExitCodeUnreadableMessage[] = "Error: fail to get pnpagent64 exit code!";
inline constexpr char kExitCodeZeroMessage[] = "Error: pnpagent64 exit code == 0";
// Our own refusals of values that do not fit the platform-bound buffers.
inline constexpr char kApnTooLongMessage[] =
    "The APN is too long: at most 480 characters fit the modem's init string. Please shorten the APN.";
inline constexpr char kPnpAgentCommandLineTooLongMessage[] =
    "Cannot start pnpagent64.exe: the hardware id and the INF path make its command line longer than "
    "1023 characters.";

inline constexpr char kApnNotValidMessage[] =
    "Fail to install: the APN may hold only letters, digits, '.', '-' and '_'.";

// An APN as networks name one (3GPP TS 23.003): labels of letters, digits and '-' joined by
// dots, and '_', which operators' own APNs carry; empty leaves the choice to the network. The
// APN goes into the init string between quotes, so nothing else may reach it: a '"' would end
// its field and a ';' start an AT command of its own.
bool IsApnText(const std::string& apn);

// The init string is built in 508 bytes: at most this many characters before its NUL.
inline constexpr std::size_t kMaxDriverKeyInitString = 507;

// The init string seeded into a new modem's driver key: for GPRS (connection mode non-zero)
// at+cgdcont=1,"IP","<apn>","",0,0, for CSD (0) "at". Nothing when the APN makes it too long or
// is no APN (IsApnText).
std::optional<std::string> DriverKeyInitString(const std::string& apn, int connMode);

// The hardware-id property as the platform takes it: the id up to its first NUL, then two NULs.
std::string HardwareIdMultiString(const std::string& hardwareId);

// "Please run the program in Administrator mode %d" with the error as a signed decimal.
std::string AdministratorModeText(std::uint32_t error);

// What an install made, for the install record.
struct InstalledModem {
    std::string instanceId;
    std::string driverPackage;  // the driver store's name of the INF; empty when the platform keeps none
};

class ModemInstaller {
public:
    // `removalRoute` says how a device that the install gives up on is removed again: a 32-bit
    // process on 64-bit Windows may not call the class installer, the helper does it.
    // `helperInfName` is the 64-bit INF's name that the helper gets, searched on the executable
    // search path when the helper is needed.
    ModemInstaller(DeviceSetup& setup, ProcessLauncher& processes, FileSearch& files, std::string helperInfName,
                   MessageSink& messages, RemovalRoute removalRoute = RemovalRoute::InProcess);
    ModemInstaller(const ModemInstaller&) = delete;
    ModemInstaller& operator=(const ModemInstaller&) = delete;

    // Installs the modem with that hardware id from the INF at `infPath`, attached to
    // `portName`. The hardware id is taken up to its first NUL. True when the driver is installed.
    bool InstallModemDevice(const std::string& hardwareId, const std::string& infPath, const std::string& portName,
                           const std::string& apn, int connMode);
    // Registers the new device and writes AttachedTo and UserInit into its new driver key
    // (which must not exist yet), then registers it again.
    bool SeedModemDriverKey(DeviceInfoSet& set, DeviceElement device, const std::string& portName,
                           const std::string& apn, int connMode);
    // Full path of the helper's INF on the executable search path;
    // empty, after saying so, when it is not found.
    std::string GetInf64Path();
    // Runs pnpagent64.exe from the program's folder and waits for it. True when it ran and
    // reported success; false when it could not be started, or when its exit code is 0 or
    // cannot be read.
    bool InstallDriverfor64BitWindows(const std::string& hardwareId, const std::string& infPath);

    // After InstallModemDevice succeeded: the device it made and the package that drives it.
    const InstalledModem& Installed() const { return installed_; }

private:
    // Takes a device back after a failed install, by the route the process may use.
    void RemoveCreatedDevice(DeviceInfoSet& set, DeviceElement device);
    void NoteInstalled(DeviceInfoSet& set, DeviceElement device);

    DeviceSetup& setup_;
    ProcessLauncher& processes_;
    FileSearch& files_;
    std::string helperInfName_;
    MessageSink& messages_;
    RemovalRoute removalRoute_;
    InstalledModem installed_;
};

} // namespace vantaro
