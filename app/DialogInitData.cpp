#include "app/DialogInitData.h"

#include <cstring>

namespace vantaro {

namespace {

std::uint32_t ReadLittleEndian(const std::uint8_t* data, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    return value;
}

} // namespace

std::vector<DialogInitEntry> ParseDialogInitData(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 2 + 2 + 4;
    std::vector<DialogInitEntry> entries;
    std::size_t offset = 0;
    while (offset + 2 <= size) {
        const std::uint32_t controlId = ReadLittleEndian(data + offset, 2);
        if (controlId == 0 || offset + kHeader > size) break;
        const std::uint32_t message = ReadLittleEndian(data + offset + 2, 2);
        const std::uint32_t length = ReadLittleEndian(data + offset + 4, 4);
        offset += kHeader;
        if (length > size - offset) break;
        const char* text = reinterpret_cast<const char*>(data + offset);
        // The text ends at its NUL, which the length counts.
        const void* nul = std::memchr(text, '\0', length);
        std::size_t textLength = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : length;
        entries.push_back(DialogInitEntry{static_cast<int>(controlId), message, std::string(text, textLength)});
        offset += length;
    }
    return entries;
}

} // namespace vantaro
