#pragma once
// DialogControls through window messages to one dialog window. Safe to call from worker
// threads: each call is a message that the dialog's thread serves, and once the dialog has
// been marked ended no message is sent at all.

#include "platform/DialogControls.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>

namespace vantaro {

// Sent to the dialog to run its plain OK behaviour on its own thread.
constexpr UINT kEndWithOkMessage = WM_APP + 1;

class Win32DialogControls final : public DialogControls {
public:
    explicit Win32DialogControls(HWND dialog) : dialog_(dialog) {}

    // Called by the dialog's own thread when it ends; from then on every call does nothing.
    void MarkEnded() { ended_.store(true); }

    std::string GetText(int id) const override;
    void SetText(int id, const std::string& text) override;
    void Enable(int id, bool on) override;
    void ResetContent(int id) override;
    int AddString(int id, const std::string& text) override;
    void AddItems(int id, const std::vector<ListItem>& items) override;
    void SetItemData(int id, int index, std::uint32_t data) override;
    int GetCount(int id) const override;
    std::string GetItemText(int id, int index) const override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    void EndWithOk() override;
    bool Ended() const override { return ended_.load(); }

private:
    HWND Control(int id) const;
    bool IsListBox(HWND control) const;

    HWND dialog_;
    std::atomic<bool> ended_{false};
    // The dialog's controls by id, each looked up once: they live as long as the dialog, and
    // under Wine every lookup asks the server.
    mutable std::mutex controlsMutex_;
    mutable std::map<int, HWND> controls_;
};

} // namespace vantaro
