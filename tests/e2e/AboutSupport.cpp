#include "e2e/AboutSupport.h"

#include "app/ComOwners.h"
#include "platform/win32/CodePage.h"
#include "resources/resource.h"

#include <shobjidl.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace vantaro::e2e {

namespace {
// Where a link file's header keeps the show command.
constexpr std::size_t kShowCommandOffset = 0x3C;
} // namespace

HWND OpenAboutDialog(const VantaroProcess& vantaro, HWND settings) {
    Click(settings, IDC_ABOUT);
    HWND about = nullptr;
    WaitUntil([&] { return (about = vantaro.FindTopWindow(kAboutTitle)) != nullptr; }, kDefaultWait,
              [&] { return "the About dialog; " + ProgramState(vantaro); });
    return about;
}

bool CloseAboutDialog(HWND about, HWND settings, UINT how) {
    if (how == WM_CLOSE)
        ::PostMessageA(about, WM_CLOSE, 0, 0);
    else
        Click(about, IDOK);
    if (!WaitUntil([&] { return !::IsWindow(about); })) return false;
    // The handler saves the shortcut before the Settings dialog serves its queue again, so an
    // answered message means the save is over (or nearly: a save that itself sends messages to
    // another thread can answer earlier, which is why readers of the shortcut still wait).
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutA(settings, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDefaultWait, &ignored) != 0;
}

bool SavePaintedImage(HWND dialog, const std::string& path) {
    // A window of another thread paints before this returns.
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return SaveWindowImage(dialog, path);
}

std::string WideControlText(HWND dialog, int id) {
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_GETTEXT, sizeof text / sizeof text[0],
                               reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    return Utf8FromWide(text);
}

std::string WineDesktopFolder() {
    const char* prefix = std::getenv("WINEPREFIX");
    const char* user = std::getenv("USERNAME");
    if (!prefix || !user) return {};
    return WindowsPath(std::string(prefix) + "/drive_c/users/" + user + "/Desktop");
}

std::vector<std::string> LinkFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

SavedShortcut ReadShortcut(const std::string& path) {
    SavedShortcut shortcut;
    ComInitialization com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    const std::wstring widePath = WideFromAnsi(path.c_str());
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) || widePath.size() >= MAX_PATH ||
        FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return shortcut;
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) shortcut.target = target;
    char description[INFOTIPSIZE] = {};
    if (SUCCEEDED(link->GetDescription(description, INFOTIPSIZE))) shortcut.description = description;
    const std::string bytes = ReadFile(path);
    if (bytes.size() < kShowCommandOffset + 4) return shortcut;
    std::memcpy(&shortcut.showCommand, bytes.data() + kShowCommandOffset, 4);
    shortcut.read = true;
    return shortcut;
}

SavedShortcut WaitForShortcut(const std::string& path) {
    SavedShortcut shortcut;
    WaitUntil([&] { return (shortcut = ReadShortcut(path)).read; });
    return shortcut;
}

namespace {

// The line that begins at `at`, with its ending; and where the line before it begins.
std::string LineAt(const std::string& text, std::size_t at) { return text.substr(at, text.find('\n', at) + 1 - at); }
std::size_t LineBefore(const std::string& text, std::size_t at) { return text.rfind('\n', at - 2) + 1; }

// Where the last key line of a section begins: the last line before the next section (or the
// end) that is neither blank nor a note.
std::size_t LastKeyAt(const std::string& text, const std::string& section) {
    std::size_t at = std::min(text.find("\n[", text.find("\n[" + section + "]") + 1), text.size() - 1) + 1;
    do at = LineBefore(text, at);
    while (text[at] == ';' || text[at] == '\r' || text[at] == '\n');
    return at;
}

} // namespace

std::string Replaced(std::string text, const std::string& line, const std::string& with) {
    const std::size_t at = text.find(line);
    return at == std::string::npos ? "(no line " + line + ")" : text.replace(at, line.size(), with);
}

EarlierSettings EarlierVersionSettings(const std::string& delivered) {
    // The last [Setting] key came with its notes; an upgrade brings the key alone.
    const std::size_t key = LastKeyAt(delivered, "Setting");
    std::size_t notes = key;
    while (delivered[LineBefore(delivered, notes)] == ';') notes = LineBefore(delivered, notes);
    const std::string lastSetting = LineAt(delivered, key);
    const std::string withNotes = delivered.substr(notes, key - notes) + lastSetting;

    const std::string edited = Replaced(delivered, "apn=cmnet\r\n", "; edited after the install\r\napn=corp\r\n");
    const std::string tel = LineAt(delivered, delivered.find("\nTEL=", delivered.find("\n[Chinese]")) + 1);
    const std::string lastText = LineAt(delivered, LastKeyAt(delivered, "Chinese"));
    return {Replaced(edited, withNotes, lastSetting),
            Replaced(Replaced(Replaced(edited, tel, "TEL=\xB5\xE7\r\n"), lastText, ""), withNotes, "")};
}

} // namespace vantaro::e2e
