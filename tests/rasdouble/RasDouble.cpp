// A stand-in for rasapi32.dll: the remote-access entry points that Vantaro uses, doing what a
// small script file says (see README.md). It lets the tests drive the real program through
// dials, errors, time-outs, hang-ups, growing statistics and dropped links that Wine's own
// library cannot produce.
//
// It only accepts the records in their first published forms, so a program that passes another
// form is caught here. Every call is written to a log file, one line each.

#include "dialup/RasRecords.h"
#include "modem/ModemRegistry.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using vantaro::ras::RASCONNSTATUSA;
using vantaro::ras::RASDEVINFOA;
using vantaro::ras::RASDIALPARAMSA;
using vantaro::ras::RASENTRYA;
using vantaro::ras::RAS_STATS;

constexpr char kScriptVariable[] = "VANTARO_RAS_DOUBLE";
constexpr DWORD kErrorInvalidHandle = 6;
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorBufferTooSmall = 603;
constexpr DWORD kErrorInvalidSize = 632;
constexpr DWORD kErrorAlreadyExists = 183;
constexpr DWORD kErrorEntryNotFound = 623;
constexpr DWORD kErrorPortAlreadyOpen = 602;
constexpr UINT kRasDialEventMessage = 0xCCCD;
constexpr DWORD kStateOpenPort = 0;
constexpr DWORD kStateConnectDevice = 2;
constexpr DWORD kStateConnected = 0x2000;
constexpr DWORD kStateDisconnected = 0x2001;
constexpr DWORD kFirstHandle = 0x5A000001;

using RasDialFunc = VOID(WINAPI*)(UINT, DWORD, DWORD);

// --- the script -------------------------------------------------------------------------------

