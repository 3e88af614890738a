#pragma once
// What Vantaro's installs made, kept for /uninstall so that it removes exactly that: the modem
// devices, the driver packages they put into the driver store, the dial-up entries and the
// desktop shortcut. It lives in HKLM\Software\Vantaro, always in the 64-bit view, so that the
// 32-bit and the 64-bit program keep one record. Each kind is a count and numbered strings
// (DeviceCount = 2, Device1, Device2); RecordVersion = 1 says that Vantaro wrote the key, so a
// key of that name left by anything else is not taken for ours.

#include "modem/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantaro {

inline constexpr char kInstallRecordKey[] = "Software\\Vantaro";
inline constexpr char kRecordVersionValue[] = "RecordVersion";
inline constexpr std::uint32_t kRecordVersion = 1;
// More than any number of installs makes; a count beyond it is not one of ours.
inline constexpr std::uint32_t kMaxRecordedOfAKind = 1000;

enum class RecordedKind { Device, DriverPackage, DialupEntry, Shortcut };

struct InstallRecord {
    std::vector<std::string> devices;         // device instance ids
    std::vector<std::string> driverPackages;  // the driver key's InfPath: oemNN.inf on Windows
    std::vector<std::string> dialupEntries;
    std::vector<std::string> shortcuts;       // full paths of the link files
};

enum class RecordState {
    None,        // no key: an install by a Vantaro that kept no record, or none at all
    Ours,
    NotOurs,     // the key is there without our RecordVersion
    Unreadable,  // ours, but a count or an item does not read
};

struct RecordReading {
    RecordState state = RecordState::None;
    InstallRecord record;
    std::string problem;  // for NotOurs and Unreadable: what is wrong, in words for the user
};

RecordReading ReadInstallRecord(Registry& registry);

enum class RecordWrite { Added, AlreadyThere, NoRecord, NotOurs, Failed };

// Adds the item unless the record has it already (letter case aside). Without a record, one is
// made only when `createRecord`; a key that is not ours (or unreadable) is never written.
RecordWrite AddToInstallRecord(Registry& registry, RecordedKind kind, const std::string& item, bool createRecord);

// True when the record's key is gone (or was not there).
bool DeleteInstallRecord(Registry& registry);

} // namespace vantaro
