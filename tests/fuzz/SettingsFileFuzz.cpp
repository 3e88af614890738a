// The settings file as a user may leave it: any bytes at all. Reading must never fail or run
// past a buffer, a read is never longer than the platform's buffer allows, and a write changes
// the written key's line and nothing else: every other value reads as before, and every byte
// outside that line stays where it was. An upgrade of the file keeps every value outside the text
// sections and brings the shipped texts and keys. Replaying an input with FUZZ_SHOW=1 prints
// each write.

#include "fuzz/FuzzCheck.h"
#include "fuzz/ProfileRules.h"
#include "settings/IniDocument.h"
#include "settings/SettingsUpgrade.h"
#include "fakes/IniFileProfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vantaro::IniDocument;
using vantaro::fuzz::Require;
using namespace vantaro::fuzz::rules;

// The names the program uses, so that the fuzzer meets them often.
const std::vector<std::string> kSections = {"Setting", "BaseSetting", "Operators", "Chinese", "English", ""};
const std::vector<std::string> kKeys = {"number", "username", "password", "init", "conn_mode",
                                        "apn",    "dns1",     "dns2",     "language", "max_operator_num"};

std::string PickName(FuzzedDataProvider& data, const std::vector<std::string>& known) {
    if (data.ConsumeBool()) return known[data.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1)];
    return data.ConsumeRandomLengthString(24);
}

struct Probe {
    std::string section;
    std::string key;
};

void CheckWrite(IniDocument& document, const std::string& section, const std::string& key, const std::string& value,
                const std::vector<Probe>& probes) {
    std::vector<std::optional<std::string>> before;
    for (const Probe& probe : probes) before.push_back(document.Get(probe.section, probe.key));
    const std::string textBefore = document.Text();

    document.Set(section, key, value);
    if (std::getenv("FUZZ_SHOW"))
        std::fprintf(stderr, "[%s] %s = %s\nbefore: %s\nafter:  %s\n", Shown(section).c_str(), Shown(key).c_str(),
                     Shown(value).c_str(), Shown(textBefore).c_str(), Shown(document.Text()).c_str());

    Require(IniDocument(document.Text()).Text() == document.Text(), "a document keeps its text when read again");
    if (!Writable(section, key, value)) return;

    const std::optional<std::string> read = document.Get(section, key);
    Require(read.has_value(), "a written key can be read");
    Require(*read == AsRead(value), "a written key reads as the value written");
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const bool same = Folded(probes[i].section) == Folded(section) && Folded(probes[i].key) == Folded(key);
        if (!same) Require(document.Get(probes[i].section, probes[i].key) == before[i], "a write leaves other keys alone");
    }
    Require(ChangedWithinOneLine(textBefore, document.Text()), "a write changes nothing outside its own line");
}

bool IsTextSection(const std::string& section) { return Folded(section) == "chinese" || Folded(section) == "english"; }

void CheckUpgrade(const std::string& kept, const std::string& section, const std::string& key,
                  const std::vector<Probe>& probes) {
    const IniDocument before(kept);
    const std::string shipped = "[English]\r\nTEL=Tel:\r\n[" + section + "]\r\n" + key + "=shipped\r\n";
    const IniDocument after(vantaro::settings::UpgradedSettings(kept, shipped));
    for (const Probe& probe : probes)
        if (!IsTextSection(probe.section) && before.Get(probe.section, probe.key))
            Require(after.Get(probe.section, probe.key) == before.Get(probe.section, probe.key),
                    "an upgrade keeps every value outside the texts");
    Require(after.Get("English", "TEL") == std::optional<std::string>("Tel:"), "an upgrade brings the texts");
    const bool plainName = Writable(section, key, "shipped") && !Trimmed(section).empty() && !Trimmed(key).empty() &&
                           Trimmed(key).front() != ';' && Trimmed(section).find(']') == std::string::npos;
    if (plainName && !before.Get(section, key))
        Require(after.Get(section, key).has_value(), "an upgrade brings the keys the file lacks");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string section = PickName(data, kSections);
    const std::string key = PickName(data, kKeys);
    const std::string value = data.ConsumeRandomLengthString(300);
    const std::string secondValue = data.ConsumeRandomLengthString(300);
    std::vector<Probe> probes;
    for (int i = 0; i < 4; ++i) probes.push_back({PickName(data, kSections), PickName(data, kKeys)});
    const std::string text = data.ConsumeRemainingBytesAsString();

    IniDocument document(text);
    Require(document.Text() == text, "reading keeps the text as it was");
    for (const Probe& probe : probes) {
        Require(vantaro::ProfileString(document, probe.section, probe.key, "default").size() <= vantaro::kMaxProfileString,
                "a read fits the platform's buffer");
        vantaro::ProfileInt(document, probe.section, probe.key, 7);
    }
    probes.push_back({section, key});
    CheckUpgrade(text, section, key, probes);

    // A new key (or the first of its name), then the same key once more.
    CheckWrite(document, section, key, value, probes);
    CheckWrite(document, section, key, secondValue, probes);
    return 0;
}
