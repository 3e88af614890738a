#include "dialup/RasBinding.h"

#include "dialup/DialNotify.h"

namespace vantaro {

namespace {

// The platform's signatures; DWORD and BOOL are 32-bit on every Windows the program runs on.
using EnumDevicesFunction = std::uint32_t(VANTARO_RASAPI*)(ras::RASDEVINFOA*, std::uint32_t*, std::uint32_t*);
using ValidateEntryNameFunction = std::uint32_t(VANTARO_RASAPI*)(const char*, const char*);
using SetEntryPropertiesFunction = std::uint32_t(VANTARO_RASAPI*)(const char*, const char*, ras::RASENTRYA*,
                                                                  std::uint32_t, std::uint8_t*, std::uint32_t);
using SetEntryDialParamsFunction = std::uint32_t(VANTARO_RASAPI*)(const char*, ras::RASDIALPARAMSA*, std::int32_t);
using DeleteEntryFunction = std::uint32_t(VANTARO_RASAPI*)(const char*, const char*);
using GetEntryPropertiesFunction = std::uint32_t(VANTARO_RASAPI*)(const char*, const char*, ras::RASENTRYA*,
                                                                  std::uint32_t*, std::uint8_t*, std::uint32_t*);
using GetConnectionStatisticsFunction = std::uint32_t(VANTARO_RASAPI*)(void*, ras::RAS_STATS*);
using ConnectionNotificationFunction = std::uint32_t(VANTARO_RASAPI*)(void*, void*, std::uint32_t);
using GetConnectStatusFunction = std::uint32_t(VANTARO_RASAPI*)(void*, ras::RASCONNSTATUSA*);
using DialFunction = std::uint32_t(VANTARO_RASAPI*)(void*, const char*, ras::RASDIALPARAMSA*, std::uint32_t, void*,
                                                    void**);
using HangUpFunction = std::uint32_t(VANTARO_RASAPI*)(void*);
using GetErrorStringFunction = std::uint32_t(VANTARO_RASAPI*)(std::uint32_t, char*, std::uint32_t);

constexpr std::uint32_t kNotifierTypeRasDialFunc = 0;

// The platform's RasDialFunc form; it hands the notification to the process-wide notifier.
void VANTARO_RASAPI DialNotifyEntry(std::uint32_t message, std::uint32_t rasconnstate, std::uint32_t error) {
    DialNotify(message, rasconnstate, error);
}

void* ToHandle(ras::ConnectionHandle connection) { return reinterpret_cast<void*>(connection); }

} // namespace

RasBinding::RasBinding(RasLibrary& library) : library_(library) { Load(); }

RasBinding::~RasBinding() { Release(); }

void RasBinding::Load() {
    if (!module_) module_ = library_.Load();
}

void RasBinding::Release() {
    if (module_) library_.Free(module_);
    module_ = nullptr;
}

template <typename Function>
Function RasBinding::Find(const char* exportName) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(library_.FindEntryPoint(module_, exportName));
}

std::uint32_t RasBinding::EnumDevices(ras::RASDEVINFOA* devices, std::uint32_t* bufferSize,
                                      std::uint32_t* deviceCount) {
    auto function = Find<EnumDevicesFunction>("RasEnumDevicesA");
    return function ? function(devices, bufferSize, deviceCount) : kFallback;
}

std::uint32_t RasBinding::ValidateEntryName(const char* phonebook, const char* entryName) {
    auto function = Find<ValidateEntryNameFunction>("RasValidateEntryNameA");
    return function ? function(phonebook, entryName) : kFallback;
}

std::uint32_t RasBinding::SetEntryProperties(const char* phonebook, const char* entryName, ras::RASENTRYA* entry,
                                             std::uint32_t entrySize, std::uint8_t* deviceInfo,
                                             std::uint32_t deviceInfoSize) {
    auto function = Find<SetEntryPropertiesFunction>("RasSetEntryPropertiesA");
    return function ? function(phonebook, entryName, entry, entrySize, deviceInfo, deviceInfoSize) : kFallback;
}

std::uint32_t RasBinding::SetEntryDialParams(const char* phonebook, ras::RASDIALPARAMSA* dialParams,
                                             bool removePassword) {
    auto function = Find<SetEntryDialParamsFunction>("RasSetEntryDialParamsA");
    return function ? function(phonebook, dialParams, removePassword ? 1 : 0) : kFallback;
}

std::uint32_t RasBinding::DeleteEntry(const char* phonebook, const char* entryName) {
    auto function = Find<DeleteEntryFunction>("RasDeleteEntryA");
    return function ? function(phonebook, entryName) : kFallback;
}

std::uint32_t RasBinding::GetEntryProperties(const char* phonebook, const char* entryName, ras::RASENTRYA* entry,
                                             std::uint32_t* entrySize) {
    auto function = Find<GetEntryPropertiesFunction>("RasGetEntryPropertiesA");
    return function ? function(phonebook, entryName, entry, entrySize, nullptr, nullptr) : kFallback;
}

std::uint32_t RasBinding::GetConnectionStatistics(ras::ConnectionHandle connection, ras::RAS_STATS* statistics) {
    auto function = Find<GetConnectionStatisticsFunction>("RasGetConnectionStatistics");
    if (!function) return kFallback;
    statistics->dwSize = ras::kStatsSize;
    return function(ToHandle(connection), statistics);
}

std::uint32_t RasBinding::ConnectionNotification(ras::ConnectionHandle connection, void* event, std::uint32_t flags) {
    auto function = Find<ConnectionNotificationFunction>("RasConnectionNotificationA");
    return function ? function(ToHandle(connection), event, flags) : kFallback;
}

std::uint32_t RasBinding::GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) {
    auto function = Find<GetConnectStatusFunction>("RasGetConnectStatusA");
    if (!function) return kFallback;
    status->dwSize = ras::kConnStatusSize;
    return function(ToHandle(connection), status);
}

std::uint32_t RasBinding::Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection) {
    auto function = Find<DialFunction>("RasDialA");
    if (!function) return kFallback;
    // The service wants an empty handle to start a new connection.
    void* handle = nullptr;
    const std::uint32_t result = function(nullptr, nullptr, &dialParams, kNotifierTypeRasDialFunc,
                                          reinterpret_cast<void*>(&DialNotifyEntry), &handle);
    *connection = reinterpret_cast<ras::ConnectionHandle>(handle);
    return result;
}

std::uint32_t RasBinding::HangUp(ras::ConnectionHandle connection) {
    auto function = Find<HangUpFunction>("RasHangUpA");
    return function ? function(ToHandle(connection)) : kFallback;
}

std::uint32_t RasBinding::GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) {
    auto function = Find<GetErrorStringFunction>("RasGetErrorStringA");
    return function ? function(error, buffer, bufferSize) : kFallback;
}

} // namespace vantaro
