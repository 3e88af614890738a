// The settings file as a user may leave it: any bytes at all. Reading must never fail or run
// past a buffer, a read is never longer than the platform's buffer allows, and a write changes
// the written key's line and nothing else: every other value reads as before, and every byte
// outside that line stays where it was.

#include "fuzz/FuzzCheck.h"
#include "settings/IniDocument.h"
#include "settings/IniFileProfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vantaro::IniDocument;
using vantaro::fuzz::Require;

// The names the program uses, so that the fuzzer meets them often.
const std::vector<std::string> kSections = {"Setting", "BaseSetting", "Operators", "Chinese", "English", ""};
const std::vector<std::string> kKeys = {"number", "username", "password", "init", "conn_mode",
                                        "apn",    "dns1",     "dns2",     "language", "max_operator_num"};

std::string PickName(FuzzedDataProvider& data, const std::vector<std::string>& known) {
    if (data.ConsumeBool()) return known[data.ConsumeIntegralInRange<std::size_t>(0, known.size() - 1)];
    return data.ConsumeRandomLengthString(24);
}

// The rules a reader of the written file applies, written out once more here so that the
// document's own code is not checked against itself.
bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && Blank(text[begin])) ++begin;
    while (end > begin && Blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string Folded(const std::string& text) {
    std::string folded = Trimmed(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string AsRead(const std::string& value) {
    std::string read = Trimmed(value);
    if (read.size() >= 2 && (read.front() == '"' || read.front() == '\'') && read.back() == read.front())
        read = read.substr(1, read.size() - 2);
    return read;
}

bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// A name that a written line can carry: no line break, and a key that would not turn its line
// into a section header or split at its own '='.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
    const std::string trimmedKey = Trimmed(key);
    return !HoldsLineBreak(section) && !HoldsLineBreak(key) && !HoldsLineBreak(value) &&
           trimmedKey.find('=') == std::string::npos && (trimmedKey.empty() || trimmedKey.front() != '[');
}

// The lines of a text, each with its ending. Lines end at the next '\n', or, with none left in
// the file, at the next '\r'.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t next = text.find('\n', position);
        if (next == std::string::npos) next = text.find('\r', position);
        const std::size_t end = next == std::string::npos ? text.size() : next + 1;
        lines.push_back(text.substr(position, end - position));
        position = end;
    }
    return lines;
}

// Every line of the old text but one is still there, byte for byte with its ending, and in its
// place: a write changes the written key's line (or gives the last line an ending) and adds at
// most a section header and the key's line.
bool ChangedWithinOneLine(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = Lines(before);
    const std::vector<std::string> now = Lines(after);
    const std::size_t shorter = std::min(old.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    return old.size() - prefix - suffix <= 1 && now.size() - prefix - suffix <= 3;
}

// The bytes readable on a terminal, for the report of a broken property.
std::string Shown(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
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

    // A new key (or the first of its name), then the same key once more.
    CheckWrite(document, section, key, value, probes);
    CheckWrite(document, section, key, secondValue, probes);
    return 0;
}
