#pragma once
// The two About dialogs: the version line and the installation steps, in Chinese or English.
// They have no state and no handlers of their own; OK, Esc and the close box end them.

#include "app/Dialog.h"
#include "resources/resource.h"

namespace vantaro {

class ChineseAboutDialog final : public Dialog {
public:
    ChineseAboutDialog() : Dialog(IDD_ABOUT_CHINESE) {}
};

class EnglishAboutDialog final : public Dialog {
public:
    EnglishAboutDialog() : Dialog(IDD_ABOUT_ENGLISH) {}
};

// What the About button's shortcut points at.
inline constexpr char kAboutShortcutTarget[] = "C:\\KR_WSN.log";

// Runs the About dialog for the language list's selection: its first item (Chinese) gives the
// Chinese dialog, anything else, no selection included, the English one.
void ShowAboutDialog(int languageSelection, HWND owner);

} // namespace vantaro
