#pragma once
// rasapi32.dll in memory, every entry point the program calls handed out by export name as the
// real library hands them out. The library can be missing, or lack single exports. Devices,
// results, what the next dial does (its result, the connection it hands out, the notifications
// it sends), how hang-ups are answered and how long a hung-up connection takes to go are set by
// the test; every call and every record the program passes are kept for it to look at.
//
// The entry points are plain functions, so they reach the fake of the running test through a
// pointer that the fake sets while it lives; one fake at a time. They hand the dial's calls to
// virtual members, which a test that needs a service of another kind (one that reports from a
// thread of its own) overrides.

#include "dialup/RasLibrary.h"
#include "dialup/RasRecords.h"

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeRasLibrary : public RasLibrary {
public:
    static constexpr std::uint32_t kBufferTooSmall = 603;
    static constexpr std::uint32_t kInvalidSize = 632;

    struct Device {
        std::string type;
        std::string name;
    };
    struct EnumCall {
        bool withBuffer;
        std::uint32_t bufferSize;
        std::uint32_t firstRecordSize;
    };
    struct PropertiesCall {
        bool defaultPhonebook;
        std::string entryName;
        ras::RASENTRYA entry;
        std::uint32_t entrySize;
        bool noDeviceInfo;
        std::uint32_t deviceInfoSize;
    };
    struct DialParamsCall {
        bool defaultPhonebook;
        ras::RASDIALPARAMSA dialParams;
        std::int32_t removePassword;
    };
    struct Notification {
        std::uint32_t state;
        std::uint32_t error;
    };
    // The platform's RasDialFunc, notifier type 0.
    using Notifier = void(VANTARO_RASAPI*)(std::uint32_t message, std::uint32_t state, std::uint32_t error);

    FakeRasLibrary() { Current() = this; }
    ~FakeRasLibrary() override { Current() = nullptr; }

    void* Load() final {
        ++loads;
        return loadFails ? nullptr : this;
    }
    void* FindEntryPoint(void* module, const char* exportName) final {
        if (module != this || missingExports.count(exportName)) return nullptr;
        const std::string name = exportName;
        if (name == "RasEnumDevicesA") return reinterpret_cast<void*>(&EnumDevicesEntry);
        if (name == "RasValidateEntryNameA") return reinterpret_cast<void*>(&ValidateEntryNameEntry);
        if (name == "RasSetEntryPropertiesA") return reinterpret_cast<void*>(&SetEntryPropertiesEntry);
        if (name == "RasSetEntryDialParamsA") return reinterpret_cast<void*>(&SetEntryDialParamsEntry);
        if (name == "RasDeleteEntryA") return reinterpret_cast<void*>(&DeleteEntryEntry);
        if (name == "RasGetConnectionStatistics") return reinterpret_cast<void*>(&GetConnectionStatisticsEntry);
        if (name == "RasConnectionNotificationA") return reinterpret_cast<void*>(&ConnectionNotificationEntry);
        if (name == "RasGetConnectStatusA") return reinterpret_cast<void*>(&GetConnectStatusEntry);
        if (name == "RasDialA") return reinterpret_cast<void*>(&DialEntry);
        if (name == "RasHangUpA") return reinterpret_cast<void*>(&HangUpEntry);
        if (name == "RasGetErrorStringA") return reinterpret_cast<void*>(&GetErrorStringEntry);
        return nullptr;
    }
    void Free(void* module) final {
        if (module == this) ++frees;
    }

    // A dial as the service takes it: records it, hands out nextConnection, runs duringDial, then
    // sends the notifications (the service reports from a thread of its own; the events are
    // already in place).
    virtual std::uint32_t Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection,
                               Notifier notifier) {
        calls.push_back("RasDialA");
        dialed.push_back(dialParams);
        connectionsGivenTo.push_back(*connection);
        *connection = nextConnection;
        if (nextConnection != 0) handedOut.push_back(nextConnection);
        if (duringDial) duringDial();
        if (notifier)
            for (const Notification& notification : notifications) notifier(0, notification.state, notification.error);
        return dialResult;
    }
    virtual std::uint32_t HangUp(ras::ConnectionHandle connection) {
        calls.push_back("RasHangUpA " + std::to_string(connection));
        if (onHangUp) onHangUp();
        if (hangUpResult == 0) queriesSinceHangUp_ = 0, hungUp_ = true;
        return hangUpResult;
    }
    // Before any accepted hang-up the connection is there, in connectionState; after one it is
    // gone once queriesUntilGone queries have found it still there.
    virtual std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) {
        calls.push_back("RasGetConnectStatusA " + std::to_string(connection));
        recordSizes.push_back(status->dwSize);
        if (hungUp_ && queriesUntilGone >= 0 && queriesSinceHangUp_++ >= queriesUntilGone)
            return ras::kErrorInvalidHandle;
        status->rasconnstate = connectionState;
        return statusResult;
    }
    virtual std::uint32_t GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) {
        errorStringBufferSizes.push_back(bufferSize);
        auto found = errorTexts.find(error);
        if (found == errorTexts.end()) return 1;
        std::strncpy(buffer, found->second.c_str(), bufferSize);
        return 0;
    }

    int Count(const std::string& call) const {
        int count = 0;
        for (const std::string& made : calls) count += made == call;
        return count;
    }

    // The service's behaviour.
    bool loadFails = false;
    std::set<std::string> missingExports;
    std::vector<Device> devices;
    std::uint32_t enumResult = 0;            // of an enumeration into a large enough buffer
    std::function<void()> afterSizeQuery;    // e.g. a device arriving between the two calls
    std::uint32_t extraCount = 0;            // a filled buffer reported with more records than it holds
    std::uint32_t validateResult = 0;
    std::uint32_t setPropertiesResult = 0;
    std::uint32_t setDialParamsResult = 0;
    std::uint32_t deleteResult = 0;
    ras::RAS_STATS statistics{};             // what a statistics call fills in (after dwSize)
    std::uint32_t statisticsResult = 0;
    std::uint32_t notificationResult = 0;
    std::uint32_t statusResult = 0;
    std::uint32_t connectionState = ras::kStateConnected;
    // The next dial.
    std::uint32_t dialResult = 0;
    ras::ConnectionHandle nextConnection = 81;
    std::vector<Notification> notifications;
    std::function<void()> duringDial;
    // Hang-ups, and the queries after an accepted one that still find the connection (-1: always).
    std::uint32_t hangUpResult = 0;
    int queriesUntilGone = 0;
    std::function<void()> onHangUp;
    std::map<std::uint32_t, std::string> errorTexts;

    // What the program did.
    int loads = 0;
    int frees = 0;
    std::vector<std::string> calls;
    std::vector<EnumCall> enumCalls;
    std::vector<std::string> validatedNames;
    std::vector<PropertiesCall> propertiesCalls;
    std::vector<DialParamsCall> dialParamsCalls;
    std::vector<std::string> deletedNames;
    std::vector<std::uint32_t> recordSizes;  // dwSize of every statistics and status record passed
    std::vector<ras::RASDIALPARAMSA> dialed;
    std::vector<ras::ConnectionHandle> connectionsGivenTo;
    std::vector<ras::ConnectionHandle> handedOut;  // every connection a dial gave out
    std::vector<std::uint32_t> errorStringBufferSizes;

