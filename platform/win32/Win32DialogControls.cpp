#include "platform/win32/Win32DialogControls.h"

#include <vector>

namespace vantaro {

HWND Win32DialogControls::Control(int id) const {
    if (ended_.load()) return nullptr;
    const std::lock_guard<std::mutex> lock(controlsMutex_);
    if (const auto known = controls_.find(id); known != controls_.end()) return known->second;
    HWND control = ::GetDlgItem(dialog_, id);
    if (control) controls_.emplace(id, control);
    return control;
}

bool Win32DialogControls::IsListBox(HWND control) const {
    char className[32] = {};
    ::GetClassNameA(control, className, sizeof className);
    return ::lstrcmpiA(className, "ListBox") == 0;
}

std::string Win32DialogControls::GetText(int id) const {
    HWND control = Control(id);
    if (!control) return {};
    int length = ::GetWindowTextLengthA(control);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    int copied = ::GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void Win32DialogControls::SetText(int id, const std::string& text) {
    if (HWND control = Control(id)) ::SetWindowTextA(control, text.c_str());
}

void Win32DialogControls::Enable(int id, bool on) {
    if (HWND control = Control(id)) ::EnableWindow(control, on ? TRUE : FALSE);
}

void Win32DialogControls::ResetContent(int id) {
    if (HWND control = Control(id))
        ::SendMessageA(control, IsListBox(control) ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
}

int Win32DialogControls::AddString(int id, const std::string& text) {
    HWND control = Control(id);
    if (!control) return -1;
    return static_cast<int>(::SendMessageA(control, IsListBox(control) ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32DialogControls::AddItems(int id, const std::vector<ListItem>& items) {
    HWND control = Control(id);
    if (!control || items.empty()) return;
    // Under Wine each lookup of a control and of its class asks the server: hundreds of
    // operators or ports would wait on it once per item, and twice for an item's number.
    const bool listBox = IsListBox(control);
    std::size_t bytes = 0;
    for (const ListItem& item : items) bytes += item.text.size() + 1;
    ::SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(control, listBox ? LB_INITSTORAGE : CB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    for (const ListItem& item : items) {
        const LRESULT index = ::SendMessageA(control, listBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(item.text.c_str()));
        if (item.data != 0 && index >= 0)
            ::SendMessageA(control, listBox ? LB_SETITEMDATA : CB_SETITEMDATA, static_cast<WPARAM>(index),
                           static_cast<LPARAM>(item.data));
    }
    ::SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(control, nullptr, TRUE);
}

void Win32DialogControls::SetItemData(int id, int index, std::uint32_t data) {
    if (HWND control = Control(id))
        ::SendMessageA(control, IsListBox(control) ? LB_SETITEMDATA : CB_SETITEMDATA, static_cast<WPARAM>(index),
                       static_cast<LPARAM>(data));
}

int Win32DialogControls::GetCount(int id) const {
    HWND control = Control(id);
    if (!control) return 0;
    LRESULT count = ::SendMessageA(control, IsListBox(control) ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::string Win32DialogControls::GetItemText(int id, int index) const {
    HWND control = Control(id);
    if (!control) return {};
    const bool listBox = IsListBox(control);
    const LRESULT length = ::SendMessageA(control, listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const LRESULT copied = ::SendMessageA(control, listBox ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(buffer.data()));
    if (copied <= 0 || copied > length) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(copied));
}

int Win32DialogControls::GetCurSel(int id) const {
    HWND control = Control(id);
    if (!control) return -1;
    return static_cast<int>(::SendMessageA(control, IsListBox(control) ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
}

void Win32DialogControls::SetCurSel(int id, int index) {
    if (HWND control = Control(id))
        ::SendMessageA(control, IsListBox(control) ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32DialogControls::EndWithOk() {
    if (!ended_.load()) ::SendMessageA(dialog_, kEndWithOkMessage, 0, 0);
}

} // namespace vantaro