std::string ScriptPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(kScriptVariable, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string ScriptText(const char* section, const char* key, const char* defaultValue) {
    const std::string path = ScriptPath();
    if (path.empty()) return defaultValue;
    char value[1024] = {};
    ::GetPrivateProfileStringA(section, key, defaultValue, value, sizeof value, path.c_str());
    return value;
}

long ScriptNumber(const char* section, const char* key, long defaultValue) {
    const std::string text = ScriptText(section, key, "");
    return text.empty() ? defaultValue : std::strtol(text.c_str(), nullptr, 0);
}

std::uint64_t ScriptCount(const char* section, const char* key, std::uint64_t defaultValue) {
    const std::string text = ScriptText(section, key, "");
    return text.empty() ? defaultValue : std::strtoull(text.c_str(), nullptr, 0);
}

// The phone book is the script's [Phonebook] section: one key per entry. A null value deletes it.
bool InPhonebook(LPCSTR entryName) { return entryName && !ScriptText("Phonebook", entryName, "").empty(); }
void WritePhonebook(LPCSTR entryName, const char* value) {
    const std::string path = ScriptPath();
    if (!path.empty() && entryName) ::WritePrivateProfileStringA("Phonebook", entryName, value, path.c_str());
}

// --- the log ----------------------------------------------------------------------------------

CRITICAL_SECTION logLock;

void Log(const std::string& line) {
    const std::string path = ScriptText("Log", "file", "");
    if (path.empty()) return;
    ::EnterCriticalSection(&logLock);
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string text = line + "\r\n";
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    ::LeaveCriticalSection(&logLock);
}

std::string Number(unsigned long value) { return std::to_string(value); }
std::string Text(const char* text) { return text ? text : "<none>"; }

// --- connections ------------------------------------------------------------------------------

struct Connection {
    DWORD state = kStateOpenPort;
    DWORD error = 0;
    bool hungUp = false;
    bool goneNever = false;
    bool keptDropped = false;       // dropped, and kept as disconnected until hung up
    DWORD goneAt = 0;
    DWORD connectedAt = 0;         // tick count of RASCS_Connected
    std::vector<HANDLE> endEvents;  // RasConnectionNotificationA's, duplicated
};

CRITICAL_SECTION connectionLock;
std::map<DWORD, Connection> connections;
DWORD nextHandle = kFirstHandle;

// Whether the connection still exists; one that was hung up goes at its time.
bool Alive(DWORD handle, Connection* copy = nullptr) {
    ::EnterCriticalSection(&connectionLock);
    auto found = connections.find(handle);
    bool alive = found != connections.end();
    if (alive && found->second.hungUp && !found->second.goneNever &&
        static_cast<LONG>(::GetTickCount() - found->second.goneAt) >= 0) {
        connections.erase(found);
        alive = false;
    }
    if (alive && copy) *copy = found->second;
    ::LeaveCriticalSection(&connectionLock);
    return alive;
}

void SetState(DWORD handle, DWORD state, DWORD error) {
    ::EnterCriticalSection(&connectionLock);
    auto found = connections.find(handle);
    if (found != connections.end()) {
        found->second.state = state;
        found->second.error = error;
        if (state == kStateConnected) found->second.connectedAt = ::GetTickCount();
    }
    ::LeaveCriticalSection(&connectionLock);
}

// Signals (and lets go of) the events waiting for the connection's end; with `remove` the
// connection is gone at once, as after a drop.
void EndConnection(DWORD handle, bool remove) {
    std::vector<HANDLE> events;
    ::EnterCriticalSection(&connectionLock);
    auto found = connections.find(handle);
    if (found != connections.end()) {
        events.swap(found->second.endEvents);
        if (remove) connections.erase(found);
    }
    ::LeaveCriticalSection(&connectionLock);
    for (HANDLE event : events) {
        ::SetEvent(event);
        ::CloseHandle(event);
    }
}

struct DialRun {
    DWORD handle;
    RasDialFunc notifier;
    std::string outcome;
    DWORD delay;
    DWORD error;
};

// The service's own thread: reports the first state at once and the outcome after the delay,
// unless the connection was hung up meanwhile.
DWORD WINAPI NotifierThread(LPVOID parameter) {
    DialRun* run = static_cast<DialRun*>(parameter);
    run->notifier(kRasDialEventMessage, kStateOpenPort, 0);
    ::Sleep(run->delay);
    Connection state;
    if (run->outcome != "never" && Alive(run->handle, &state) && !state.hungUp) {
        DWORD finalState = kStateConnected;
        DWORD error = 0;
        if (run->outcome == "error") {
            finalState = kStateConnectDevice;
            error = run->error;
        } else if (run->outcome == "disconnect") {
            finalState = kStateDisconnected;
        }
        SetState(run->handle, finalState, error);
        Log("notify handle=" + Number(run->handle) + " state=" + Number(finalState) + " error=" + Number(error));
        run->notifier(kRasDialEventMessage, finalState, error);
        // A scripted drop: the link goes away by itself, as when the signal fades.
        const long dropAfter = ScriptNumber("Link", "drop_after_ms", -1);
        if (finalState == kStateConnected && dropAfter >= 0) {
            ::Sleep(static_cast<DWORD>(dropAfter));
            if (Alive(run->handle, &state) && !state.hungUp) {
                // As the service may do: the dead connection stays, and holds its port, until
                // it is hung up.
                const bool keep = ScriptNumber("Link", "keep_dropped", 0) != 0;
                Log("dropped handle=" + Number(run->handle) + (keep ? " kept" : ""));
                if (keep) {
                    SetState(run->handle, kStateDisconnected, 0);
                    ::EnterCriticalSection(&connectionLock);
                    connections[run->handle].keptDropped = true;
                    ::LeaveCriticalSection(&connectionLock);
                }
                EndConnection(run->handle, !keep);
            }
        }
    }
    delete run;
    return 0;
}

// The notifier thread may outlive every FreeLibrary of a program that loaded the library by name.
void PinThisLibrary() {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCSTR>(&PinThisLibrary), &self);
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::InitializeCriticalSection(&logLock);
        ::InitializeCriticalSection(&connectionLock);
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(instance, path, MAX_PATH);
        Log(std::string("loaded from=") + path);
    }
    return TRUE;
}

