#pragma once
// The install sequence: the one long operation behind the install button, and behind the
// command line's install. It installs the phone's modem driver, waits for the modem among the
// remote-access devices, creates the dial-up entry and configures the modem. It takes all its
// inputs at its start, as one plain value, and says what happens through a small report, so it
// runs the same with a dialog or with no window at all.

#include "dialup/RasLibrary.h"
#include "log/Log.h"
#include "modem/DeviceRemoval.h"
#include "modem/DeviceSetup.h"
#include "modem/FileSearch.h"
#include "modem/InfCheck.h"
#include "modem/ProcessLauncher.h"
#include "modem/Registry.h"
#include "platform/Clock.h"
#include "platform/MessageSink.h"
#include "platform/Profile.h"

#include <cstddef>
#include <string>

namespace vantaro {

// What one install needs, taken once when it starts.
struct InstallRequest {
    std::string portName;  // empty: no port chosen
    std::string infName;   // the INF for this Windows, as Setting.ini names it
    // The 64-bit INF that the helper gets when a 32-bit process may not update the driver
    // itself: [Setting] names it, where infName comes from [BaseSetting].
    std::string helperInfName;
    InfPlatform platform = InfPlatform::X86;  // the Windows the driver is for
    RunningWindows windows;  // its version and language, which choose the INF's sections
    RemovalRoute removalRoute = RemovalRoute::InProcess;  // how a device given up on is taken back
    std::string hardwareId;
    std::string apn;
    int connectionMode = 1;
    std::string entryName;
    std::string phoneNumber;
    std::string userName;
    Secret password;
    std::string dns1;
    std::string dns2;
    std::string initString;  // what the modem's driver keys get
    // An entry of entryName that was there before (and no install of ours made) is replaced only
    // when Setting.ini says replace_entry=1; either way it is never recorded as ours.
    bool replaceEntry = false;
};

// The request from the settings file as it stands (after a save), for the port and init
// string that the caller chose. A 32-bit program on 64-bit Windows takes the 64-bit INF.
// The process the install runs in. Its Windows decides the INF and the driver's platform (a
// native 64-bit process runs on 64-bit Windows as surely as a 32-bit one under WOW64 does), and
// only a 32-bit process on 64-bit Windows hands the device work to the 64-bit helper.
enum class ProcessKind { Native32, Wow64, Native64 };

InstallRequest ReadInstallRequest(const Profile& settings, ProcessKind process, std::string portName,
                                  std::string initString);

// Whoever asked for the install hears from it here. Message boxes (Show) come from the
// sequence's own thread and wait for the user; with no window they go to the log.
class InstallReport : public MessageSink {
public:
    // A line for the status line (or the console).
    virtual void Status(const std::string& text) = 0;
    // A status message in the interface language, looked up by its key.
    virtual std::string LookUpMessage(const std::string& key) const = 0;
    // A text in the interface language, with the English text where the language lacks it.
    virtual std::string LookUpText(const std::string& key, const std::string& english) const { return english; }
    // Each step as it ends, for the log; the platform's error code where there is one.
    virtual void Step(LogStep step, LogResult result, std::uint32_t errorCode, const std::string& detail) {}
    // From now on the steps never show this secret.
    virtual void Conceal(const Secret& secret) {}
    // The outcome as it grows; the outcome dialog words its line from these.
    virtual void ModemInstalled() {}
    virtual void ConnectionNamed(const std::string& entryName) {}
    virtual void ConnectionCreated() {}
    // True once whoever asked is gone (the dialog ended): the sequence stops at its next step
    // and says nothing more.
    virtual bool Stopped() const { return false; }
};

// The platform services the sequence calls, each a narrow interface of its own subsystem.
struct InstallPlatform {
    DeviceSetup& setup;
    ProcessLauncher& processes;
    FileSearch& files;
    RasLibrary& ras;
    Registry& registry;
    Clock& clock;
    Registry& record;  // where the install record is kept: HKEY_LOCAL_MACHINE in the 64-bit view
};

// How a run ended; the dialog decides its buttons from this, the command line its exit code.
enum class InstallResult {
    Done,
    Stopped,           // the dialog ended during the run
    NoPort,
    NoInf,
    NoHardwareId,
    ValueTooLong,      // a value would not fit the install's buffers; nothing was installed
    ApnRefused,        // the APN is no APN (IsApnText); nothing was installed
    DriverFailed,      // the driver is not in
    NoRasModem,        // the modem never showed up among the remote-access devices
    NoRasModemLater,   // it showed up, then was gone at the second look
    EntryFailed,       // the dial-up entry was not made; the modem is not configured
    RegistryFailed,    // the entry is made, but the modem's port and init string were not written
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
inline constexpr char kRegistryFailedMessage[] =
    "Fail to configure the modem: its registry keys cannot be opened for writing.";
inline constexpr char kEntryRefusedPrefix[] = "Fail to create a Internet Connection: ";
inline constexpr char kHardwareIdTooLongMessage[] =
    "Fail to install: the hardware id in the ini file is longer than 510 characters.";
inline constexpr char kPortNameTooLongMessage[] = "Fail to install: the port name is longer than 63 characters.";
// The status line after an install that found the entry there and kept it; "%s" is its name.
inline constexpr char kEntryKeptKey[] = "entrykept";
inline constexpr char kEntryKeptText[] =
    "Modem installed. The dial-up connection \"%s\" was there before and is kept as it was "
    "(replace_entry=1 in Setting.ini replaces it).";
} // namespace install

InstallResult RunInstallSequence(const InstallRequest& request, InstallPlatform& platform, InstallReport& report);

} // namespace vantaro
