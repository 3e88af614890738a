#pragma once
// The Settings dialog (template 129): the program's one working window.

#include "app/Dialog.h"
#include "app/Win32TrayIcon.h"
#include "log/win32/Win32LogFile.h"
#include "dialup/win32/Win32DialPlatform.h"
#include "dialup/win32/Win32LinkProbes.h"
#include "modem/win32/Win32Registry.h"
#include "phone/PortFindings.h"
#include "phone/win32/Win32SerialPort.h"
#include "platform/SteadyClock.h"
#include "settings/win32/Win32UsageFile.h"
#include "workflow/ApnMemory.h"
#include "workflow/ApnTrial.h"
#include "workflow/LinkKeeper.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DialogControls.h"
#include "platform/win32/Win32MessageSink.h"
#include "settings/win32/Win32Profile.h"
#include "workflow/DialSession.h"
#include "workflow/SettingsForm.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantaro {

// Everything the dialog shares with its worker threads. Workers hold it by shared pointer,
// so it lives until the last of them is done, even after the dialog has ended.
struct SettingsSession {
    SettingsSession(HWND dialog, const std::string& profilePath, std::unique_ptr<SerialPortSource> portSource);

    Win32Profile profile;
    FileLog log;                       // Vantaro.log beside Setting.ini
    Win32DialogControls controls;
    Win32MessageSink dialogMessages;   // owned by the dialog: used on its own thread
    Win32MessageSink workerMessages;   // no owner: used by worker threads
    std::unique_ptr<SerialPortSource> ports;
    SettingsForm form;
    Win32DialPlatform dialPlatform;
    DialSession dial;
    // The APN tries' driver keys and memory, and the SIM read that completes a series on the
    // dial's worker: a worker may still use them after the dialog has ended.
    Win32Registry modemRegistry;
    Win32UsageFile apnFile;
    ApnMemory apnMemory;
    Win32SerialPorts dialPorts;
    SteadyClock steadyClock;
    ApnSimStart apnSimStart;
};

class SettingsDialog final : public Dialog {
public:
    explicit SettingsDialog(std::string profilePath);

    // Valid once the dialog has run; the outcome dialog reads the results here.
    const SettingsSession* Session() const { return session_.get(); }
    // The notification-area icon: null until the dialog is on screen, empty once it has ended.
    Win32TrayIcon* Tray() const { return tray_.get(); }
    // Runs once, when the dialog is first on screen (after its first paint).
    void WhenOnScreen(std::function<void()> action) { whenOnScreen_ = std::move(action); }

private:
    BOOL OnInit() override;
    bool OnCommand(int id, int notification) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnEnding() override;

    void FillFromInitData();
    void StartInstall();
    void AboutClicked();
    void ConnectClicked();
    void CheckPhoneClicked();
    // The tray's Balance...: on the dial's port, or on another port of the same phone while a
    // connection holds that one.
    void BalanceFromTray();
    void CenterOnScreen();
    // The keeper and the icon, once the dialog is on screen.
    void FinishStarting();
    void StartKeepingTheLink();
    // With [Setting] apn_try_all=1: the series the next dial tries, the APN field's own first,
    // with the APNs the Phone dialog kept, else completed by the SIM read before the first dial;
    // without it the keeper dials as it always has.
    void PrepareApnTrial();
    void AddTrayIcon();
    void DisconnectClicked();

    std::string profilePath_;
    std::shared_ptr<SettingsSession> session_;
    UniqueKernelHandle workerThread_;
    class PhoneDialog* phoneDialog_ = nullptr;  // while the Phone dialog is open over this one
    class BalanceDialog* balanceDialog_ = nullptr;  // while the tray's Balance dialog is open
    // What the session's last phone check found, port by port: the tray's Balance... asks by it.
    std::vector<PortFindings> checkedPorts_;
    std::unique_ptr<Win32TrayIcon> tray_;
    std::function<void()> whenOnScreen_;

    // The connection's keeper and what it uses; the dialog's thread only.
    Win32LinkProbes linkProbes_;
    LocalLogClock calendar_;
    std::unique_ptr<Win32UsageFile> usageFile_;
    std::unique_ptr<UsageCounter> usage_;
    std::unique_ptr<LinkKeeper> keeper_;
    // The APNs a dial series tries with [Setting] apn_try_all=1, as the Phone dialog left them,
    // and the series of the last Connect (shared with the dial's worker that completes it).
    std::optional<ApnTrial::Series> keptSeries_;
    std::shared_ptr<ApnTrial> apnTrial_;
};

} // namespace vantaro