private:
    static FakeRasLibrary*& Current() {
        static FakeRasLibrary* current = nullptr;
        return current;
    }

    static std::uint32_t VANTARO_RASAPI EnumDevicesEntry(ras::RASDEVINFOA* buffer, std::uint32_t* size,
                                                         std::uint32_t* count) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasEnumDevicesA");
        self.enumCalls.push_back({buffer != nullptr, *size, buffer ? buffer->dwSize : 0});
        const std::uint32_t needed = static_cast<std::uint32_t>(self.devices.size() * sizeof(ras::RASDEVINFOA));
        *count = static_cast<std::uint32_t>(self.devices.size());
        if (!buffer || *size < needed) {
            *size = needed;
            if (!buffer && self.afterSizeQuery) self.afterSizeQuery();
            return kBufferTooSmall;
        }
        if (buffer->dwSize != sizeof(ras::RASDEVINFOA)) return kInvalidSize;
        for (std::size_t i = 0; i < self.devices.size(); ++i) {
            std::strncpy(buffer[i].szDeviceType, self.devices[i].type.c_str(), sizeof buffer[i].szDeviceType);
            std::strncpy(buffer[i].szDeviceName, self.devices[i].name.c_str(), sizeof buffer[i].szDeviceName);
        }
        *count += self.extraCount;
        return self.enumResult;
    }
    static std::uint32_t VANTARO_RASAPI ValidateEntryNameEntry(const char* phonebook, const char* entryName) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasValidateEntryNameA");
        self.validatedNames.push_back(std::string(phonebook ? "<phonebook>" : "") + entryName);
        return self.validateResult;
    }
    static std::uint32_t VANTARO_RASAPI SetEntryPropertiesEntry(const char* phonebook, const char* entryName,
                                                                ras::RASENTRYA* entry, std::uint32_t entrySize,
                                                                std::uint8_t* deviceInfo,
                                                                std::uint32_t deviceInfoSize) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasSetEntryPropertiesA");
        self.propertiesCalls.push_back(
            {phonebook == nullptr, entryName, *entry, entrySize, deviceInfo == nullptr, deviceInfoSize});
        return self.setPropertiesResult;
    }
    static std::uint32_t VANTARO_RASAPI SetEntryDialParamsEntry(const char* phonebook, ras::RASDIALPARAMSA* dialParams,
                                                                std::int32_t removePassword) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasSetEntryDialParamsA");
        self.dialParamsCalls.push_back({phonebook == nullptr, *dialParams, removePassword});
        return self.setDialParamsResult;
    }
    static std::uint32_t VANTARO_RASAPI DeleteEntryEntry(const char* phonebook, const char* entryName) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasDeleteEntryA");
        self.deletedNames.push_back(std::string(phonebook ? "<phonebook>" : "") + entryName);
        return self.deleteResult;
    }
    static std::uint32_t VANTARO_RASAPI GetConnectionStatisticsEntry(void*, ras::RAS_STATS* statistics) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasGetConnectionStatistics");
        self.recordSizes.push_back(statistics->dwSize);
        if (self.statisticsResult != 0) return self.statisticsResult;
        const std::uint32_t size = statistics->dwSize;
        *statistics = self.statistics;
        statistics->dwSize = size;
        return 0;
    }
    static std::uint32_t VANTARO_RASAPI ConnectionNotificationEntry(void*, void*, std::uint32_t flags) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasConnectionNotificationA " + std::to_string(flags));
        return self.notificationResult;
    }
    static std::uint32_t VANTARO_RASAPI GetConnectStatusEntry(void* connection, ras::RASCONNSTATUSA* status) {
        return Current()->GetConnectStatus(reinterpret_cast<ras::ConnectionHandle>(connection), status);
    }
    static std::uint32_t VANTARO_RASAPI DialEntry(void* extensions, const char* phonebook,
                                                  ras::RASDIALPARAMSA* dialParams, std::uint32_t notifierType,
                                                  void* notifier, void** connection) {
        FakeRasLibrary& self = *Current();
        // Only the default phone book, no extensions and a RasDialFunc are ever asked for.
        if (extensions || phonebook || notifierType != 0) self.calls.push_back("RasDialA with other arguments");
        ras::ConnectionHandle handle = reinterpret_cast<ras::ConnectionHandle>(*connection);
        const std::uint32_t result = self.Dial(*dialParams, &handle, reinterpret_cast<Notifier>(notifier));
        *connection = reinterpret_cast<void*>(handle);
        return result;
    }
    static std::uint32_t VANTARO_RASAPI HangUpEntry(void* connection) {
        return Current()->HangUp(reinterpret_cast<ras::ConnectionHandle>(connection));
    }
    static std::uint32_t VANTARO_RASAPI GetErrorStringEntry(std::uint32_t error, char* buffer, std::uint32_t size) {
        return Current()->GetErrorString(error, buffer, size);
    }

    int queriesSinceHangUp_ = 0;
    bool hungUp_ = false;
};

} // namespace vantaro::testing