__attribute__((dllexport)) DWORD WINAPI RasEnumDevicesA(RASDEVINFOA* devices, DWORD* bufferSize, DWORD* deviceCount) {
    if (!bufferSize || !deviceCount) return kErrorInvalidParameter;
    const long count = ScriptNumber("Devices", "count", 1);
    const DWORD needed = static_cast<DWORD>(count > 0 ? count : 0) * sizeof(RASDEVINFOA);
    Log("RasEnumDevicesA buffer=" + std::string(devices ? "yes" : "no") + " size=" + Number(*bufferSize) +
        " record=" + Number(devices ? devices->dwSize : 0));
    if (devices && devices->dwSize != sizeof(RASDEVINFOA)) return kErrorInvalidSize;
    *deviceCount = needed / sizeof(RASDEVINFOA);
    if (!devices || *bufferSize < needed) {
        *bufferSize = needed;
        return kErrorBufferTooSmall;
    }
    const long result = ScriptNumber("Devices", "result", 0);
    if (result != 0) return static_cast<DWORD>(result);
    for (DWORD i = 0; i < *deviceCount; ++i) {
        const std::string index = Number(i + 1);
        const std::string type = ScriptText("Devices", ("type" + index).c_str(), "modem");
        const std::string name = ScriptText("Devices", ("name" + index).c_str(), "Vantaro Test Modem");
        std::strncpy(devices[i].szDeviceType, type.c_str(), sizeof devices[i].szDeviceType - 1);
        std::strncpy(devices[i].szDeviceName, name.c_str(), sizeof devices[i].szDeviceName - 1);
    }
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasValidateEntryNameA(LPCSTR phonebook, LPCSTR entryName) {
    Log("RasValidateEntryNameA phonebook=" + Text(phonebook) + " entry=" + Text(entryName));
    if (InPhonebook(entryName)) return kErrorAlreadyExists;
    return static_cast<DWORD>(ScriptNumber("Entry", "validate_result", 0));
}

__attribute__((dllexport)) DWORD WINAPI RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entryName, RASENTRYA* entry,
                                                         DWORD entrySize, LPBYTE deviceInfo, DWORD deviceInfoSize) {
    if (!entry || entry->dwSize != sizeof(RASENTRYA) || entrySize != sizeof(RASENTRYA)) {
        Log("RasSetEntryPropertiesA refused: not the first published entry record");
        return kErrorInvalidSize;
    }
    char dns[64];
    std::snprintf(dns, sizeof dns, "%u.%u.%u.%u,%u.%u.%u.%u", entry->ipaddrDns.a, entry->ipaddrDns.b,
                  entry->ipaddrDns.c, entry->ipaddrDns.d, entry->ipaddrDnsAlt.a, entry->ipaddrDnsAlt.b,
                  entry->ipaddrDnsAlt.c, entry->ipaddrDnsAlt.d);
    Log("RasSetEntryPropertiesA phonebook=" + Text(phonebook) + " entry=" + Text(entryName) +
        " options=" + Number(entry->dwfOptions) + " phone=" + vantaro::ras::FieldText(entry->szLocalPhoneNumber) +
        " device=" + vantaro::ras::FieldText(entry->szDeviceType) + "/" +
        vantaro::ras::FieldText(entry->szDeviceName) + " dns=" + dns +
        " deviceinfo=" + (deviceInfo ? "yes" : "no") + "/" + Number(deviceInfoSize));
    const DWORD result = static_cast<DWORD>(ScriptNumber("Entry", "properties_result", 0));
    // The entry keeps its device as "type/name", which RasGetEntryPropertiesA gives back.
    const std::string device =
        vantaro::ras::FieldText(entry->szDeviceType) + "/" + vantaro::ras::FieldText(entry->szDeviceName);
    if (result == 0) WritePhonebook(entryName, device.c_str());
    return result;
}

