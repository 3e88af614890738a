#pragma once
// RasDialA, RasHangUpA, RasGetConnectStatusA and RasGetErrorStringA, delay-loaded from the
// system folder at the first call. The records are passed in their first published forms.

#include "dialup/RasDialService.h"

namespace vantaro {

class Win32RasDialService final : public RasDialService {
public:
    std::uint32_t Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection) override;
    std::uint32_t HangUp(ras::ConnectionHandle connection) override;
    std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) override;
    std::uint32_t GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) override;
};

} // namespace vantaro
