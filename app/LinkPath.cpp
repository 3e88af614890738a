#include "app/LinkPath.h"

namespace vantaro {

std::string UpperCaseAnsi(const std::string& text, LeadByteTest isLeadByte) {
    std::string upper;
    upper.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (isLeadByte(byte) && i + 1 < text.size()) {
            upper += text[i];
            upper += text[++i];
        } else if (byte >= 'a' && byte <= 'z') {
            upper += static_cast<char>(byte - 'a' + 'A');
        } else {
            upper += text[i];
        }
    }
    return upper;
}

std::string BuildLinkPath(const std::string& desktopFolder, const std::string& startMenuFolder, bool onDesktop,
                          LeadByteTest isLeadByte) {
    const std::string& folder = onDesktop ? desktopFolder : startMenuFolder;
    return UpperCaseAnsi(folder + "//" + kShortcutName, isLeadByte) + kShortcutExtension;
}

} // namespace vantaro
