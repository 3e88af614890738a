#pragma once
// What the install sequence needs from the remote-access service once the phone's modem driver
// is in: the modem devices that the service offers, and a phone-book entry bound to one of them.
// Both run on the install worker and hold a binding of their own for the length of the call.

#include "dialup/RasLibrary.h"
#include "dialup/RasRecords.h"
#include "platform/Secret.h"
#include "platform/Removal.h"

#include <optional>
#include <string>
#include <vector>

namespace vantaro {

// Empties rasDevices and refills it with every device whose type starts with "modem" (exact
// case), in the service's order. False, with the list empty, when the enumeration failed.
bool EnumModemDevices(RasLibrary& library, std::vector<ras::RASDEVINFOA>& rasDevices);

// The values of one dial, in the service's terms.
struct DialValues {
    std::string entryName;
    std::string phoneNumber;
    std::string userName;
    Secret password;
    std::string domain;
};

// The record that RasDialA dials and RasSetEntryDialParamsA stores, with every value checked
// against its field first. Nothing when one does not fit: `refusal` then says which value (the
// first that does not fit, in the order of the record) and its limit, the entry name called
// `entryNameWhat`.
std::optional<ras::RASDIALPARAMSA> DialParamsFor(const DialValues& values, std::string& refusal,
                                                 const char* entryNameWhat = "the entry name");

// What becomes of an entry of the same name that the phone book holds already: one that was
// there before the install is someone's own connection, and stays as it was unless replacing it
// was asked for.
enum class ExistingEntry { Keep, Replace };

enum class EntryWrite {
    Created,   // there was no entry of that name
    Replaced,  // there was one, and it was replaced as asked
    Kept,      // there was one, and it was left as it was: nothing was written
    Failed,
};

// Writes the entry into the default phone book for PPP over IP on the given device, with the two
// DNS servers (used by the service when at least one of them is an address other than 0.0.0.0),
// and stores the user name and password with it. The entry's properties decide the result; the
// stored credentials do not change it.
//
// A value too long for its field is refused before anything is written: Failed, and when
// `refusal` is given it says which value and its limit.
EntryWrite CreateDialupEntry(RasLibrary& library, const std::string& entryName, const std::string& phoneNumber,
                             const std::string& userName, const Secret& password, const std::string& dns1,
                             const std::string& dns2, const std::string& deviceType, const std::string& deviceName,
                             ExistingEntry existing, std::string* refusal = nullptr);

// The service's answers that the removal tells apart.
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorEntryNotFound = 623;

// Deletes the entry of that name from the default phone book. An entry is looked for first, as
// the service keeps no phone book where it has never written one. A name that no entry can have
// (empty, or longer than the phone book takes) finds nothing and asks the service nothing.
Removal RemoveDialupEntry(RasLibrary& library, const std::string& entryName);

// The device an entry of the default phone book dials through.
struct EntryDevice {
    std::string type;  // "modem", "isdn", ...
    std::string name;  // the device's name as the service lists it
};

// Nothing when there is no such entry or its properties do not read.
std::optional<EntryDevice> ReadEntryDevice(RasLibrary& library, const std::string& entryName);

// Four decimal numbers joined by dots into the address bytes a, b, c, d. Each piece is read as
// atoi reads it and keeps its low 8 bits; missing pieces leave their byte alone, extra pieces
// are dropped.
void ParseDottedAddress(std::string text, ras::RASIPADDR& address);

} // namespace vantaro
