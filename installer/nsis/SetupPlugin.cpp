// The setup's (NSIS) own steps, done by the same code as the MSI's: a plugin that the setup
// carries and unpacks for the call. Vantaro.nsi calls
//
//   VantaroSetup::SecureFolder <folder>                 "inherited", "set", "error <n>", or
//                                                       "unnamed" for a name that the program,
//                                                       which speaks the ANSI code page, cannot use
//   VantaroSetup::UpgradeSettings <kept> <shipped>      "ok" or "error <n>": <kept> becomes the
//                                                       earlier settings with <shipped>'s texts
//                                                       and new keys
//
// and pops the answer. The arguments come off NSIS's stack, the answer goes onto it.

#include "installer/win32/SetupSteps.h"
#include "platform/win32/CodePage.h"
#include "settings/SettingsUpgrade.h"
#include "platform/win32/WholeFile.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// NSIS's stack of strings, as its plugin interface lays it out (Unicode builds).
struct NsisStack {
    NsisStack* next;
    wchar_t text[1];
};

std::wstring Pop(NsisStack** top) {
    if (!top || !*top) return {};
    NsisStack* entry = *top;
    std::wstring text = entry->text;
    *top = entry->next;
    ::GlobalFree(entry);
    return text;
}

void Push(NsisStack** top, int stringSize, const std::wstring& text) {
    if (!top || stringSize <= 0) return;
    auto* entry = static_cast<NsisStack*>(
        ::GlobalAlloc(GPTR, sizeof(NsisStack) + static_cast<std::size_t>(stringSize) * sizeof(wchar_t)));
    if (!entry) return;
    std::wcsncpy(entry->text, text.c_str(), static_cast<std::size_t>(stringSize) - 1);
    entry->next = *top;
    *top = entry;
}

std::wstring ErrorAnswer(DWORD error) { return L"error " + std::to_wstring(error); }

} // namespace

extern "C" __declspec(dllexport) void SecureFolder(HWND, int stringSize, wchar_t*, NsisStack** top, void*) {
    const std::wstring folder = Pop(top);
    if (!vantaro::ExactAnsiFromWide(folder)) {
        Push(top, stringSize, L"unnamed");
        return;
    }
    DWORD error = 0;
    switch (vantaro::installer::SecureInstallFolder(folder, error)) {
    case vantaro::installer::FolderAccess::Inherited: Push(top, stringSize, L"inherited"); return;
    case vantaro::installer::FolderAccess::Set: Push(top, stringSize, L"set"); return;
    case vantaro::installer::FolderAccess::Failed: Push(top, stringSize, ErrorAnswer(error)); return;
    }
}

extern "C" __declspec(dllexport) void UpgradeSettings(HWND, int stringSize, wchar_t*, NsisStack** top, void*) {
    const std::wstring keptPath = Pop(top);
    const std::wstring shippedPath = Pop(top);
    const std::optional<std::string> kept = vantaro::ExactAnsiFromWide(keptPath);
    const std::optional<std::string> shipped = vantaro::ExactAnsiFromWide(shippedPath);
    std::string keptBytes, shippedBytes;
    if (!kept || !shipped) {
        Push(top, stringSize, ErrorAnswer(ERROR_NO_UNICODE_TRANSLATION));
        return;
    }
    if (vantaro::ReadWholeFile(*kept, keptBytes) != vantaro::WholeFileRead::Read ||
        vantaro::ReadWholeFile(*shipped, shippedBytes) != vantaro::WholeFileRead::Read ||
        !vantaro::ReplaceWholeFile(*kept, vantaro::settings::UpgradedSettings(keptBytes, shippedBytes))) {
        Push(top, stringSize, ErrorAnswer(::GetLastError()));
        return;
    }
    Push(top, stringSize, L"ok");
}
