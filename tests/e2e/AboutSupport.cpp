#include "e2e/AboutSupport.h"

#include "app/ComOwners.h"
#include "platform/win32/CodePage.h"

#include <shobjidl.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace vantaro::e2e {

namespace {
// Where a link file's header keeps the show command.
constexpr std::size_t kShowCommandOffset = 0x3C;
} // namespace

HWND WaitForAboutDialog(const VantaroProcess& vantaro) {
    HWND about = nullptr;
    WaitUntil([&] { return (about = vantaro.FindTopWindow(kAboutTitle)) != nullptr; });
    return about;
}

std::string DescribeProgram(const VantaroProcess& vantaro) {
    std::string text =
        vantaro.Running() ? "the program runs" : "the program ended with " + std::to_string(vantaro.ExitCode());
    for (HWND window : vantaro.TopWindows()) text += "; it shows \"" + WindowText(window) + "\"";
    return text;
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

// The line of `text` that starts with `start` (its ending included), from `from` on.
std::string LineStarting(const std::string& text, const std::string& start, std::size_t from) {
    std::size_t at = text.find("\n" + start, from);
    if (at == std::string::npos) return "(no line " + start + ")";
    ++at;
    return text.substr(at, text.find('\n', at) + 1 - at);
}

// The last "key=value" line of a section.
std::string LastKeyLine(const std::string& text, const std::string& section) {
    const std::size_t begin = text.find("\n[" + section + "]");
    const std::size_t end = std::min(text.find("\n[", begin + 1), text.size());
    std::string last = "(no key in " + section + ")";
    for (std::size_t at = text.find('\n', begin) + 1; at > 0 && at < end; at = text.find('\n', at) + 1) {
        const std::string line = text.substr(at, text.find('\n', at) + 1 - at);
        if (line[0] != ';' && line.find('=') != std::string::npos) last = line;
    }
    return last;
}

} // namespace

std::string Replaced(std::string text, const std::string& line, const std::string& with) {
    const std::size_t at = text.find(line);
    return at == std::string::npos ? "(no line " + line + ")" : text.replace(at, line.size(), with);
}

EarlierSettings EarlierVersionSettings(const std::string& delivered) {
    // The last [Setting] key came with its notes; an upgrade brings the key alone.
    const std::string lastSetting = LastKeyLine(delivered, "Setting");
    std::size_t notes = delivered.find(lastSetting, delivered.find("\n[Setting]"));
    while (notes > 1 && delivered[delivered.rfind('\n', notes - 2) + 1] == ';') notes = delivered.rfind('\n', notes - 2) + 1;
    const std::string withNotes = delivered.substr(notes, delivered.find(lastSetting, notes) + lastSetting.size() - notes);

    EarlierSettings settings;
    const std::string edited = Replaced(delivered, "apn=cmnet\r\n", "; edited after the install\r\napn=corp\r\n");
    settings.edited = Replaced(edited, withNotes, lastSetting);
    const std::string tel = LineStarting(delivered, "TEL=", delivered.find("[Chinese]"));
    settings.earlier = Replaced(Replaced(Replaced(edited, tel, "TEL=\xB5\xE7\r\n"), LastKeyLine(delivered, "Chinese"), ""),
                                withNotes, "");
    return settings;
}

} // namespace vantaro::e2e
