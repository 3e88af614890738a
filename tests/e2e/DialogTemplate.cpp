#include "e2e/DialogTemplate.h"

#include "platform/win32/CodePage.h"
#include "platform/win32/UniqueHandle.h"

#include <cstring>

namespace vantaro::e2e {

namespace {

// Walks the template's words; any read past the end marks the reader as failed.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

    bool Failed() const { return failed_; }

    WORD Word() {
        if (offset_ + 2 > size_) return Fail<WORD>();
        WORD value = 0;
        std::memcpy(&value, data_ + offset_, 2);
        offset_ += 2;
        return value;
    }
    DWORD Dword() {
        const WORD low = Word();
        const WORD high = Word();
        return MAKELONG(low, high);
    }
    short Short() { return static_cast<short>(Word()); }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && !failed_; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    // A name or an ordinal: 0 is none, 0xFFFF is followed by the ordinal, else a string.
    void NameOrOrdinal(std::optional<WORD>& ordinal, std::wstring& name) {
        const WORD first = Word();
        if (first == 0) return;
        if (first == 0xFFFF) {
            ordinal = Word();
            return;
        }
        name = static_cast<wchar_t>(first);
        name += String();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }
    void Skip(std::size_t bytes) {
        if (offset_ + bytes > size_) Fail<int>();
        else offset_ += bytes;
    }

private:
    template <typename T>
    T Fail() {
        failed_ = true;
        offset_ = size_;
        return T{};
    }

    const BYTE* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

} // namespace

std::optional<DialogTemplate> LoadDialogTemplate(const std::string& path, int id, WORD language) {
    UniqueHmodule module(
        ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return std::nullopt;
    HRSRC found = ::FindResourceExA(module.get(), MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(id), language);
    if (!found) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module.get(), found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    TemplateReader reader(static_cast<const BYTE*>(data), ::SizeofResource(module.get(), found));

    DialogTemplate dialog;
    dialog.style = reader.Dword();
    // An extended template starts with the words 1, 0xFFFF where a plain one has its style.
    if (HIWORD(dialog.style) == 0xFFFF) {
        dialog.extended = true;
        return dialog;
    }
    reader.Dword();  // extended style
    const WORD count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.width = reader.Short();
    dialog.height = reader.Short();
    std::optional<WORD> ordinal;
    std::wstring name;
    reader.NameOrOrdinal(ordinal, name);  // menu
    reader.NameOrOrdinal(ordinal, name);  // class
    dialog.title = Utf8FromWide(reader.String());
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.font = Utf8FromWide(reader.String());
    }
    for (WORD i = 0; i < count && !reader.Failed(); ++i) {
        reader.AlignToDword();
        DialogTemplateItem item;
        item.style = reader.Dword();
        item.extendedStyle = reader.Dword();
        item.x = reader.Short();
        item.y = reader.Short();
        item.width = reader.Short();
        item.height = reader.Short();
        item.id = static_cast<short>(reader.Word());
        std::optional<WORD> classAtom;
        std::wstring className;
        reader.NameOrOrdinal(classAtom, className);
        item.classAtom = classAtom.value_or(0);
        item.className = Utf8FromWide(className);
        std::wstring title;
        reader.NameOrOrdinal(item.titleOrdinal, title);
        item.title = Utf8FromWide(title);
        reader.Skip(reader.Word());  // creation data
        dialog.items.push_back(item);
    }
    if (reader.Failed()) return std::nullopt;
    return dialog;
}

} // namespace vantaro::e2e
