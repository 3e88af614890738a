#include "dialup/DialSession.h"

#include "dialup/DialNotify.h"
#include "settings/InterfaceText.h"

#include <cstdio>
#include <utility>

namespace vantaro {

namespace {

std::string OrEmpty(const char* text) { return text ? std::string(text) : std::string(); }

} // namespace

DialSession::DialSession(SettingsForm& form, RasDialService& ras, DialEvents& events, Clock& clock)
    : form_(form), ras_(ras), events_(events), clock_(clock), dialogEndedEvent_(events.Create(true)) {}

void DialSession::ClearDialState() {
    SetDialEvents({});
    std::lock_guard<std::mutex> lock(mutex_);
    rasConnection_ = 0;
}

void DialSession::ConnectClicked(const StartWorker& startWorker) {
    form_.SetStatusText(form_.LookUpMessage(message::kConnecting));
    form_.EnableActionButtons(false);

    SetDialEvents({});
    ras::ConnectionHandle leftover = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        leftover = std::exchange(rasConnection_, 0);
    }
    // A failed or timed-out dial leaves its connection behind; dropping it would leave a
    // connection that nothing can end any more. The hang-up returns at once; the dial thread
    // waits for the connection to go before it dials again.
    ras::ConnectionHandle hungUp = 0;
    if (leftover != 0 && ras_.HangUp(leftover) == 0) hungUp = leftover;

    startWorker([this, hungUp] { DialThread(hungUp); });
}

int DialSession::DialThread(ras::ConnectionHandle hungUpLeftover) {
    if (hungUpLeftover != 0) {
        ras::RASCONNSTATUSA status{};
        WaitUntilGone(hungUpLeftover, status, true);
    }
    const std::string phoneNumber = form_.PhoneNumber();
    const std::string userName = form_.UserName();
    const std::string password = form_.Password();
    DialAndWait(nullptr, phoneNumber.c_str(), userName.c_str(), password.c_str(), "");
    return 1;
}

int DialSession::DialAndWait(const char* entryName, const char* phoneNumber, const char* userName,
                             const char* password, const char* domain) {
    std::shared_ptr<DialEvent> done = events_.Create(false);
    if (!done) return 0;
    std::shared_ptr<DialEvent> error = events_.Create(false);
    if (!error) return 0;
    SetDialEvents({done, error});

    const std::string values[] = {OrEmpty(entryName), OrEmpty(phoneNumber), OrEmpty(userName), OrEmpty(password),
                                  OrEmpty(domain)};
    const std::string overlong = ras::DescribeOverlongValue({
        {"the entry name", values[0], ras::kMaxEntryName},
        {"the phone number", values[1], ras::kMaxPhoneNumber},
        {"the user name", values[2], ras::kMaxUserName},
        {"the password", values[3], ras::kMaxPassword},
        {"the domain", values[4], ras::kMaxDomain},
    });
    if (!overlong.empty()) {
        form_.SetStatusText(kDialRefusedPrefix + overlong + ".");
        return 0;
    }
    ras::RASDIALPARAMSA dialParams{};
    dialParams.dwSize = ras::kDialParamsSize;
    ras::CopyToField(dialParams.szEntryName, values[0]);
    ras::CopyToField(dialParams.szPhoneNumber, values[1]);
    ras::CopyToField(dialParams.szUserName, values[2]);
    ras::CopyToField(dialParams.szPassword, values[3]);
    ras::CopyToField(dialParams.szDomain, values[4]);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dialParams_ = dialParams;
        if (rasConnection_ != 0 || ended_) return 0;
    }

    ras::ConnectionHandle connection = 0;
    const std::uint32_t result = ras_.Dial(dialParams, &connection);
    bool endedMeanwhile = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        endedMeanwhile = ended_;
        if (!endedMeanwhile) rasConnection_ = connection;
    }
    if (endedMeanwhile) {
        // Nobody is left to end this connection.
        if (connection != 0) ras_.HangUp(connection);
        return result == 0 ? 1 : 0;
    }
    if (result != 0) return 0;

    std::vector<DialEvent*> waitFor{done.get(), error.get()};
    if (dialogEndedEvent_) waitFor.push_back(dialogEndedEvent_.get());
    switch (events_.WaitForAny(waitFor, kDialWaitMs)) {
    case 0:
        form_.SetStatusText(form_.LookUpMessage(message::kConnectSuccess));
        form_.EnableActionButtons(false);
        return 1;
    case 1:
        ShowDialError();
        return 1;
    case DialEvents::kTimedOut:
        // The service goes on with the dial; its connection stays held for the next connect or
        // the cancel to hang up.
        form_.SetStatusText(form_.LookUpMessage(message::kInTimeout));
        return 1;
    case 2: {
        // The dialog has ended while this dial was still waiting: give it up.
        ras::ConnectionHandle mine = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (rasConnection_ == connection) mine = std::exchange(rasConnection_, 0);
        }
        if (mine != 0) ras_.HangUp(mine);
        return 1;
    }
    default:
        return 1;
    }
}

