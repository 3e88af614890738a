#pragma once
// The Phone dialog's port table in memory: headings, rows of cells and the selected row.

#include "workflow/PortTable.h"

#include <string>
#include <vector>

namespace vantaro::testing {

class FakePortTable final : public PortTable {
public:
    void SetColumns(const std::vector<std::string>& headings) override { columns = headings; }
    void Clear() override {
        rows.clear();
        selected = -1;
    }
    void SetRow(int row, const std::vector<std::string>& cells) override {
        if (row < 0 || row > static_cast<int>(rows.size())) {
            ++outOfRangeWrites;
            return;
        }
        if (row == static_cast<int>(rows.size())) rows.push_back(cells);
        else rows[static_cast<std::size_t>(row)] = cells;
    }
    int SelectedRow() const override { return selected; }
    void SelectRow(int row) override { selected = row >= 0 && row < static_cast<int>(rows.size()) ? row : -1; }

    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    int selected = -1;
    int outOfRangeWrites = 0;
};

} // namespace vantaro::testing