__attribute__((dllexport)) DWORD WINAPI RasGetEntryPropertiesA(LPCSTR phonebook, LPCSTR entryName, RASENTRYA* entry,
                                                         LPDWORD entrySize, LPBYTE deviceInfo,
                                                         LPDWORD deviceInfoSize) {
    Log("RasGetEntryPropertiesA phonebook=" + Text(phonebook) + " entry=" + Text(entryName));
    if (!entry || !entrySize || entry->dwSize != sizeof(RASENTRYA) || *entrySize < sizeof(RASENTRYA))
        return kErrorInvalidSize;
    if (!InPhonebook(entryName)) return kErrorEntryNotFound;
    // An entry written by a test as "1" has no device.
    const std::string device = ScriptText("Phonebook", entryName, "");
    const std::size_t slash = device.find('/');
    std::memset(reinterpret_cast<char*>(entry) + sizeof entry->dwSize, 0, sizeof(RASENTRYA) - sizeof entry->dwSize);
    if (slash != std::string::npos) {
        std::strncpy(entry->szDeviceType, device.substr(0, slash).c_str(), sizeof entry->szDeviceType - 1);
        std::strncpy(entry->szDeviceName, device.substr(slash + 1).c_str(), sizeof entry->szDeviceName - 1);
    }
    if (deviceInfoSize) *deviceInfoSize = 0;
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasDeleteEntryA(LPCSTR phonebook, LPCSTR entryName) {
    Log("RasDeleteEntryA phonebook=" + Text(phonebook) + " entry=" + Text(entryName));
    const DWORD result = static_cast<DWORD>(ScriptNumber("Entry", "delete_result", 0));
    if (result != 0) return result;
    if (!InPhonebook(entryName)) return kErrorEntryNotFound;
    WritePhonebook(entryName, nullptr);
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasSetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMSA* dialParams,
                                                         BOOL removePassword) {
    if (!dialParams || dialParams->dwSize != sizeof(RASDIALPARAMSA)) return kErrorInvalidSize;
    Log("RasSetEntryDialParamsA phonebook=" + Text(phonebook) +
        " entry=" + vantaro::ras::FieldText(dialParams->szEntryName) +
        " user=" + vantaro::ras::FieldText(dialParams->szUserName) +
        " password=" + vantaro::ras::FieldText(dialParams->szPassword) + " remove_password=" + Number(removePassword));
    return static_cast<DWORD>(ScriptNumber("Entry", "dial_params_result", 0));
}

// The double's connection handles are small numbers, not pointers.
static DWORD HandleNumber(HANDLE connection) { return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(connection)); }

