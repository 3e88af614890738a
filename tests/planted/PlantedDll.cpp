// A DLL planted beside a program under the name of a system DLL that the program uses. Loading
// it leaves a mark: a file named like the DLL with ".loaded" added, beside it. It exports the
// entry points that Vantaro.exe, modemnode.exe and pnpagent64.exe take from rasapi32.dll,
// newdev.dll and cfgmgr32.dll, so that a program that imports them at start-up takes it whole;
// each of them fails without doing anything.

#include <windows.h>

namespace {

void LeaveMark(HMODULE self) {
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ::lstrcatW(path, L".loaded");
    const HANDLE mark = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) ::CloseHandle(mark);
}

constexpr DWORD kFailed = 31;  // ERROR_GEN_FAILURE; CR_FAILURE is 0x13

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
    return TRUE;
}

// rasapi32.dll
__declspec(dllexport) DWORD WINAPI RasDialA(void*, const char*, void*, DWORD, void*, HANDLE*) { return kFailed; }
__declspec(dllexport) DWORD WINAPI RasHangUpA(HANDLE) { return kFailed; }
__declspec(dllexport) DWORD WINAPI RasGetConnectStatusA(HANDLE, void*) { return kFailed; }
__declspec(dllexport) DWORD WINAPI RasGetErrorStringA(UINT, char*, DWORD) { return kFailed; }

// newdev.dll
__declspec(dllexport) BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND, const char*, const char*, DWORD, BOOL*) {
    ::SetLastError(kFailed);
    return FALSE;
}

// cfgmgr32.dll
__declspec(dllexport) DWORD WINAPI CM_Locate_DevNodeA(DWORD*, char*, ULONG) { return 0x13; }
__declspec(dllexport) DWORD WINAPI CM_Create_DevNodeA(DWORD*, char*, DWORD, ULONG) { return 0x13; }
__declspec(dllexport) DWORD WINAPI CM_Set_DevNode_Registry_PropertyA(DWORD, ULONG, const void*, ULONG, ULONG) {
    return 0x13;
}
__declspec(dllexport) DWORD WINAPI CM_Open_DevNode_Key(DWORD, DWORD, ULONG, DWORD, HKEY*, ULONG) { return 0x13; }

} // extern "C"
