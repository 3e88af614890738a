#include "workflow/ApnMemory.h"

#include "modem/ModemInstaller.h"
#include "platform/TextRules.h"
#include "providers/NetworkId.h"
#include "settings/IniDocument.h"

namespace vantaro {

namespace {

constexpr char kApnKey[] = "apn";
constexpr std::size_t kShortestIccid = 18;
constexpr std::size_t kLongestIccid = 20;

// Sections named by an ICCID, each with its "apn" holding an APN the init string carries; blank
// lines and notes. Anything else was not written here and is not trusted.
bool IsWellFormed(const IniDocument& document) {
    if (document.Text().find('\0') != std::string::npos) return false;
    for (const IniDocument::SectionView& section : document.Outline()) {
        if (section.hasHeader && !IsIccid(std::string(section.name))) return false;
        for (const IniDocument::KeyView& key : section.keys) {
            if (!key.name.empty() && key.name.front() == ';') continue;
            if (!section.hasHeader || !EqualsIgnoringAsciiCase(key.name, kApnKey)) return false;
            if (!key.hasValue || !IsApnText(std::string(key.value))) return false;
        }
    }
    return true;
}

} // namespace

bool IsIccid(const std::string& iccid) {
    return iccid.size() >= kShortestIccid && iccid.size() <= kLongestIccid && providers::AllDigits(iccid);
}

bool ApnMemory::ReadText(std::string& text) {
    text.clear();
    switch (file_.Read(text)) {
    case UsageFile::ReadResult::Missing: text.clear(); return true;
    case UsageFile::ReadResult::Failed: return false;
    case UsageFile::ReadResult::Read: break;
    }
    if (IsWellFormed(IniDocument(text))) return true;
    text.clear();
    // Started again whether or not the damaged file could be moved: a write replaces it whole.
    file_.SetAside();
    return true;
}

std::string ApnMemory::Remembered(const std::string& iccid) {
    std::string text;
    if (!IsIccid(iccid) || !ReadText(text)) return {};
    return IniDocument(std::move(text)).Get(iccid, kApnKey).value_or("");
}

bool ApnMemory::Remember(const std::string& iccid, const std::string& apn) {
    std::string text;
    if (!IsIccid(iccid) || apn.empty() || !IsApnText(apn) || !ReadText(text)) return false;
    IniDocument document(std::move(text));
    if (document.Get(iccid, kApnKey) == apn) return true;
    document.Set(iccid, kApnKey, apn);
    return file_.Replace(document.Text());
}

} // namespace vantaro
