#pragma once
// What both packages do on Windows in the same way: the MSI's custom actions and the setup's
// plugin call these.

#include <windows.h>

#include <optional>
#include <string>

namespace vantaro::installer {

std::wstring WideFromAnsi(const std::string& text);
// The text in the system's ANSI code page, the one Setting.ini and the program speak; nothing
// when a character has no exact form there (no best-fit look-alike is taken).
std::optional<std::string> Ansi(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8(const std::wstring& text);

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
