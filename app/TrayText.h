#pragma once
// The taskbar keeps the icon's texts in fixed fields of UTF-16 units (tooltip, balloon title,
// balloon text), each with its terminating NUL. A longer text is cut, and only at a
// character's end: a lone half of a surrogate pair would show as a broken glyph.

#include <cstddef>

namespace vantaro {

// The fields' sizes in UTF-16 units, NUL included.
inline constexpr std::size_t kTrayTooltipUnits = 128;
inline constexpr std::size_t kTrayBalloonTitleUnits = 64;
inline constexpr std::size_t kTrayBalloonTextUnits = 256;

// How many of the `length` units of `text` go into a field of `fieldUnits` units.
template <typename Unit>
std::size_t FittingUtf16Length(const Unit* text, std::size_t length, std::size_t fieldUnits) {
    if (fieldUnits == 0) return 0;
    if (length < fieldUnits) return length;
    std::size_t keep = fieldUnits - 1;
    if (keep == 0) return 0;
    const auto last = static_cast<unsigned>(text[keep - 1]) & 0xFFFFu;
    // A high surrogate as the last unit kept would lose the low half that follows it.
    if (last >= 0xD800u && last <= 0xDBFFu) --keep;
    return keep;
}

} // namespace vantaro
