#pragma once
// The install sequence: the one long operation behind the install button. It runs on a
// worker thread, installs the phone's modem driver, waits for the modem among the
// remote-access devices, creates the dial-up entry and configures the modem, and leaves the
// two outcome flags in the Settings dialog's form.

#include "platform/MessageSink.h"
#include "settings/SettingsForm.h"

#include <memory>
#include <string>
#include <vector>

namespace vantaro {

// A remote-access device as the sequence needs it: type and name.
struct ModemDeviceName {
    std::string type;
    std::string name;
};

// Keeps the remote-access library loaded while the sequence runs.
class RasLibraryHold {
public:
    virtual ~RasLibraryHold() = default;
    virtual bool Loaded() const = 0;
};

// The services the sequence calls, in the order it calls them.
class InstallServices {
public:
    InstallServices() = default;
    InstallServices(const InstallServices&) = delete;
    InstallServices& operator=(const InstallServices&) = delete;
    virtual ~InstallServices() = default;

    virtual bool IsRunningUnderWow64() = 0;
    // Full path of a file on the executable search path; empty when not found.
    virtual std::string SearchExecutablePath(const std::string& fileName) = 0;
    // 1 when the driver is installed. The installer hands the id to the platform as a one-entry
    // multi-string.
    virtual int InstallModemDevice(const std::string& hardwareId, const std::string& infPath,
                                   const std::string& portName, const std::string& apn, int connectionMode) = 0;
    // Empties the list and fills it with the remote-access devices of type modem.
    virtual bool EnumModemDevices(std::vector<ModemDeviceName>& devices) = 0;
    virtual std::unique_ptr<RasLibraryHold> BindRas() = 0;
    // False when the entry was not written; `refusal` then says why when a value did not fit.
    virtual bool CreateDialupEntry(const std::string& entryName, const std::string& phoneNumber,
                                   const std::string& userName, const std::string& password, const std::string& dns1,
                                   const std::string& dns2, const std::string& deviceType,
                                   const std::string& deviceName, std::string* refusal) = 0;
    virtual int ConfigureModemRegistry(const std::string& portName, const std::string& speed,
                                       const std::string& initString) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
};

namespace install {
inline constexpr unsigned kSettleMilliseconds = 1000;
inline constexpr char kPortSpeed[] = "115200";
// The working buffers the hardware id and the port name must fit, with their terminators.
inline constexpr std::size_t kMaxHardwareId = 510;
inline constexpr std::size_t kMaxPortName = 63;

inline constexpr char kNoPortMessage[] = "Fail to open model port,please insert phone";
inline constexpr char kNoInfMessage[] = "Fail to get modem inf file in ini file.";
inline constexpr char kNoHardwareIdMessage[] = "Fail to get hardware id from ini file.";
inline constexpr char kInstallFailedMessage[] = "Fail to install a modem device!";
inline constexpr char kNoRasModemMessage[] = "Fail to Find RAS Modem Device";
inline constexpr char kEntryFailedMessage[] = "Fail to create a Internet Connection.";
inline constexpr char kHardwareIdTooLongMessage[] =
    "Fail to install: the hardware id in the ini file is longer than 510 characters.";
inline constexpr char kPortNameTooLongMessage[] = "Fail to install: the port name is longer than 63 characters.";
} // namespace install

// Runs one install. Messages are shown from the calling (worker) thread. Once the dialog has
// ended the sequence stops at its next step and never touches the dialog again.
void RunInstallSequence(SettingsForm& form, InstallServices& services, MessageSink& messages);

} // namespace vantaro
