#pragma once
// The texts of the phone check (the Settings dialog's "Check phone" button, the Phone dialog and
// its PIN dialog): keys of the language sections of Setting.ini, each with the English text
// shown when the section lacks it. The English texts here are UTF-8; the ones read from the file
// are in the interface's code page.

#include <array>
#include <functional>
#include <string>

namespace vantaro {

// Turns a UTF-8 text (the operator database, the English defaults) into the interface's code
// page; the Win32 side converts, the host tests keep the bytes.
using TextConverter = std::function<std::string(const std::string& utf8)>;

struct TextKey {
    const char* key;
    const char* english;
};

// The text with its first "%s" replaced by `value` (nothing else in it is a format: the text
// comes from a file the user edits).
inline std::string FillIn(const std::string& text, const std::string& value) {
    const std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + value + text.substr(at + 2);
}

namespace phonetext {
// Captions.
inline constexpr TextKey kCheckPhone{"checkphone", "Check phone"};
inline constexpr TextKey kTitle{"phonetitle", "Phone check"};
inline constexpr TextKey kUsePort{"useport", "Use this port"};
inline constexpr TextKey kCheckAgain{"checkagain", "Check again"};
inline constexpr TextKey kEnterPin{"enterpin", "Enter PIN..."};
inline constexpr TextKey kClose{"phoneclose", "Close"};
inline constexpr TextKey kUseSettings{"usesettings", "Use these settings"};
inline constexpr TextKey kPinTitle{"pintitle", "Enter PIN"};
inline constexpr TextKey kPinLabel{"pinlabel", "PIN of the SIM (4 to 8 digits):"};
inline constexpr TextKey kPinOk{"pinok", "OK"};
inline constexpr TextKey kPinCancel{"pincancel", "Cancel"};
inline constexpr TextKey kUnlockPuk{"unlockpuk", "Unlock with PUK\xE2\x80\xA6"};
inline constexpr TextKey kChangePin{"changepin", "Change PIN\xE2\x80\xA6"};
inline constexpr TextKey kPinLock{"pinlock", "PIN lock\xE2\x80\xA6"};
inline constexpr TextKey kPukTitle{"puktitle", "Unlock with PUK"};
inline constexpr TextKey kPukLabel{"puklabel", "PUK of the SIM (8 digits):"};
inline constexpr TextKey kChangePinTitle{"changepintitle", "Change PIN"};
inline constexpr TextKey kOldPinLabel{"oldpinlabel", "Current PIN (4 to 8 digits):"};
inline constexpr TextKey kNewPinLabel{"newpinlabel", "New PIN (4 to 8 digits):"};
inline constexpr TextKey kNewPinAgainLabel{"newpinagain", "New PIN again:"};
inline constexpr TextKey kLockTitle{"locktitle", "PIN lock"};
inline constexpr TextKey kLastPinTry{"lastpintry", "Last try: a wrong PIN locks the SIM. Send it all the same."};
inline constexpr TextKey kLastPukTry{"lastpuktry", "Last try: a wrong PUK makes the SIM unusable. Send it all the same."};
// The same box when a code went to the SIM and its tries were not read back after it.
inline constexpr TextKey kMaybeLastPinTry{"maybelastpintry",
                                          "Tries left not known: a wrong PIN may lock the SIM. Send it all the same."};
inline constexpr TextKey kMaybeLastPukTry{"maybelastpuktry",
                                          "Tries left not known: a wrong PUK may make the SIM unusable. Send it all the same."};
// The list's columns.
inline constexpr TextKey kColumnPort{"colport", "Port"};
inline constexpr TextKey kColumnPhone{"colphone", "Phone"};
inline constexpr TextKey kColumnSim{"colsim", "SIM"};
inline constexpr TextKey kColumnSignal{"colsignal", "Signal"};
inline constexpr TextKey kColumnNetwork{"colnetwork", "Network"};
// What a row says.
inline constexpr TextKey kChecking{"checking", "checking\xE2\x80\xA6"};
inline constexpr TextKey kNoAnswer{"noanswer", "no answer"};
inline constexpr TextKey kBusy{"portbusy", "in use by another program"};
inline constexpr TextKey kNotAModem{"notamodem", "not a modem"};
inline constexpr TextKey kRefused{"portrefused", "cannot be opened"};
inline constexpr TextKey kSimReady{"simready", "ready"};
inline constexpr TextKey kSimPin{"simpin", "PIN needed"};
inline constexpr TextKey kSimPuk{"simpuk", "PUK needed"};
inline constexpr TextKey kNoSim{"nosim", "no SIM"};
inline constexpr TextKey kSimPin2{"simpin2", "ready (PIN2 locked)"};
inline constexpr TextKey kPhoneSimPin{"simphonelock", "phone code needed"};
inline constexpr TextKey kPhoneNetworkPin{"simnetlock", "phone locked to a network"};
// Beside the SIM state, and after a refused code; %s stands for the number.
inline constexpr TextKey kTriesLeft{"triesleft", "%s tries left"};
inline constexpr TextKey kOneTryLeft{"onetryleft", "1 try left"};
inline constexpr TextKey kTriesUnknown{"triesunknown", "tries left not known"};
inline constexpr TextKey kSignalUnknown{"signalunknown", "unknown"};
inline constexpr TextKey kHome{"nethome", "home"};
inline constexpr TextKey kRoaming{"netroaming", "roaming"};
inline constexpr TextKey kSearching{"netsearching", "searching"};
inline constexpr TextKey kDenied{"netdenied", "denied"};
inline constexpr TextKey kNotRegistered{"netnone", "not registered"};
// The status line; %s stands for a port or a network id.
inline constexpr TextKey kCheckingPorts{"phonechecking", "Checking the ports..."};
inline constexpr TextKey kNoPorts{"noports", "The port list is empty: there is no port to check."};
inline constexpr TextKey kModemOn{"modemon", "The phone's modem is on %s."};
inline constexpr TextKey kNoModem{"nomodem", "No port answered as a modem. Is the phone on and plugged in?"};
inline constexpr TextKey kSeveralModems{"severalmodems", "Several ports answered as modems: choose one."};
inline constexpr TextKey kPinSending{"pinsending", "Sending the PIN..."};
inline constexpr TextKey kPinAccepted{"pinaccepted", "The phone took the PIN. The SIM is read again..."};
inline constexpr TextKey kPinRejected{"pinrejected",
                                      "The phone refused the PIN. Check it before you try again: a few wrong PINs lock the SIM."};
inline constexpr TextKey kPinNotValid{"pinnotvalid", "A PIN is 4 to 8 digits. Nothing was sent."};
inline constexpr TextKey kPinNoAnswer{"pinnoanswer", "The phone did not answer the PIN."};
inline constexpr TextKey kPinNotOpened{"pinnotopened", "The port could not be opened to send the PIN."};
inline constexpr TextKey kPukNotValid{"puknotvalid", "A PUK is 8 digits. Nothing was sent."};
inline constexpr TextKey kNewPinsDiffer{"newpinsdiffer", "The new PIN and its repetition differ. Nothing was sent."};
inline constexpr TextKey kConfirmLastTry{"confirmlasttry", "This is the last try: tick the box to send it."};
inline constexpr TextKey kConfirmUnknownTry{"confirmunknowntry", "The tries left are not known: tick the box to send it."};
inline constexpr TextKey kPinBlocked{"pinblocked",
                                     "The SIM is now blocked and wants its PUK: click Unlock with PUK... (the PUK came with the SIM)."};
inline constexpr TextKey kPukSending{"puksending", "Sending the PUK and the new PIN..."};
inline constexpr TextKey kPukAccepted{"pukaccepted", "The SIM is unlocked and has its new PIN. The SIM is read again..."};
inline constexpr TextKey kPukRejected{"pukrejected", "The phone refused the PUK. Check it before you try again."};
inline constexpr TextKey kPinChanged{"pinchanged", "The SIM's PIN is changed."};
inline constexpr TextKey kLockSending{"locksending", "Sending the PIN to the PIN lock..."};
inline constexpr TextKey kLockReading{"lockreading", "Reading the SIM's PIN lock..."};
inline constexpr TextKey kLockIsOn{"lockison", "The PIN lock is on. Enter the PIN to turn it off."};
inline constexpr TextKey kLockIsOff{"lockisoff", "The PIN lock is off. Enter the PIN to turn it on."};
inline constexpr TextKey kLockUnknown{"lockunknown", "The phone does not say whether the PIN lock is on."};
inline constexpr TextKey kLockTurnedOn{"lockturnedon", "The PIN lock is on: the SIM asks for its PIN when the phone starts."};
inline constexpr TextKey kLockTurnedOff{"lockturnedoff", "The PIN lock is off: the SIM works without its PIN."};
// The proposal.
inline constexpr TextKey kProposalFor{"proposalfor", "Settings for the SIM's operator %s:"};
inline constexpr TextKey kProposalVisited{"proposalvisited",
                                          "Settings for network %s (the one the phone is on; when roaming, not the SIM's own):"};
inline constexpr TextKey kNoOperator{"nooperator", "The SIM's operator is not known: no settings to propose."};
inline constexpr TextKey kNotInDatabase{"notindatabase", "The operator %s is not in the database: no settings to propose."};
inline constexpr TextKey kNoApnListed{"noapnlisted", "The database lists no APN for the operator %s."};
inline constexpr TextKey kNothingUsable{"nothingusable",
                                        "The database's APNs for the operator %s do not fit the settings' fields."};
// After the proposal's note when the SIM's service-provider name put its providers first.
inline constexpr TextKey kProposalBySimName{"proposalbyname", "Chosen by the SIM's name %s."};
inline constexpr TextKey kSettingsApplied{"settingsapplied",
                                          "The settings are in the Settings dialog: Save or Install keeps them."};

// The balance: the Phone dialog's button and its Balance dialog; %s stands for the code sent,
// or for what the phone answered when it refused.
inline constexpr TextKey kBalance{"balance", "Balance..."};
// The tray's item while a connection holds the dial's port and no other port of the phone answers AT.
inline constexpr TextKey kBalanceDisconnectFirst{"balancedisconnect", "Balance (disconnect first)"};
inline constexpr TextKey kBalanceTitle{"balancetitle", "Balance"};
inline constexpr TextKey kUssdCodeLabel{"ussdcodelabel", "Code to send (digits, * and #):"};
inline constexpr TextKey kUssdAnswerLabel{"ussdanswerlabel", "Your answer to the menu (digits, * and #):"};
inline constexpr TextKey kUssdSend{"ussdsend", "Send"};
inline constexpr TextKey kUssdWaiting{"ussdwaiting", "Waiting for the network's answer (at most 30 seconds)..."};
inline constexpr TextKey kUssdNoCode{"ussdnocode", "The database has no balance code for this SIM's operator: type the one the operator gives."};
inline constexpr TextKey kUssdNotDialable{"ussdnotdialable", "Not sent: a code has only digits, * and #."};
inline constexpr TextKey kUssdEmpty{"ussdempty", "Not sent: type a code first."};
inline constexpr TextKey kUssdTooLong{"ussdtoolong", "Not sent: a code has at most 160 characters."};
inline constexpr TextKey kUssdMenu{"ussdmenu", "The network asks for an answer: type it and click Send."};
inline constexpr TextKey kUssdAnswered{"ussdanswered", "The network's answer to %s."};
inline constexpr TextKey kUssdEnded{"ussdended", "The network ended the session."};
inline constexpr TextKey kUssdOtherClient{"ussdotherclient", "Another program on the phone took the answer."};
inline constexpr TextKey kUssdNotSupported{"ussdnotsupported", "The network or the phone does not offer this code."};
inline constexpr TextKey kUssdNetworkTimedOut{"ussdnettimeout", "The network took too long and ended the session."};
inline constexpr TextKey kUssdTimedOut{"ussdtimeout", "No answer from the network within 30 seconds."};
inline constexpr TextKey kUssdRefused{"ussdrefused", "The phone refused the code (%s)."};
inline constexpr TextKey kUssdPortBusy{"ussdportbusy", "The phone's port is in use, by a connection or another program: disconnect first."};
inline constexpr TextKey kUssdPortMissing{"ussdportmissing", "The phone's port cannot be opened. Is the phone still plugged in?"};
inline constexpr TextKey kUssdPortLost{"ussdportlost", "The phone stopped answering."};
inline constexpr TextKey kUssdUnknownCoding{"ussdunknowncoding", "The answer's coding is not one Vantaro reads: it is shown as hex."};

// Every key above, for the delivered file's tests.
inline constexpr std::array<TextKey, 109> kAll = {
    kCheckPhone,   kTitle,       kUsePort,         kCheckAgain,  kEnterPin,     kClose,        kUseSettings,
    kPinTitle,     kPinLabel,    kPinOk,           kPinCancel,   kColumnPort,   kColumnPhone,  kColumnSim,
    kColumnSignal, kColumnNetwork, kChecking,      kNoAnswer,    kBusy,         kNotAModem,    kRefused,
    kSimReady,     kSimPin,      kSimPuk,          kNoSim,       kSignalUnknown, kHome,        kRoaming,
    kSearching,    kDenied,      kNotRegistered,   kCheckingPorts, kNoPorts,    kModemOn,      kNoModem,
    kSeveralModems, kPinSending, kPinAccepted,     kPinRejected, kPinNotValid,  kPinNoAnswer,  kPinNotOpened,
    kProposalFor,  kProposalVisited, kNoOperator,  kNotInDatabase, kNoApnListed, kNothingUsable, kSettingsApplied,
    kProposalBySimName,
    kSimPin2,      kPhoneSimPin, kPhoneNetworkPin,
    kUnlockPuk,    kChangePin,   kPinLock,         kPukTitle,    kPukLabel,     kChangePinTitle, kOldPinLabel,
    kNewPinLabel,  kNewPinAgainLabel, kLockTitle,  kLastPinTry,  kLastPukTry,   kTriesLeft,    kOneTryLeft,
    kPukNotValid,  kNewPinsDiffer, kConfirmLastTry, kPinBlocked, kPukSending,   kPukAccepted,  kPukRejected,
    kPinChanged,   kLockReading, kLockIsOn,        kLockIsOff,   kLockUnknown,  kLockTurnedOn, kLockTurnedOff,
    kLockSending,  kTriesUnknown, kMaybeLastPinTry, kMaybeLastPukTry, kConfirmUnknownTry,
    kBalance, kBalanceTitle, kUssdCodeLabel, kUssdAnswerLabel, kUssdSend, kUssdWaiting, kUssdNoCode, kUssdNotDialable, kUssdEmpty, kUssdTooLong, kUssdMenu, kUssdAnswered, kUssdEnded, kUssdOtherClient, kUssdNotSupported, kUssdNetworkTimedOut, kUssdTimedOut, kUssdRefused, kUssdPortBusy, kUssdPortMissing, kUssdPortLost, kUssdUnknownCoding,
    kBalanceDisconnectFirst,
};
} // namespace phonetext

} // namespace vantaro
