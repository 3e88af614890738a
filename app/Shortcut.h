#pragma once
// The shell shortcut that the About button leaves on the desktop. Every failure is silent:
// the caller learns only whether the link file was saved.

#include "platform/Removal.h"

#include <string>

namespace vantaro {

// Saves a link to `targetPath` named after the product in the user's desktop folder (or Start
// menu); true when the link file was saved, and then its path in `savedPath` when one is given.
bool CreateShortcut(const std::string& targetPath, bool onDesktop, std::string* savedPath = nullptr);

// Deletes the link file at `linkPath` when it points at `targetPath` (letter case aside).
Removal RemoveShortcut(const std::string& linkPath, const std::string& targetPath);

// Deletes the desktop shortcut that CreateShortcut saves there, when it still points at
// `targetPath` (letter case aside); a link of that name that points elsewhere is not ours and stays.
Removal RemoveDesktopShortcut(const std::string& targetPath);

// The save itself, on a thread where COM is initialised. A link path that does not fit the
// platform's path limit is refused, not cut short.
bool SaveShellLink(const std::string& linkPath, const std::string& targetPath);

} // namespace vantaro
