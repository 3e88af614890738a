#pragma once
// One small class per dialog template: DialogBoxParam carries `this` to WM_INITDIALOG, and the
// dialog procedure only dispatches to the handlers that a derived dialog overrides.

#include <windows.h>

namespace vantaro {

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // The modal result, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND owner);
    HWND Handle() const { return window_; }

protected:
    // Returns TRUE to let the dialog manager set the default focus.
    virtual BOOL OnInit() { return TRUE; }
    // Returns true when the command was handled.
    virtual bool OnCommand(int id, int notification) { return false; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    // Messages other than WM_INITDIALOG and WM_COMMAND; return true when handled, with *result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) { return false; }
    // Runs before the dialog ends, on every way out.
    virtual void OnEnding() {}

    void End(INT_PTR result);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND window_ = nullptr;
};

} // namespace vantaro
