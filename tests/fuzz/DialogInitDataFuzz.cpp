// The dialog init data resource, read from the program's own image. A damaged resource must
// give the entries before the damage and never a byte from past its end.

#include "app/DialogInitData.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using vantaro::fuzz::Require;
    // A copy of exactly `size` bytes, so that AddressSanitizer sees any read past the end.
    std::vector<std::uint8_t> resource(bytes, bytes + size);
    const std::vector<vantaro::DialogInitEntry> entries = vantaro::ParseDialogInitData(resource.data(), resource.size());

    std::size_t consumed = 0;
    for (const vantaro::DialogInitEntry& entry : entries) {
        Require(entry.controlId > 0 && entry.controlId <= 0xFFFF, "a control id is a non-zero 16-bit number");
        Require(entry.message <= 0xFFFF, "a message is a 16-bit number");
        Require(entry.text.find('\0') == std::string::npos, "a text ends at its NUL");
        consumed += 8 + entry.text.size();
    }
    Require(consumed <= size, "the entries come from inside the resource");
    return 0;
}
