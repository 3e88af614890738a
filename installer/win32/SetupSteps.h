#pragma once
// What both packages do on Windows in the same way: the MSI's custom actions and the setup's
// plugin call these.

#include <windows.h>

#include <string>

namespace vantaro::installer {

enum class FolderAccess {
    Inherited,  // inside Program Files: its access is right, nothing was changed
    Set,        // elsewhere: administrators and SYSTEM may change it, users read and run
    Failed,     // elsewhere, and its access could not be set: nothing may be installed there
};
// Makes the install folder (and its parents) where it is missing and gives it the access that
// Program Files has, before any file goes in: the packages' actions run the program from it as
// SYSTEM, and the elevated program runs its helper from it. `error` says why it failed.
FolderAccess SecureInstallFolder(const std::wstring& folder, DWORD& error);

} // namespace vantaro::installer
