#include "app/CommandActions.h"

#include "app/Win32InstallPlatform.h"
#include "modem/ModemInstaller.h"
#include "modem/win32/RunningWindows.h"
#include "phone/PhoneCheckRun.h"
#include "platform/SteadyClock.h"
#include "phone/win32/Win32SerialPort.h"
#include "platform/win32/Win32MessageSink.h"
#include "settings/win32/Win32Profile.h"
#include "platform/win32/Win32SerialPortPlatform.h"
#include "settings/SerialPortScanner.h"
#include "settings/SettingsKeys.h"
#include "workflow/SettingsForm.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace vantaro {

namespace {

// The serial ports of this computer, as the Settings dialog lists them.
std::vector<std::string> SerialPortNames() {
    Win32SerialPortPlatform platform;
    SerialPortScanner scanner(platform);
    std::vector<std::uint32_t> numbers;
    scanner.EnumerateSerialPorts(numbers);
    std::vector<std::string> names;
    for (std::uint32_t number : numbers) {
        const std::string name = "COM" + std::to_string(number);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

// Every port checked at once; the findings in the order of the ports.
std::vector<PortFindings> CheckPorts(const std::vector<std::string>& ports, Log& log) {
    std::mutex mutex;
    std::map<std::string, PortFindings> found;
    {
        PhoneCheckRun run(PhoneServices{std::make_shared<Win32SerialPorts>(), std::make_shared<SteadyClock>()});
        run.Check(ports, [&](const PortFindings& findings) {
            std::lock_guard<std::mutex> lock(mutex);
            found[findings.port] = findings;
        });
        if (!run.WaitAll(kWholeCheckBoundMs)) run.Stop();
    }
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<PortFindings> findings;
    for (const std::string& port : ports) {
        auto at = found.find(port);
        PortFindings one = at != found.end() ? at->second : PortFindings{};
        one.port = port;
        log.Step("check.port", one.state == PortState::Modem ? LogResult::Done : LogResult::NotFound,
                 one.platformError, CheckLine(one));
        findings.push_back(std::move(one));
    }
    return findings;
}

std::vector<std::string> ModemPorts(const std::vector<PortFindings>& findings) {
    std::vector<std::string> modems;
    for (const PortFindings& one : findings)
        if (one.state == PortState::Modem) modems.push_back(one.port);
    return modems;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The install as a script sees it: every step in the log; what the dialog would show in its
// status line goes to the console; its message boxes too, or (with /quiet) only to the log
// and the console.
class CommandInstallReport final : public InstallReport {
public:
    CommandInstallReport(const Profile& settings, bool quiet, CommandOutput& output, Log& log)
        : settings_(settings), quiet_(quiet), output_(output), log_(log) {
        using namespace settings;
        language_ = settings_.ReadString(kBaseSetting, kLanguage, kDefaultLanguage) == kLanguageChinese ? kChinese
                                                                                                        : kEnglish;
    }

    void Show(const std::string& text) override {
        if (text.rfind(kAdministratorModePrefix, 0) == 0) needsAdministrator_ = true;
        if (quiet_) {
            output_.Say(text);
            return;
        }
        log_.Said(text);
        Win32MessageSink().Show(text);
    }
    void Status(const std::string& text) override {
        log_.Step("install.status", LogResult::Message, 0, text);
        output_.Print(text + "\r\n");
    }
    std::string LookUpMessage(const std::string& key) const override {
        return settings_.ReadString(language_, key, key);
    }
    std::string LookUpText(const std::string& key, const std::string& english) const override {
        return settings_.ReadString(language_, key, english);
    }
    void Step(LogStep step, LogResult result, std::uint32_t errorCode, const std::string& detail) override {
        log_.Step(step, result, errorCode, detail);
    }
    void Conceal(const Secret& secret) override { log_.Conceal(secret); }

    bool NeedsAdministrator() const { return needsAdministrator_; }

private:
    // "Please run the program in Administrator mode %d", up to its number.
    static constexpr char kAdministratorModePrefix[] = "Please run the program in Administrator mode";

    const Profile& settings_;
    bool quiet_;
    CommandOutput& output_;
    Log& log_;
    std::string language_;
    bool needsAdministrator_ = false;
};

} // namespace

ExitCode RunInstallCommand(const CommandLine& line, const std::string& settingsPath, bool settingsFound,
                           CommandOutput& output, Log& log) {
    if (!settingsFound) {
        log.Step("install", LogResult::Failed, ERROR_FILE_NOT_FOUND, settingsPath);
        output.Say("Setting.ini was not found beside Vantaro.exe: nothing was installed.");
        return ExitCode::Failed;
    }
    const std::vector<std::string> ports = SerialPortNames();
    std::string port = line.port;
    if (line.autoPort) {
        const std::vector<std::string> modems = ModemPorts(CheckPorts(ports, log));
        if (modems.size() != 1) {
            output.Say(modems.empty() ? "No phone answers as a modem on any serial port (" + Listed(ports) +
                                            "): nothing was installed."
                                      : "A phone answers as a modem on more than one port (" + Listed(modems) +
                                            "): name one with /port COMn. Nothing was installed.");
            return ExitCode::NoPhoneFound;
        }
        port = modems.front();
    } else if (std::find(ports.begin(), ports.end(), port) == ports.end()) {
        log.Step("install.port", LogResult::NotFound, 0, port);
        output.Say(port + " is not a serial port of this computer" +
                   (ports.empty() ? std::string(" (it has none)") : " (it has " + Listed(ports) + ")") +
                   ": nothing was installed.");
        return ExitCode::Failed;
    }

    Win32Profile settings(settingsPath);
    InstallRequest request = ReadInstallRequest(
        settings, RunningProcessKind(), port, BuildInitString(settings.ReadString(settings::kSetting, settings::kApn, "")));
    request.windows = ReadRunningWindows();
    Win32InstallPlatform platform;
    CommandInstallReport report(settings, line.quiet, output, log);
    const InstallResult result = RunInstallSequence(request, platform.services, report);
    if (result == InstallResult::Done) {
        output.Say("The modem on " + port + " is installed with the dial-up connection \"" + request.entryName + "\".");
        return ExitCode::Done;
    }
    return report.NeedsAdministrator() ? ExitCode::NeedsAdministrator : ExitCode::Failed;
}

ExitCode RunCheckCommand(const CommandLine&, CommandOutput& output, Log& log) {
    const std::vector<PortFindings> findings = CheckPorts(SerialPortNames(), log);
    for (const PortFindings& one : findings) output.Print(CheckLine(one) + "\r\n");
    return ModemPorts(findings).empty() ? ExitCode::NoPhoneFound : ExitCode::Done;
}

} // namespace vantaro
