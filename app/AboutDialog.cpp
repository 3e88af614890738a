#include "app/AboutDialog.h"

namespace vantaro {

namespace {
// The language list holds "Chinese" then "English".
constexpr int kChineseLanguageItem = 0;
} // namespace

void ShowAboutDialog(int languageSelection, HWND owner) {
    if (languageSelection == kChineseLanguageItem) {
        ChineseAboutDialog dialog;
        dialog.DoModal(owner);
    } else {
        EnglishAboutDialog dialog;
        dialog.DoModal(owner);
    }
}

} // namespace vantaro
