// The INF reader and the modem INF check on any bytes. Whatever the file holds: the reader and
// the check end; no key or field spans a line end or holds the end-of-file mark; every key of a
// section is found by Value; a file read as UTF-8 with its byte-order mark, or (when it is
// ASCII) as UTF-16LE, reads as the plain bytes do; a file the check accepts is a valid INF.

#include "fuzz/FuzzCheck.h"
#include "modem/InfCheck.h"
#include "modem/InfFile.h"

#include <string>
#include <string_view>

namespace {

using vantaro::InfFile;
using vantaro::InfLine;
using vantaro::fuzz::Require;

bool SameLines(const std::vector<InfLine>& a, const std::vector<InfLine>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].hasKey != b[i].hasKey || a[i].key != b[i].key || a[i].fields != b[i].fields) return false;
    return true;
}

bool SameFile(const InfFile& a, const InfFile& b) {
    if (a.ErrorLine() != b.ErrorLine() || a.SectionNames() != b.SectionNames()) return false;
    for (const std::string& name : a.SectionNames())
        if (!SameLines(a.Lines(name), b.Lines(name))) return false;
    return true;
}

bool Clean(const std::string& text) {
    return text.find('\n') == std::string::npos && text.find('\x1A') == std::string::npos;
}

std::string Utf16Le(std::string_view ascii) {
    std::string out("\xFF\xFE", 2);
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const InfFile inf(bytes);

    for (const std::string& name : inf.SectionNames()) {
        Require(inf.HasSection(name), "every section named is found");
        for (const InfLine& line : inf.Lines(name)) {
            Require(Clean(line.key), "no key spans a line end or holds Ctrl-Z");
            for (const std::string& field : line.fields) Require(Clean(field), "no field spans a line end or holds Ctrl-Z");
            Require(!line.hasKey || inf.Value(name, line.key).has_value(), "every key of a section is found by Value");
        }
    }

    if (!vantaro::InfTextIsUnicode(bytes)) {
        Require(SameFile(inf, InfFile("\xEF\xBB\xBF" + bytes)), "a UTF-8 byte-order mark changes nothing else");
        bool ascii = true;
        for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii) Require(SameFile(inf, InfFile(Utf16Le(bytes))), "an ASCII file reads the same as UTF-16LE");
    }

    for (const vantaro::InfPlatform platform : {vantaro::InfPlatform::X86, vantaro::InfPlatform::Amd64}) {
        const vantaro::InfCheckInput input{"fuzz.inf", bytes, "USB\\VID_1782&PID_0003&MI_01", platform,
                                           [](const std::string& path) { return !path.empty(); }};
        if (!vantaro::CheckModemInf(input)) Require(inf.Valid(), "a file the check accepts is a valid INF");
    }
    return 0;
}
