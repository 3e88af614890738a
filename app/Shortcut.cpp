#include "app/Shortcut.h"

#include "app/ComOwners.h"
#include "app/LinkPath.h"
#include "platform/TextRules.h"
#include "platform/win32/CodePage.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace vantaro {

namespace {

constexpr char kShortcutDescription[] = "Shortcut created by custom code";

struct ShellFolders {
    std::string desktop;
    std::string startMenu;
};

std::string ShellFolderPath(IMalloc* allocator, int folder) {
    ShellItemList items(allocator);
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, folder, items.put()))) return {};
    char path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(items.get(), path)) return {};
    return path;
}

// A folder that cannot be resolved stays empty.
ShellFolders ResolveShellFolders() {
    ShellFolders folders;
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.put()))) return folders;
    folders.desktop = ShellFolderPath(allocator.get(), CSIDL_DESKTOPDIRECTORY);
    folders.startMenu = ShellFolderPath(allocator.get(), CSIDL_STARTMENU);
    return folders;
}

// The target a saved link points at, as stored; empty when the link cannot be read.
std::string ShellLinkTarget(const std::string& linkPath) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    const std::wstring widePath = WideFromAnsi(linkPath.c_str());
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) || widePath.size() >= MAX_PATH ||
        FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return {};
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return {};
    return target;
}

} // namespace

bool SaveShellLink(const std::string& linkPath, const std::string& targetPath) {
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid())))
        return false;
    link->SetPath(targetPath.c_str());
    link->SetDescription(kShortcutDescription);
    link->SetShowCmd(SW_SHOW);

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid()))) return false;
    // The whole path, terminator included, must fit; a path that does not is not saved at all
    // rather than saved under a name cut short (or left unterminated).
    const std::wstring widePath = WideFromAnsi(linkPath.c_str());
    if (widePath.size() >= MAX_PATH) return false;
    return SUCCEEDED(file->Save(widePath.c_str(), TRUE));
}

bool CreateShortcut(const std::string& targetPath, bool onDesktop, std::string* savedPath) {
    ComInitialization com;
    const ShellFolders folders = ResolveShellFolders();
    const std::string linkPath = BuildLinkPath(folders.desktop, folders.startMenu, onDesktop, &IsAnsiLeadByte);
    if (!SaveShellLink(linkPath, targetPath)) return false;
    if (savedPath) *savedPath = linkPath;
    return true;
}

Removal RemoveDesktopShortcut(const std::string& targetPath) {
    ComInitialization com;
    const ShellFolders folders = ResolveShellFolders();
    return RemoveShortcut(BuildLinkPath(folders.desktop, folders.startMenu, true, &IsAnsiLeadByte), targetPath);
}

Removal RemoveShortcut(const std::string& linkPath, const std::string& targetPath) {
    ComInitialization com;
    if (linkPath.empty()) return {};
    if (::GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
        return {RemovalState::Failed, error, 0};
    }
    if (!EqualsIgnoringAsciiCase(ShellLinkTarget(linkPath), targetPath)) return {};
    if (!::DeleteFileA(linkPath.c_str())) return {RemovalState::Failed, ::GetLastError(), 0};
    return {RemovalState::Removed, 0, 1};
}

} // namespace vantaro
