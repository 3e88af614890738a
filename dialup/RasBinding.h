#pragma once
// Every remote-access entry point the program calls, reached through one library: those that list
// devices and write and delete phone-book entries, those that dial and hang up, and those that
// watch a connection (its statistics, its end, its status). The library is loaded for the length
// of one operation; a watch holds it for the length of the connection, a dial session for its
// own, so that the service's notifier of a dial is never unloaded under it. Each entry point is
// looked up by name at every call; when the library or the export is missing the call gives 1,
// which every caller reads as a failure (the service's own results are 0 for success, else an
// error code).

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

    // RasDialA with no dial extensions, the default phone book and DialNotify as the notifier
    // (type 0). 0 when the dial has started. The service may write a connection even when it
    // refuses the dial; whatever it wrote is in *connection.
    std::uint32_t Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection);
    // 0 when the hang-up has been accepted; the connection goes some time later.
    std::uint32_t HangUp(ras::ConnectionHandle connection);
    // The text of an error code into the buffer; 0 when there is one.
    std::uint32_t GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize);

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
