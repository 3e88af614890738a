#pragma once
// The dial half of the remote-access service in memory: what the next dial does (its result,
// the connection it hands out, the notifications it sends), how hang-ups are answered and how
// long a connection takes to go. Every call is recorded.

#include "dialup/DialNotify.h"
#include "dialup/RasDialService.h"

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeRasDialService final : public RasDialService {
public:
    struct Notification {
        std::uint32_t state;
        std::uint32_t error;
    };

    std::uint32_t Dial(ras::RASDIALPARAMSA& dialParams, ras::ConnectionHandle* connection) override {
        calls.push_back("Dial");
        dialed.push_back(dialParams);
        connectionsGivenTo.push_back(*connection);
        *connection = nextConnection;
        if (nextConnection != 0) handedOut.push_back(nextConnection);
        if (duringDial) duringDial();
        // The service reports from a thread of its own; the events are already in place.
        for (const Notification& notification : notifications)
            DialNotify(0, notification.state, notification.error);
        return dialResult;
    }
    std::uint32_t HangUp(ras::ConnectionHandle connection) override {
        calls.push_back("HangUp " + std::to_string(connection));
        if (onHangUp) onHangUp();
        if (hangUpResult == 0) queriesSinceHangUp = 0;
        return hangUpResult;
    }
    std::uint32_t GetConnectStatus(ras::ConnectionHandle connection, ras::RASCONNSTATUSA* status) override {
        calls.push_back("GetConnectStatus " + std::to_string(connection));
        statusSizes.push_back(status->dwSize);
        if (queriesUntilGone >= 0 && queriesSinceHangUp++ >= queriesUntilGone) return ras::kErrorInvalidHandle;
        status->rasconnstate = ras::kStateConnected;
        return 0;
    }
    std::uint32_t GetErrorString(std::uint32_t error, char* buffer, std::uint32_t bufferSize) override {
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

    std::vector<std::string> calls;
    std::vector<ras::RASDIALPARAMSA> dialed;
    std::vector<ras::ConnectionHandle> connectionsGivenTo;
    std::vector<ras::ConnectionHandle> handedOut;  // every connection a dial gave out
    std::vector<std::uint32_t> statusSizes;
    std::vector<std::uint32_t> errorStringBufferSizes;

private:
    int queriesSinceHangUp = 0;
};

} // namespace vantaro::testing
