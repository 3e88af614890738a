#include "modem/InstallRecord.h"

#include "platform/TextRules.h"

namespace vantaro {

namespace {

const char* KindName(RecordedKind kind) {
    switch (kind) {
    case RecordedKind::Device: return "Device";
    case RecordedKind::DriverPackage: return "DriverPackage";
    case RecordedKind::DialupEntry: return "DialupEntry";
    case RecordedKind::Shortcut: return "Shortcut";
    }
    return "";
}

std::vector<std::string>& ItemsOf(InstallRecord& record, RecordedKind kind) {
    switch (kind) {
    case RecordedKind::Device: return record.devices;
    case RecordedKind::DriverPackage: return record.driverPackages;
    case RecordedKind::DialupEntry: return record.dialupEntries;
    case RecordedKind::Shortcut: break;
    }
    return record.shortcuts;
}

constexpr RecordedKind kKinds[] = {RecordedKind::Device, RecordedKind::DriverPackage, RecordedKind::DialupEntry,
                                   RecordedKind::Shortcut};

std::string CountName(RecordedKind kind) { return std::string(KindName(kind)) + "Count"; }
std::string ItemName(RecordedKind kind, std::uint32_t number) { return KindName(kind) + std::to_string(number); }

// Reads one kind into `items`; the problem in words when it does not read.
std::string ReadKind(RegistryKey& key, RecordedKind kind, std::vector<std::string>& items) {
    const std::string countName = CountName(kind);
    if (!key.HasValue(countName)) return {};
    const std::optional<std::uint32_t> count = key.ReadNumber(countName);
    if (!count || *count > kMaxRecordedOfAKind) return countName + " is not a count";
    for (std::uint32_t number = 1; number <= *count; ++number) {
        std::string item;
        if (!key.ReadString(ItemName(kind, number), item) || item.empty())
            return ItemName(kind, number) + " does not read";
        items.push_back(item);
    }
    return {};
}

} // namespace

RecordReading ReadInstallRecord(Registry& registry) {
    RecordReading reading;
    const std::unique_ptr<RegistryKey> key = registry.OpenForReading(kInstallRecordKey);
    if (!key) return reading;
    const std::optional<std::uint32_t> version = key->ReadNumber(kRecordVersionValue);
    if (version != kRecordVersion) {
        reading.state = RecordState::NotOurs;
        reading.problem = std::string("HKLM\\") + kInstallRecordKey + " has no " + kRecordVersionValue + " " +
                          std::to_string(kRecordVersion) + ": Vantaro did not write it";
        return reading;
    }
    for (RecordedKind kind : kKinds) {
        const std::string problem = ReadKind(*key, kind, ItemsOf(reading.record, kind));
        if (problem.empty()) continue;
        reading.state = RecordState::Unreadable;
        reading.problem = std::string("HKLM\\") + kInstallRecordKey + " cannot be read: " + problem;
        reading.record = {};
        return reading;
    }
    reading.state = RecordState::Ours;
    return reading;
}

RecordWrite AddToInstallRecord(Registry& registry, RecordedKind kind, const std::string& item, bool createRecord) {
    RecordReading reading = ReadInstallRecord(registry);
    if (reading.state == RecordState::NotOurs || reading.state == RecordState::Unreadable) return RecordWrite::NotOurs;
    if (reading.state == RecordState::None && !createRecord) return RecordWrite::NoRecord;
    std::vector<std::string>& items = ItemsOf(reading.record, kind);
    for (const std::string& recorded : items)
        if (EqualsIgnoringAsciiCase(recorded, item)) return RecordWrite::AlreadyThere;

    const std::unique_ptr<RegistryKey> key = registry.CreateWithFullAccess(kInstallRecordKey);
    if (!key) return RecordWrite::Failed;
    if (reading.state == RecordState::None && key->WriteNumber(kRecordVersionValue, kRecordVersion) != 0)
        return RecordWrite::Failed;
    // The item before its count: a write cut short leaves a record that still reads.
    const auto number = static_cast<std::uint32_t>(items.size() + 1);
    if (key->WriteString(ItemName(kind, number), item) != 0) return RecordWrite::Failed;
    if (key->WriteNumber(CountName(kind), number) != 0) return RecordWrite::Failed;
    return RecordWrite::Added;
}

bool DeleteInstallRecord(Registry& registry) {
    return registry.DeleteKey(kInstallRecordKey) || !registry.OpenForReading(kInstallRecordKey);
}

} // namespace vantaro
