#pragma once
// The dialog init data resource (type 240) that fills the Settings dialog's combo boxes:
// entries of control id (16 bits), message (16 bits), text length (32 bits) and the text with
// its NUL, ended by a control id of 0.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantaro {

struct DialogInitEntry {
    int controlId;
    unsigned message;
    std::string text;
};

inline constexpr unsigned kResourceTypeDialogInit = 240;
// The init data keeps the 16-bit message numbers of the add-string messages.
inline constexpr unsigned kInitDataListAddString = 0x0401;
inline constexpr unsigned kInitDataComboAddString = 0x0403;

// A malformed or truncated resource yields the entries read before the fault.
std::vector<DialogInitEntry> ParseDialogInitData(const std::uint8_t* data, std::size_t size);

} // namespace vantaro
