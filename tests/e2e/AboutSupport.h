#pragma once
// What the About tests share: opening the About dialog, the Wine user's desktop, and reading a
// saved shortcut back through the shell, as any other program would.

#include "e2e/ProgramState.h"
#include "e2e/UiDriver.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantaro::e2e {

inline constexpr char kAboutTitle[] = "About  Vantaro";
inline constexpr char kShortcutFile[] = "HARBELLE.lnk";

// Clicks About in the Settings dialog and gives the About dialog; null, with the program's state
// said, when it did not come.
HWND OpenAboutDialog(const VantaroProcess& vantaro, HWND settings);
// Closes the About dialog with its OK button and waits until the Settings dialog has run the
// rest of the About handler; false when either did not happen in time.
bool CloseAboutDialog(HWND about, HWND settings, UINT how = WM_COMMAND);

// Has the dialog paint itself and all its controls, then saves its pixels as a BMP.
bool SavePaintedImage(HWND dialog, const std::string& path);

// Text of a control through the wide message, as UTF-8: the same whatever the ANSI code page.
std::string WideControlText(HWND dialog, int id);

// The desktop folder of the test prefix's user, as the prefix lays it out on disk.
std::string WineDesktopFolder();
std::vector<std::string> LinkFilesIn(const std::string& folder);

struct SavedShortcut {
    bool read = false;
    std::string target;
    std::string description;
    // As the file stores it. The shell reads back any value but 1, 3 and 7 as 1 (normal), so
    // the stored value is only to be seen in the file's header.
    std::uint32_t showCommand = 0;
};
SavedShortcut ReadShortcut(const std::string& path);
// Reads the shortcut once the shell can read it, or gives up after the usual wait.
SavedShortcut WaitForShortcut(const std::string& path);

// `text` with the first `line` replaced, or a text that names the missing line.
std::string Replaced(std::string text, const std::string& line, const std::string& with);

// Setting.ini as a person left it after an earlier version: `earlier` is the delivered file with
// an administrator's APN and note, as the earlier version delivered it: one Chinese text worded
// otherwise, the last text and the last [Setting] key (with its notes) not there yet. An upgrade
// turns it into `edited`, byte for byte: the same, with this version's texts and that key.
struct EarlierSettings {
    std::string edited;
    std::string earlier;
};
EarlierSettings EarlierVersionSettings(const std::string& delivered);

} // namespace vantaro::e2e
