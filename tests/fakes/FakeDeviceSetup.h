#pragma once
// Device installation in memory. Every call is logged in order, with its arguments, into one
// list together with the driver keys' opens, writes and closes and the set's destruction; each
// step can be made to fail with the error code the platform would give.

#include "modem/DeviceSetup.h"
#include "platform/PlatformCodes.h"
#include "fakes/FakeRegistry.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeDeviceSetup final : public DeviceSetup {
public:
    FakeDeviceSetup() : driverKeys(calls) {
        infClass.name = "Modem";
        infClass.guid = {0x6D, 0xE9, 0x36, 0x4D, 0x25, 0xE3, 0xCE, 0x11, 0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18};
    }

    // Makes `step` (named as in the log) fail with `error`; for RegisterDeviceInfo, `time` says
    // which call fails (1, 2, ...).
    void Fail(const std::string& step, std::uint32_t error = 0, int time = 0) {
        failures_[step + (time ? "#" + std::to_string(time) : std::string())] = error;
    }
    // The device element's driver key exists before the installer looks (left by someone else).
    void DriverKeyExists(std::size_t device = 0) { driverKeys.CreateKey(DriverKeyPath(device)); }

    static std::string DriverKeyPath(std::size_t device) { return "driver key " + std::to_string(device); }

    bool GetInfClass(const std::string& infPath, DeviceClass& deviceClass) override {
        calls.push_back("GetInfClass " + infPath);
        if (Failing("GetInfClass")) return false;
        deviceClass = infClass;
        return true;
    }
    std::unique_ptr<DeviceInfoSet> CreateDeviceInfoList(const DeviceClass& deviceClass) override {
        calls.push_back("CreateDeviceInfoList " + deviceClass.name + GuidMark(deviceClass));
        if (Failing("CreateDeviceInfoList")) return nullptr;
        ++liveSets;
        return std::make_unique<Set>(*this);
    }
    bool UpdateDriverForPlugAndPlayDevices(const std::string& hardwareId, const std::string& infPath) override {
        calls.push_back("UpdateDriverForPlugAndPlayDevices " + hardwareId + " " + infPath);
        return !Failing("UpdateDriverForPlugAndPlayDevices");
    }
    std::uint32_t LastError() const override { return lastError_; }

    DeviceClass infClass;
    std::vector<std::string> calls;
    FakeRegistry driverKeys;
    std::vector<std::string> hardwareIdBytes;  // as handed over, per SetHardwareId call
    int liveSets = 0;

private:
    class Set final : public DeviceInfoSet {
    public:
        explicit Set(FakeDeviceSetup& setup) : setup_(setup) {}
        ~Set() override {
            setup_.calls.push_back("DestroyDeviceInfoList");
            --setup_.liveSets;
        }
        std::optional<DeviceElement> CreateDeviceInfo(const DeviceClass& deviceClass) override {
            setup_.calls.push_back("CreateDeviceInfo " + deviceClass.name + setup_.GuidMark(deviceClass));
            if (Failing("CreateDeviceInfo")) return std::nullopt;
            return DeviceElement{created_++};
        }
        bool SetHardwareId(DeviceElement device, const std::string& multiString) override {
            setup_.calls.push_back("SetHardwareId " + std::to_string(device.index));
            setup_.hardwareIdBytes.push_back(multiString);
            return !Failing("SetHardwareId");
        }
        bool RegisterDeviceInfo(DeviceElement device) override {
            setup_.calls.push_back("RegisterDeviceInfo " + std::to_string(device.index));
            return !Failing("RegisterDeviceInfo#" + std::to_string(++registrations_));
        }
        std::unique_ptr<RegistryKey> OpenDriverKey(DeviceElement device) override {
            setup_.calls.push_back("OpenDriverKey " + std::to_string(device.index));
            const std::string path = DriverKeyPath(device.index);
            if (Failing("OpenDriverKey")) return nullptr;
            if (!setup_.driverKeys.HasKey(path)) {
                lastError_ = platform_code::kErrorKeyDoesNotExist;
                return nullptr;
            }
            return setup_.driverKeys.Adopt(path);
        }
        std::unique_ptr<RegistryKey> CreateDriverKey(DeviceElement device) override {
            setup_.calls.push_back("CreateDriverKey " + std::to_string(device.index));
            if (Failing("CreateDriverKey")) return nullptr;
            return setup_.driverKeys.Adopt(DriverKeyPath(device.index));
        }
        void RemoveDevice(DeviceElement device) override {
            setup_.calls.push_back("RemoveDevice " + std::to_string(device.index));
        }
        std::string InstanceId(DeviceElement device) override {
            return "ROOT\\MODEM\\" + std::to_string(1000 + device.index).substr(1);
        }
        std::uint32_t LastError() const override { return lastError_; }

    private:
        bool Failing(const std::string& step) { return setup_.FailingInto(step, lastError_); }

        FakeDeviceSetup& setup_;
        std::size_t created_ = 0;
        int registrations_ = 0;
        std::uint32_t lastError_ = 0;
    };

    bool Failing(const std::string& step) { return FailingInto(step, lastError_); }
    bool FailingInto(const std::string& step, std::uint32_t& lastError) {
        auto failure = failures_.find(step);
        if (failure == failures_.end()) return false;
        lastError = failure->second;
        return true;
    }
    // Marks a class whose GUID is not the INF's, so a wrong one shows in the log.
    std::string GuidMark(const DeviceClass& deviceClass) const {
        return deviceClass.guid == infClass.guid ? std::string() : " (another GUID)";
    }

    std::map<std::string, std::uint32_t> failures_;
    std::uint32_t lastError_ = 0;
};

} // namespace vantaro::testing
