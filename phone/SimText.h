#pragma once
// The texts that a SIM's files and the network's USSD replies carry, and the hex a phone shows
// their bytes in: the GSM 7-bit default alphabet (with its extension table), septets packed
// into octets, and UCS2. One table of the alphabet serves every reader, so that a SIM's name
// and a balance reply can never show the same byte as two characters.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

using Bytes = std::vector<std::uint8_t>;

// The escape that makes the next septet one of the extension table's ('€', '[', '{', ...).
inline constexpr std::uint8_t kGsmEscape = 0x1B;

// The bytes that hex digits (either letter case) spell, two digits a byte; nothing for an odd
// count or any other character. An empty text is no bytes.
std::optional<Bytes> BytesFromHex(std::string_view hex);
// The bytes as upper-case hex, two digits a byte.
std::string HexOfBytes(const Bytes& bytes);

// The septets packed into octets, lowest bit first: as many whole septets as the bits hold.
Bytes UnpackSeptets(const Bytes& octets);

// GSM 7-bit default alphabet septets as UTF-8: an escape takes its character from the
// extension table, or when it has none there, the main table's (as the alphabet wants); an
// escape at the end is nothing. A septet's top bit is ignored.
std::string Utf8FromGsmSeptets(const Bytes& septets);
// One septet (0 to 127) of the main table as UTF-8; septets beyond it are nothing.
void AppendGsmCharacter(std::string& utf8, std::uint8_t septet);

// UCS2 big-endian as UTF-8, a surrogate pair as one character; nothing for an odd count of
// bytes or a surrogate without its other half, which no text is.
std::optional<std::string> Utf8FromUcs2(const Bytes& bytes);
// The code point of UCS2 unit as UTF-8; a surrogate, which only a pair can show, is U+FFFD.
void AppendUcs2Unit(std::string& utf8, std::uint16_t unit);

} // namespace vantaro
