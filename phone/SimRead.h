#pragma once
// What the phone says of its SIM, for the phone check and for the read just before a dial that
// tries APNs in turn: which operator the SIM belongs to (its MCC and MNC, never the IMSI), its
// ICCID and its provider's name.

#include "phone/AtResponse.h"
#include "phone/PortFindings.h"
#include "phone/SerialPort.h"
#include "platform/Clock.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vantaro {

// One question to the phone and its response, as the conversation's owner bounds it.
using AtAsk = std::function<AtResponse(std::string_view command)>;

// Whether the phone answered at all: a final result (an error too) or an over-long answer.
bool Answered(const AtResponse& response);

// The home operator of a SIM that is ready: its IMSI's head, then the MNC's length from EF_AD;
// when the SIM does not give that length, the network the phone is registered on. A question
// the phone leaves unanswered ends the reading (one deadline, not four). Of the IMSI only its
// head is kept, and only until the operator is chosen.
SimOperator AskSimOperator(const AtAsk& ask);

// The SIM's ICCID (AT+CCID, else EF_ICCID) and the name its provider gives it (EF_SPN): the
// APN that connected is remembered by the one, the database's providers are chosen by the
// other. A phone or SIM that gives neither leaves them empty.
void AskSimIdentity(const AtAsk& ask, PortFindings& findings);

struct SimReadTimings {
    std::uint32_t probeMs = 400;     // the AT that tells a phone from a silent port
    std::uint32_t questionMs = 700;  // each question at most
    std::uint32_t budgetMs = 2500;   // the whole conversation, the probe included
};

// The SIM of the phone on the dial's port, just before the first dial of a series that tries
// APNs: open the port, AT, the setup line, then the operator's and the identity's questions,
// all within the budget (the dial waits for it), and close. A port that does not open, or a
// phone that does not answer AT, gives findings of PortState::NoAnswer; a phone that runs out of
// the budget gives what it said until then.
PortFindings ReadSimBeforeDial(SerialPorts& ports, const std::string& portName, Clock& clock,
                               const SimReadTimings& timings = {});

} // namespace vantaro
