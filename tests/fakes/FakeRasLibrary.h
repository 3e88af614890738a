#pragma once
// rasapi32.dll's phone-book entry points in memory, handed out by export name as the real
// library hands them out. The library can be missing, or lack single exports. Devices, results
// and every record the program passes are kept for the test to look at.
//
// The entry points are plain functions, so they reach the fake of the running test through a
// pointer that the fake sets while it lives; one fake at a time.

#include "dialup/RasLibrary.h"
#include "dialup/RasRecords.h"

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeRasLibrary final : public RasLibrary {
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

    FakeRasLibrary() { Current() = this; }
    ~FakeRasLibrary() override { Current() = nullptr; }

    void* Load() override {
        ++loads;
        return loadFails ? nullptr : this;
    }
    void* FindEntryPoint(void* module, const char* exportName) override {
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
        return nullptr;
    }
    void Free(void* module) override {
        if (module == this) ++frees;
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
    static std::uint32_t VANTARO_RASAPI GetConnectStatusEntry(void*, ras::RASCONNSTATUSA* status) {
        FakeRasLibrary& self = *Current();
        self.calls.push_back("RasGetConnectStatusA");
        self.recordSizes.push_back(status->dwSize);
        status->rasconnstate = self.connectionState;
        return self.statusResult;
    }
};

} // namespace vantaro::testing
