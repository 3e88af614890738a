#include "dialup/win32/Win32RasDialService.h"

#include "dialup/DialNotify.h"

#include <windows.h>

// The four calls as rasapi32.dll exports them, declared with the first published records. The
// mingw <ras.h> only knows the latest forms (and names them by macro), so it is not included.
// They come through the delay-load of rasapi32.dll (dialup/CMakeLists.txt).
extern "C" {
#define VANTARO_RAS_IMPORT __declspec(dllimport)
VANTARO_RAS_IMPORT DWORD WINAPI RasDialA(void* dialExtensions, LPCSTR phonebook, vantaro::ras::RASDIALPARAMSA* dialParams,
                                         DWORD notifierType, LPVOID notifier, HANDLE* connection);
VANTARO_RAS_IMPORT DWORD WINAPI RasHangUpA(HANDLE connection);
VANTARO_RAS_IMPORT DWORD WINAPI RasGetConnectStatusA(HANDLE connection, vantaro::ras::RASCONNSTATUSA* status);
VANTARO_RAS_IMPORT DWORD WINAPI RasGetErrorStringA(UINT error, LPSTR buffer, DWORD bufferSize);
}

namespace vantaro {

namespace {

constexpr DWORD kNotifierTypeRasDialFunc = 0;

// The platform's RasDialFunc form; it hands the notification to the process-wide notifier.
VOID WINAPI DialNotifyEntry(UINT message, DWORD rasconnstate, DWORD error) {
    DialNotify(message, rasconnstate, error);
}

// The connection handle goes through the program as an integer of the handle's own width.
static_assert(sizeof(HANDLE) == sizeof(ras::ConnectionHandle));
HANDLE ToHandle(ras::ConnectionHandle connection) { return reinterpret_cast<HANDLE>(connection); }

} // namespace

std::uint32_t Win32RasDialService::Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection) {
    HANDLE handle = nullptr;
    const DWORD result = ::RasDialA(nullptr, nullptr, &dialParams, kNotifierTypeRasDialFunc,
                                    reinterpret_cast<LPVOID>(&DialNotifyEntry), &handle);
    *connection = reinterpret_cast<ras::ConnectionHandle>(handle);
    return result;
}

std::uint32_t Win32RasDialService::HangUp(ras::ConnectionHandle connection) {
    return ::RasHangUpA(ToHandle(connection));
}

std::uint32_t Win32RasDialService::GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) {
    return ::RasGetConnectStatusA(ToHandle(connection), status);
}

std::uint32_t Win32RasDialService::GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) {
    return ::RasGetErrorStringA(error, buffer, bufferSize);
}

} // namespace vantaro
