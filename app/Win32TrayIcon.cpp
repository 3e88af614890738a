#include "app/Win32TrayIcon.h"

#include "app/TrayText.h"
#include "platform/win32/CodePage.h"
#include "resources/resource.h"

#include <cstddef>
#include <cwchar>
#include <type_traits>

namespace vantaro {

namespace {

// The program has one icon; the taskbar knows it by its owner and this id.
constexpr UINT kIconId = 1;

// The taskbar takes the record's form by cbSize and ignores the balloon of a form it does not
// know. sizeof gives the full form (with hBalloonIcon), which every Windows from Vista on takes;
// the program targets nothing older, and a lowered target would have to pass a smaller size.
static_assert(_WIN32_WINNT >= 0x0600, "the full tray icon record needs Windows Vista or later");
#if defined(_WIN64)
static_assert(sizeof(NOTIFYICONDATAW) == 976);
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == 8 && offsetof(NOTIFYICONDATAW, uID) == 16 &&
              offsetof(NOTIFYICONDATAW, hIcon) == 32 && offsetof(NOTIFYICONDATAW, szTip) == 40 &&
              offsetof(NOTIFYICONDATAW, szInfo) == 304 && offsetof(NOTIFYICONDATAW, szInfoTitle) == 820 &&
              offsetof(NOTIFYICONDATAW, dwInfoFlags) == 948);
#else
static_assert(sizeof(NOTIFYICONDATAW) == 956);
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == 4 && offsetof(NOTIFYICONDATAW, uID) == 8 &&
              offsetof(NOTIFYICONDATAW, hIcon) == 20 && offsetof(NOTIFYICONDATAW, szTip) == 24 &&
              offsetof(NOTIFYICONDATAW, szInfo) == 288 && offsetof(NOTIFYICONDATAW, szInfoTitle) == 804 &&
              offsetof(NOTIFYICONDATAW, dwInfoFlags) == 932);
#endif
// The texts are cut to the fields' published lengths.
static_assert(std::extent_v<decltype(NOTIFYICONDATAW::szTip)> == kTrayTooltipUnits &&
              std::extent_v<decltype(NOTIFYICONDATAW::szInfoTitle)> == kTrayBalloonTitleUnits &&
              std::extent_v<decltype(NOTIFYICONDATAW::szInfo)> == kTrayBalloonTextUnits);

// The text in the interface's code page as UTF-16, cut to what the field holds, with its NUL.
std::wstring FieldText(const std::string& text, std::size_t fieldUnits) {
    std::wstring wide = WideFromAnsi(text);
    wide.resize(FittingUtf16Length(wide.data(), wide.size(), fieldUnits));
    return wide;
}

template <std::size_t Units>
void CopyToField(WCHAR (&field)[Units], const std::wstring& text) {
    const std::size_t count = FittingUtf16Length(text.data(), text.size(), Units);
    std::wmemcpy(field, text.data(), count);
    field[count] = L'\0';
}

// An elevated program hears no registered message from a process of lower integrity (Explorer)
// unless its window lets it in: without this, the icon never comes back after Explorer restarts.
// ChangeWindowMessageFilterEx (Windows 7 on) lets it in for this window only; on Vista,
// ChangeWindowMessageFilter does so for the process. Looked up, so the program still starts on a
// Windows without either.
void LetTaskbarMessageIn(HWND window, UINT message) {
    if (window == nullptr || message == 0) return;
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    using FilterForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterForProcess = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW and MSGFLT_ADD
    if (const auto forWindow = reinterpret_cast<FilterForWindow>(
            reinterpret_cast<void (*)()>(::GetProcAddress(user32, "ChangeWindowMessageFilterEx")))) {
        forWindow(window, message, kAllow, nullptr);
        return;
    }
    if (const auto forProcess = reinterpret_cast<FilterForProcess>(
            reinterpret_cast<void (*)()>(::GetProcAddress(user32, "ChangeWindowMessageFilter"))))
        forProcess(message, kAllow);
}

HICON LoadTrayIcon(int id) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                           LR_DEFAULTCOLOR));
}

} // namespace

Win32TrayIcon::Win32TrayIcon(HWND owner, const std::string& tooltip)
    : owner_(owner), taskbarCreatedMessage_(::RegisterWindowMessageW(L"TaskbarCreated")) {
    LetTaskbarMessageIn(owner_, taskbarCreatedMessage_);
    icons_[static_cast<int>(LinkState::Disconnected)].reset(LoadTrayIcon(IDI_TRAY_DISCONNECTED));
    icons_[static_cast<int>(LinkState::Dialling)].reset(LoadTrayIcon(IDI_TRAY_DIALLING));
    icons_[static_cast<int>(LinkState::Connected)].reset(LoadTrayIcon(IDI_TRAY_CONNECTED));
    std::lock_guard<std::mutex> lock(mutex_);
    tooltip_ = FieldText(tooltip, kTrayTooltipUnits);
    AddLocked();
}

Win32TrayIcon::~Win32TrayIcon() { Remove(); }

void Win32TrayIcon::Remove() {
    std::lock_guard<std::mutex> lock(mutex_);
    removed_ = true;
    if (!added_) return;
    NOTIFYICONDATAW data = Data(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

NOTIFYICONDATAW Win32TrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icons_[static_cast<int>(state_)].get();
    CopyToField(data.szTip, tooltip_);
    return data;
}

void Win32TrayIcon::AddLocked() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void Win32TrayIcon::Show(LinkState state, const std::string& tooltip) {
    std::wstring wide = FieldText(tooltip, kTrayTooltipUnits);
    std::lock_guard<std::mutex> lock(mutex_);
    // Called every second while connected, mostly with what the taskbar already shows.
    if (state == state_ && wide == tooltip_) return;
    state_ = state;
    tooltip_ = std::move(wide);
    // Without a taskbar the picture is kept for when one announces itself.
    if (!added_) return;
    NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP);
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32TrayIcon::Balloon(const std::string& title, const std::string& text) {
    const std::wstring wideTitle = FieldText(title, kTrayBalloonTitleUnits);
    const std::wstring wideText = FieldText(text, kTrayBalloonTextUnits);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!added_) return;
    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyToField(data.szInfoTitle, wideTitle);
    CopyToField(data.szInfo, wideText);
    data.dwInfoFlags = NIIF_INFO;
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool Win32TrayIcon::OnTaskbarCreated(UINT message) {
    if (message != taskbarCreatedMessage_ || taskbarCreatedMessage_ == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    // The new taskbar knows nothing of the icon, whether the old one had it or not.
    if (!removed_) AddLocked();
    return true;
}

bool Win32TrayIcon::Added() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return added_;
}

} // namespace vantaro
