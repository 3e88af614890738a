#pragma once
// Where the About button's shortcut is saved: the chosen shell folder, "//", the product name,
// upper-cased in the ANSI code page, then ".lnk". The shell supplies the folders and the code
// page supplies the lead-byte test; the rule itself knows nothing of either.

#include "platform/TextRules.h"

#include <string>

namespace vantaro {

// The product name that names the shortcut file.
inline constexpr char kShortcutName[] = "Harbelle";
inline constexpr char kShortcutExtension[] = ".lnk";

// Latin letters become capitals; a two-byte character is copied whole, so a trail byte that
// happens to be a lowercase ASCII letter is left alone.
std::string UpperCaseAnsi(const std::string& text, LeadByteTest isLeadByte);

// A folder that could not be resolved is empty, and the path then begins with "//".
std::string BuildLinkPath(const std::string& desktopFolder, const std::string& startMenuFolder, bool onDesktop,
                          LeadByteTest isLeadByte);

} // namespace vantaro
