// The program's writer of the settings file, on any bytes in any of the encodings the platform
// reads. Writing nothing gives the file back byte for byte; a write is refused exactly when a
// name or value would break its line; the file keeps its encoding; each written key reads as
// its value exactly, every other key as before, and every other line stays; and writing several
// values at once is the same as writing them one after another.

#include "fakes/ProfileFileText.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ProfileRules.h"
#include "settings/IniDocument.h"
#include "settings/ProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using namespace vantaro;
using vantaro::fuzz::Require;
using vantaro::testing::ProfileFileText;
using namespace vantaro::fuzz::rules;

const std::vector<std::string> kSections = {"Setting", "BaseSetting", "Chinese", ""};
const std::vector<std::string> kKeys = {"number", "username", "apn", "dns1", "language", "NUMBER"};

std::string PickName(FuzzedDataProvider& data, const std::vector<std::string>& known) {
    if (data.ConsumeBool()) return known[data.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1)];
    return data.ConsumeRandomLengthString(16);
}

// Latin-1 stands in for the system code page: every byte is one character.
std::u16string Latin1(const std::string& ansi) {
    std::u16string units;
    for (unsigned char c : ansi) units += static_cast<char16_t>(c);
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const char* const marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    const std::string mark = marks[data.ConsumeIntegralInRange(0, 3)];
    const std::string section = PickName(data, kSections);
    std::vector<ProfileEntry> entries(data.ConsumeIntegralInRange(0, 3));
    for (ProfileEntry& entry : entries) {
        entry.key = PickName(data, kKeys);
        entry.value = data.ConsumeRandomLengthString(64);
    }
    const std::string probeSection = PickName(data, kSections), probeKey = PickName(data, kKeys);
    const std::string file = mark + data.ConsumeRemainingBytesAsString();

    // The bytes between text and UTF-16 go both ways unchanged.
    const std::string text = ProfileFileText(file);
    const std::optional<std::u16string> units = Wtf8ToUtf16(text);
    if (units) Require(Utf16ToWtf8(*units) == text, "text read as UTF-16 is written back as it was");
    if (DetectProfileEncoding(file) == ProfileEncoding::Utf16LittleEndian ||
        DetectProfileEncoding(file) == ProfileEncoding::Utf16BigEndian)
        Require(units.has_value(), "every UTF-16 file has a text form");

    Require(WriteProfileValues(file, section, {}, Latin1) == file, "writing nothing keeps every byte");

    bool writable = true;
    for (const ProfileEntry& entry : entries) writable = writable && CanWriteProfileValue(section, entry.key, entry.value);
    const std::optional<std::string> all = WriteProfileValues(file, section, entries, Latin1);
    Require(all.has_value() == writable, "a write is refused exactly when a value would break its line");
    if (!all) return 0;
    Require(DetectProfileEncoding(*all) == DetectProfileEncoding(file), "the file keeps its encoding");

    const bool ansi = DetectProfileEncoding(file) == ProfileEncoding::Ansi;
    const auto inFile = [ansi](const std::string& name) { return ansi ? name : Utf16ToWtf8(Latin1(name)); };
    std::string current = file;
    for (const ProfileEntry& entry : entries) {
        const std::optional<std::string> next = WriteProfileValues(current, section, {entry}, Latin1);
        Require(next.has_value(), "a value that can be written alone is written");
        const IniDocument before(ProfileFileText(current)), after(ProfileFileText(*next));
        Require(after.Get(inFile(section), inFile(entry.key)) == inFile(entry.value),
                "a written key reads back exactly as the value written");
        const bool probed = Folded(probeSection) == Folded(section) && Folded(probeKey) == Folded(entry.key);
        if (!probed)
            Require(after.Get(inFile(probeSection), inFile(probeKey)) == before.Get(inFile(probeSection), inFile(probeKey)),
                    "a write leaves other keys alone");
        Require(ChangedWithinOneLine(ProfileFileText(current), ProfileFileText(*next)), "a write changes nothing outside its own line");
        current = *next;
    }
    Require(*all == current, "values written together are written as one after another");
    return 0;
}
