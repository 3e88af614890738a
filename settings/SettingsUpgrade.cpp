#include "settings/SettingsUpgrade.h"

#include "platform/TextRules.h"
#include "settings/IniDocument.h"
#include "settings/SettingsKeys.h"

#include <string_view>

namespace vantaro::settings {
namespace {

bool IsTextSection(std::string_view name) {
    return EqualsIgnoringAsciiCase(name, kChinese) || EqualsIgnoringAsciiCase(name, kEnglish);
}

bool IsNote(std::string_view key) { return key.empty() || key.front() == ';'; }

// A key the document does not have. It goes right after the last key of its section (the notes
// that follow that key belong to what comes after it), in that line's ending style. A line
// that names the key without a value, and a section that has no key yet, are left to Set.
void AddKey(IniDocument& document, const std::string& section, const std::string& key, const std::string& value) {
    const std::string& text = document.Text();
    for (const IniDocument::SectionView& view : document.Outline()) {
        if (!view.hasHeader || !EqualsIgnoringAsciiCase(view.name, section)) continue;
        const IniDocument::KeyView* last = nullptr;
        for (const IniDocument::KeyView& line : view.keys) {
            if (EqualsIgnoringAsciiCase(line.name, key)) return document.Set(section, key, value);
            if (!IsNote(line.name)) last = &line;
        }
        if (!last) break;
        const std::string_view tail = last->hasValue ? last->value : last->name;
        const std::size_t lineEnd = text.find('\n', static_cast<std::size_t>(tail.data() - text.data()) + tail.size());
        if (lineEnd == std::string::npos) break;
        const std::string ending = lineEnd > 0 && text[lineEnd - 1] == '\r' ? "\r\n" : "\n";
        std::string updated = text;
        updated.insert(lineEnd + 1, key + "=" + value + ending);
        document = IniDocument(std::move(updated));
        return;
    }
    document.Set(section, key, value);
}

} // namespace

std::string UpgradedSettings(const std::string& kept, const std::string& shipped) {
    IniDocument result(kept);
    const IniDocument delivered(shipped);
    for (const IniDocument::SectionView& section : delivered.Outline()) {
        // Keys before the first header are no setting that a read ever asks for.
        if (!section.hasHeader) continue;
        const std::string name(section.name);
        const bool texts = IsTextSection(section.name);
        for (const IniDocument::KeyView& key : section.keys) {
            if (!key.hasValue || IsNote(key.name)) continue;
            const std::string keyName(key.name);
            const std::optional<std::string> was = result.Get(name, keyName);
            if (!was)
                AddKey(result, name, keyName, std::string(key.value));
            else if (texts && *was != delivered.Get(name, keyName))
                result.Set(name, keyName, std::string(key.value));
        }
    }
    return result.Text();
}

} // namespace vantaro::settings
