#pragma once
// The four remote-access calls of dialling and hanging up, which the program links when it loads.

#include "dialup/RasRecords.h"

#include <cstdint>

namespace vantaro {

class RasDialService {
public:
    RasDialService() = default;
    RasDialService(const RasDialService&) = delete;
    RasDialService& operator=(const RasDialService&) = delete;
    virtual ~RasDialService() = default;

    // RasDialA with no dial extensions, the default phone book and DialNotify as the notifier
    // (type 0). 0 when the dial has started. The service may write a connection even when it
    // refuses the dial; whatever it wrote is in *connection.
    virtual std::uint32_t Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection) = 0;
    // 0 when the hang-up has been accepted; the connection goes some time later.
    virtual std::uint32_t HangUp(ras::ConnectionHandle connection) = 0;
    // ras::kErrorInvalidHandle once the connection is gone.
    virtual std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) = 0;
    // The text of an error code into the buffer; 0 when there is one.
    virtual std::uint32_t GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) = 0;
};

} // namespace vantaro
