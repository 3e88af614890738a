#pragma once
// The Settings dialog's controls, reached by control id. Decisions about what the dialog shows
// are made against this interface; the Win32 side sends the matching window messages.
//
// Worker threads use it too. Once the dialog has ended every call does nothing and reads give
// empty results, so a worker can never touch a dialog that is gone.

#include <cstdint>
#include <string>
#include <vector>

namespace vantaro {

class DialogControls {
public:
    DialogControls() = default;
    DialogControls(const DialogControls&) = delete;
    DialogControls& operator=(const DialogControls&) = delete;
    virtual ~DialogControls() = default;

    virtual std::string GetText(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    // A text whose change no one follows (a label, a button, the status line, an edit whose
    // change notification the dialog ignores): a control that already reads it is left as it
    // is, unnotified. Reading stays in the process; under Wine a set asks the server to redraw,
    // and an edit measures its text again. An edit whose change rebuilds something else takes
    // SetText, which always notifies.
    void ShowText(int id, const std::string& text) {
        if (GetText(id) != text) SetText(id, text);
    }
    virtual void Enable(int id, bool on) = 0;

    // Combo boxes and list boxes. Index -1 means no selection.
    virtual void ResetContent(int id) = 0;
    virtual int AddString(int id, const std::string& text) = 0;
    // An item of a combo or list box and the number it carries (0 is what an item carries
    // unless told otherwise).
    struct ListItem {
        std::string text;
        std::uint32_t data = 0;
    };
    // Many items at once; the platform finds the control once for all of them and draws it
    // once they are all in.
    virtual void AddItems(int id, const std::vector<ListItem>& items) {
        for (const ListItem& item : items) {
            const int index = AddString(id, item.text);
            if (item.data != 0 && index >= 0) SetItemData(id, index, item.data);
        }
    }
    virtual void SetItemData(int id, int index, std::uint32_t data) = 0;
    virtual int GetCount(int id) const = 0;
    // The text of one item; empty for an index out of range.
    virtual std::string GetItemText(int id, int index) const = 0;
    virtual int GetCurSel(int id) const = 0;
    virtual void SetCurSel(int id, int index) = 0;

    // The plain OK behaviour: the edits' texts go to the dialog's members, then it ends with IDOK.
    virtual void EndWithOk() = 0;
    // True once the dialog has ended (or is ending); nothing reaches it any more.
    virtual bool Ended() const = 0;
};

} // namespace vantaro