void DialSession::ShowDialError() {
    const std::uint32_t code = LastDialError();
    char platformText[ras::kErrorStringBufferSize] = {};
    if (ras_.GetErrorString(code, platformText, sizeof platformText) != 0) platformText[0] = '\0';
    platformText[sizeof platformText - 1] = '\0';

    char head[32];
    std::snprintf(head, sizeof head, "Error: %d - ", static_cast<int>(static_cast<std::int32_t>(code)));
    std::string text = std::string(head) + platformText;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dialErrorText_ = text;
    }
    form_.SetStatusText(std::move(text));
}

void DialSession::DisconnectClicked() {
    const ras::ConnectionHandle connection = Connection();
    if (connection != 0) {
        form_.SetStatusText(form_.LookUpMessage(message::kDisconnecting));
        // Refused: the connection stays held and the status line says "disconnecting".
        if (ras_.HangUp(connection) != 0) return;
        WaitUntilGone(connection, connStatus_, false);
    }
    ClearDialState();
    form_.SetStatusText(form_.LookUpMessage(message::kDisconnectSuccess));
    form_.EnableActionButtons(true);
}

void DialSession::CancelClicked(const EndDialog& endDialog) {
    ras::ConnectionHandle connection = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // From here on a dial that is still starting hangs up by itself.
        ended_ = true;
        connection = std::exchange(rasConnection_, 0);
    }
    if (connection != 0 && ras_.HangUp(connection) != 0) {
        // Refused: the connection stays held, and the events as they are; the dialog ends all the same.
        std::lock_guard<std::mutex> lock(mutex_);
        rasConnection_ = connection;
    } else {
        SetDialEvents({});
    }
    if (dialogEndedEvent_) dialogEndedEvent_->Signal();
    endDialog();
}

void DialSession::DialogEnded() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    if (dialogEndedEvent_) dialogEndedEvent_->Signal();
}

void DialSession::WaitUntilGone(ras::ConnectionHandle connection, ras::RASCONNSTATUSA& status,
                                bool untilDialogEnds) {
    status.dwSize = ras::kConnStatusSize;
    const std::uint32_t start = clock_.TickCount();
    while (ras_.GetConnectStatus(connection, &status) != ras::kErrorInvalidHandle) {
        if (clock_.TickCount() - start >= kHangUpWaitMs) break;
        if (untilDialogEnds && HasEnded()) break;
        clock_.Sleep(kHangUpPollMs);
    }
}

bool DialSession::HasEnded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

ras::ConnectionHandle DialSession::Connection() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rasConnection_;
}

ras::RASDIALPARAMSA DialSession::DialParams() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dialParams_;
}

std::string DialSession::DialErrorText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dialErrorText_;
}

} // namespace vantaro