// The init string of the first modem driver key that describes our modem, where the program
// writes it (ConfigureModemRegistry), and the APN it carries: what a phone would dial with.
std::string ModemUserInit() {
    char path[256], value[1024];
    for (unsigned index = 0; index < vantaro::kMaxNumberedKeys; ++index) {
        std::snprintf(path, sizeof path, "%s\\%04u", vantaro::kModemClassKey, index);
        const auto read = [&](const char* name) {
            DWORD size = sizeof value;
            return ::RegGetValueA(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS;
        };
        if (!read("DriverDesc")) break;
        if (std::string(value) == vantaro::kModemDriverDesc) return read("UserInit") ? value : "";
    }
    return "";
}

std::string ApnOf(const std::string& init) {  // ...+cgdcont=1,"IP","<apn>"
    const std::size_t close = init.rfind('"');
    const std::size_t open = close == std::string::npos || close == 0 ? std::string::npos : init.rfind('"', close - 1);
    return open == std::string::npos ? std::string() : init.substr(open + 1, close - open - 1);
}

__attribute__((dllexport)) DWORD WINAPI RasDialA(LPVOID extensions, LPCSTR phonebook, RASDIALPARAMSA* dialParams,
                                           DWORD notifierType, LPVOID notifier, HANDLE* connection) {
    if (!dialParams || !connection) return kErrorInvalidParameter;
    if (dialParams->dwSize != sizeof(RASDIALPARAMSA)) return kErrorInvalidSize;
    Log("RasDialA phonebook=" + Text(phonebook) + " entry=" + vantaro::ras::FieldText(dialParams->szEntryName) +
        " phone=" + vantaro::ras::FieldText(dialParams->szPhoneNumber) +
        " user=" + vantaro::ras::FieldText(dialParams->szUserName) +
        " password=" + vantaro::ras::FieldText(dialParams->szPassword) +
        " domain=" + vantaro::ras::FieldText(dialParams->szDomain) + " notifier_type=" + Number(notifierType) +
        " handle_in=" + Number(HandleNumber(*connection)));
    if (extensions || notifierType != 0 || !notifier || *connection) return kErrorInvalidParameter;

    std::string outcome = ScriptText("Dial", "outcome", "connect");
    DWORD error = static_cast<DWORD>(ScriptNumber("Dial", "error", 678));
    // The network refuses one APN, as a phone reports a refused PDP context.
    const std::string refusedApn = ScriptText("Dial", "refuse_apn", "");
    if (!refusedApn.empty()) {
        const std::string init = ModemUserInit();
        Log("RasDialA init=" + init);
        if (ApnOf(init) == refusedApn) {
            outcome = "error";
            error = static_cast<DWORD>(ScriptNumber("Dial", "refuse_apn_error", 720));
        }
    }
    if (outcome == "refuse") {
        Log("RasDialA refused error=" + Number(error));
        return error;
    }
    ::EnterCriticalSection(&connectionLock);
    bool portHeld = false;
    for (const auto& [held, state] : connections) portHeld = portHeld || (state.keptDropped && !state.hungUp);
    if (portHeld) {
        ::LeaveCriticalSection(&connectionLock);
        Log("RasDialA refused error=" + Number(kErrorPortAlreadyOpen) + " (a dropped connection holds the port)");
        return kErrorPortAlreadyOpen;
    }
    const DWORD handle = nextHandle++;
    connections[handle] = Connection{};
    ::LeaveCriticalSection(&connectionLock);
    *connection = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
    Log("RasDialA started handle=" + Number(handle));

    PinThisLibrary();
    auto* run = new DialRun{handle, reinterpret_cast<RasDialFunc>(notifier), outcome,
                            static_cast<DWORD>(ScriptNumber("Dial", "delay_ms", 200)), error};
    HANDLE thread = ::CreateThread(nullptr, 0, &NotifierThread, run, 0, nullptr);
    if (thread) ::CloseHandle(thread);
    else delete run;
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasHangUpA(HANDLE connection) {
    const DWORD handle = HandleNumber(connection);
    const DWORD result = static_cast<DWORD>(ScriptNumber("HangUp", "result", 0));
    Log("RasHangUpA handle=" + Number(handle) + " result=" + Number(result));
    if (result != 0) return result;
    if (!Alive(handle)) return kErrorInvalidHandle;
    const long goneAfter = ScriptNumber("HangUp", "gone_after_ms", 0);
    ::EnterCriticalSection(&connectionLock);
    Connection& hungUp = connections[handle];
    hungUp.hungUp = true;
    hungUp.goneNever = goneAfter < 0;
    hungUp.goneAt = ::GetTickCount() + static_cast<DWORD>(goneAfter < 0 ? 0 : goneAfter);
    ::LeaveCriticalSection(&connectionLock);
    // The service tells of every end, the program's own hang-up included.
    EndConnection(handle, false);
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasGetConnectStatusA(HANDLE connection, RASCONNSTATUSA* status) {
    const DWORD handle = HandleNumber(connection);
    if (!status || status->dwSize != sizeof(RASCONNSTATUSA)) return kErrorInvalidSize;
    Connection state;
    const bool alive = Alive(handle, &state);
    Log("RasGetConnectStatusA handle=" + Number(handle) + " result=" + Number(alive ? 0 : kErrorInvalidHandle));
    if (!alive) return kErrorInvalidHandle;
    status->rasconnstate = state.state;
    status->dwError = state.error;
    std::strcpy(status->szDeviceType, "modem");
    std::strcpy(status->szDeviceName, "Vantaro Test Modem");
    return 0;
}

// Bytes grow at the script's rates from the moment of RASCS_Connected, counted in DWORDs that
// wrap after 4 GiB as the service's do; [Link] start_* set where they begin.
__attribute__((dllexport)) DWORD WINAPI RasGetConnectionStatistics(HANDLE connection, RAS_STATS* statistics) {
    const DWORD handle = HandleNumber(connection);
    if (!statistics || statistics->dwSize != sizeof(RAS_STATS)) return kErrorInvalidSize;
    Connection state;
    DWORD result = Alive(handle, &state) ? static_cast<DWORD>(ScriptNumber("Link", "statistics_result", 0))
                                         : kErrorInvalidHandle;
    Log("RasGetConnectionStatistics handle=" + Number(handle) + " result=" + Number(result));
    if (result != 0) return result;
    const DWORD size = statistics->dwSize;
    std::memset(statistics, 0, sizeof(RAS_STATS));
    statistics->dwSize = size;
    const std::uint64_t elapsed = state.state == kStateConnected ? ::GetTickCount() - state.connectedAt : 0;
    const auto grown = [&](const char* start, const char* rate, std::uint64_t defaultRate) {
        return static_cast<DWORD>(ScriptCount("Link", start, 0) + ScriptCount("Link", rate, defaultRate) * elapsed / 1000);
    };
    statistics->dwBytesRcved = grown("start_received", "receive_bps", 4000);
    statistics->dwBytesXmited = grown("start_sent", "send_bps", 1000);
    statistics->dwBps = 115200;
    statistics->dwConnectDuration = static_cast<DWORD>(elapsed);
    return 0;
}

__attribute__((dllexport)) DWORD WINAPI RasConnectionNotificationA(HANDLE connection, HANDLE event, DWORD flags) {
    const DWORD handle = HandleNumber(connection);
    DWORD result = static_cast<DWORD>(ScriptNumber("Link", "notification_result", 0));
    HANDLE copy = nullptr;
    if (result == 0 && !::DuplicateHandle(::GetCurrentProcess(), event, ::GetCurrentProcess(), &copy, 0, FALSE,
                                          DUPLICATE_SAME_ACCESS))
        result = kErrorInvalidParameter;
    if (result == 0) {
        ::EnterCriticalSection(&connectionLock);
        auto found = connections.find(handle);
        if (found != connections.end()) found->second.endEvents.push_back(copy);
        else result = kErrorInvalidHandle;
        ::LeaveCriticalSection(&connectionLock);
        if (result != 0) ::CloseHandle(copy);
    }
    Log("RasConnectionNotificationA handle=" + Number(handle) + " flags=" + Number(flags) + " result=" + Number(result));
    return result;
}

__attribute__((dllexport)) DWORD WINAPI RasGetErrorStringA(UINT error, LPSTR buffer, DWORD bufferSize) {
    Log("RasGetErrorStringA error=" + Number(error) + " size=" + Number(bufferSize));
    if (!buffer || bufferSize == 0) return kErrorInvalidParameter;
    const std::string text = ScriptText("Errors", Number(error).c_str(), "");
    if (text.empty()) return kErrorInvalidParameter;
    if (text.size() >= bufferSize) return kErrorBufferTooSmall;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
}

} // extern "C"
