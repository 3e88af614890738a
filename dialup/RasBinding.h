#pragma once
// The remote-access entry points that list devices and write and delete phone-book entries, and
// those that watch a connection (its statistics, its end, its status), reached through a library
// loaded for the length of one operation (a watch holds it for the length of the connection).
// Each entry point is looked up by name at every call; when the library or the export is missing
// the call gives 1, which every caller reads as a failure (the service's own results are 0 for
// success, else an error code).

#include "dialup/RasLibrary.h"
#include "dialup/RasRecords.h"

#include <cstdint>

namespace vantaro {

class RasBinding {
public:
    // Loads the library at once.
    explicit RasBinding(RasLibrary& library);
    RasBinding(const RasBinding&) = delete;
    RasBinding& operator=(const RasBinding&) = delete;
    // Releases the library on every way out.
    ~RasBinding();

    // Loaded() says whether the library came. A second call keeps the first module.
    void Load();
    bool Loaded() const { return module_ != nullptr; }

    std::uint32_t EnumDevices(ras::RASDEVINFOA* devices, std::uint32_t* bufferSize, std::uint32_t* deviceCount);
    std::uint32_t ValidateEntryName(const char* phonebook, const char* entryName);
    std::uint32_t SetEntryProperties(const char* phonebook, const char* entryName, ras::RASENTRYA* entry,
                                     std::uint32_t entrySize, std::uint8_t* deviceInfo, std::uint32_t deviceInfoSize);
    std::uint32_t SetEntryDialParams(const char* phonebook, ras::RASDIALPARAMSA* dialParams, bool removePassword);
    std::uint32_t DeleteEntry(const char* phonebook, const char* entryName);
    std::uint32_t GetEntryProperties(const char* phonebook, const char* entryName, ras::RASENTRYA* entry,
                                     std::uint32_t* entrySize);

    // What the connection has carried, into a first published RAS_STATS (dwSize set here).
    std::uint32_t GetConnectionStatistics(ras::ConnectionHandle connection, ras::RAS_STATS* statistics);
    // Asks the service to signal `event` (the platform's event handle) when the connection ends.
    std::uint32_t ConnectionNotification(ras::ConnectionHandle connection, void* event, std::uint32_t flags);
    // ras::kErrorInvalidHandle once the connection is gone (dwSize set here).
    std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status);

    // Frees the library once, however often it is called.
    void Release();

    static constexpr std::uint32_t kFallback = 1;

private:
    template <typename Function>
    Function Find(const char* exportName) const;

    RasLibrary& library_;
    void* module_ = nullptr;
};

} // namespace vantaro
