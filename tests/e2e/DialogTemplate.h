#pragma once
// Reads a plain (not extended) dialog template from a program's resources, as the dialog
// manager would, so a test can hold the compiled template to what it must contain.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantaro::e2e {

struct DialogTemplateItem {
    DWORD style = 0;
    DWORD extendedStyle = 0;
    short x = 0, y = 0, width = 0, height = 0;
    int id = 0;
    WORD classAtom = 0;        // 0x0080 button, 0x0082 static; 0 when the class is named
    std::string className;     // UTF-8, when named
    std::optional<WORD> titleOrdinal;  // a resource id, as an icon control has
    std::string title;         // UTF-8
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    short x = 0, y = 0, width = 0, height = 0;
    std::string title;         // UTF-8
    WORD pointSize = 0;
    std::string font;          // UTF-8
    std::vector<DialogTemplateItem> items;
};

// The template `id` in the given language of the module at `path`; nullopt when there is none
// or it cannot be read.
std::optional<DialogTemplate> LoadDialogTemplate(const std::string& path, int id, WORD language);

} // namespace vantaro::e2e
