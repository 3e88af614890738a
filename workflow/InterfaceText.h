#pragma once
// The captions and status messages that Setting.ini holds per language.

#include <array>

namespace vantaro {

struct CaptionKey {
    const char* key;
    int controlId;
};

// The fourteen captions, in the order they are applied.
extern const std::array<CaptionKey, 14> kCaptionKeys;

// Status message keys. Each defaults to the key itself, except "pleaseset", which defaults to "".
namespace message {
inline constexpr char kPleaseSet[] = "pleaseset";
inline constexpr char kSaveSet[] = "saveset";
inline constexpr char kInSetupDriver[] = "insetupdriver";
inline constexpr char kModemSetSu[] = "modemsetsu";
inline constexpr char kConnecting[] = "conectting";
inline constexpr char kConnectSuccess[] = "connectsucess";
inline constexpr char kInTimeout[] = "intimeout";
inline constexpr char kDisconnecting[] = "disconnecting";
inline constexpr char kDisconnectSuccess[] = "dissucess";
} // namespace message

} // namespace vantaro
