#pragma once
// The Phone dialog's port table as a report-style list view: whole rows selected, one at most.

#include "workflow/PortTable.h"

#include <windows.h>

namespace vantaro {

class Win32PortTable final : public PortTable {
public:
    explicit Win32PortTable(HWND listView) : listView_(listView) {}

    void SetColumns(const std::vector<std::string>& headings) override;
    void Clear() override;
    void SetRow(int row, const std::vector<std::string>& cells) override;
    int SelectedRow() const override;
    void SelectRow(int row) override;

private:
    HWND listView_;
    int columns_ = 0;
};

} // namespace vantaro
