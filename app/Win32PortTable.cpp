#include "app/Win32PortTable.h"

#include <commctrl.h>

#include <cstddef>
#include <vector>

namespace vantaro {

namespace {

// The list view reads the column and item records by their masks, without a size field, up to
// the fields of the comctl32 version 6 forms (with the Vista additions, which the program leaves
// zero). pszText is a pointer, so the figures differ between the builds.
#if defined(_WIN64)
static_assert(sizeof(LVCOLUMNA) == 56 && offsetof(LVCOLUMNA, pszText) == 16 && offsetof(LVCOLUMNA, iSubItem) == 28);
static_assert(sizeof(LVITEMA) == 88 && offsetof(LVITEMA, state) == 12 && offsetof(LVITEMA, pszText) == 24);
#else
static_assert(sizeof(LVCOLUMNA) == 44 && offsetof(LVCOLUMNA, pszText) == 12 && offsetof(LVCOLUMNA, iSubItem) == 20);
static_assert(sizeof(LVITEMA) == 60 && offsetof(LVITEMA, state) == 12 && offsetof(LVITEMA, pszText) == 20);
#endif

// Column widths in dialog units: port, phone, SIM (wide enough for "PUK needed, 10 tries left"),
// signal, network.
constexpr int kColumnWidths[] = {30, 64, 92, 52, 74};

} // namespace

void Win32PortTable::SetColumns(const std::vector<std::string>& headings) {
    ::SendMessageA(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    while (columns_ > 0) ::SendMessageA(listView_, LVM_DELETECOLUMN, static_cast<WPARAM>(--columns_), 0);
    HWND dialog = ::GetParent(listView_);
    for (std::size_t i = 0; i < headings.size(); ++i) {
        RECT width{0, 0, i < std::size(kColumnWidths) ? kColumnWidths[i] : 50, 0};
        ::MapDialogRect(dialog, &width);
        std::vector<char> text(headings[i].begin(), headings[i].end());
        text.push_back('\0');
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = width.right;
        column.pszText = text.data();
        column.iSubItem = static_cast<int>(i);
        if (::SendMessageA(listView_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column)) >= 0) ++columns_;
    }
}

void Win32PortTable::Clear() {
    ::SendMessageA(listView_, LVM_DELETEALLITEMS, 0, 0);
}

void Win32PortTable::SetRow(int row, const std::vector<std::string>& cells) {
    const int count = static_cast<int>(::SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
    if (row < 0 || row > count) return;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::vector<char> text(cells[i].begin(), cells[i].end());
        text.push_back('\0');
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = static_cast<int>(i);
        item.pszText = text.data();
        if (i == 0 && row == count) ::SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        else ::SendMessageA(listView_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

int Win32PortTable::SelectedRow() const {
    return static_cast<int>(::SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32PortTable::SelectRow(int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

} // namespace vantaro
