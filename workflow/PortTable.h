#pragma once
// The Phone dialog's list of ports: a table of text cells, one row per port, one selected row
// at most. The Win32 side is a report-style list view.

#include <string>
#include <vector>

namespace vantaro {

class PortTable {
public:
    PortTable() = default;
    PortTable(const PortTable&) = delete;
    PortTable& operator=(const PortTable&) = delete;
    virtual ~PortTable() = default;

    virtual void SetColumns(const std::vector<std::string>& headings) = 0;
    virtual void Clear() = 0;
    // The cells of one row; a row one past the last is added.
    virtual void SetRow(int row, const std::vector<std::string>& cells) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    virtual void SelectRow(int row) = 0;
};

} // namespace vantaro
