#pragma once
// The texts of the roaming guard: keys of the language sections of Setting.ini, each with the
// English text used when the section lacks it.

#include "workflow/PhoneText.h"

#include <array>

namespace vantaro {

namespace roamingtext {
inline constexpr TextKey kAsk{"roamingask",
                              "The phone is roaming, on another operator's network: data may cost much more. "
                              "Dial anyway?"};
inline constexpr TextKey kDenied{"roamingdenied", "Not dialled: the phone is roaming, and Setting.ini says roaming=deny."};
// After No, and for a redial that finds the phone roaming when nobody agreed to it at Connect.
inline constexpr TextKey kDeclined{"roamingdeclined",
                                   "Not dialled: the phone is roaming, and dialling while roaming was not agreed to."};

inline constexpr std::array<TextKey, 3> kAll = {kAsk, kDenied, kDeclined};
} // namespace roamingtext

} // namespace vantaro
