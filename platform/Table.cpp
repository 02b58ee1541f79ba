#include "platform/Table.h"

#include <stdexcept>

namespace mirolanda::platform {

void Table::SetColumnCount(int columns) {
    columns_ = columns;
    if (hasHeading_) Fit(heading_);
    for (auto& row : rows_) Fit(row);
}

void Table::SetHeading(Row heading) {
    Fit(heading);
    heading_ = std::move(heading);
    hasHeading_ = true;
}

void Table::Clear() {
    hasHeading_ = false;
    heading_.clear();
    rows_.clear();
}

const std::string& Table::Cell(int row, int column) const {
    return rows_.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
}

void Table::SetCell(int row, int column, std::string text) {
    rows_.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = std::move(text);
}

void Table::AddRow(Row cells) {
    Fit(cells);
    rows_.push_back(std::move(cells));
}

void Table::AddTabbedRow(std::string_view tabbed) {
    Row cells;
    size_t start = 0;
    while (true) {
        size_t tab = tabbed.find('\t', start);
        cells.emplace_back(tabbed.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    AddRow(std::move(cells));
}

void Table::InsertRow(int before, Row cells) {
    if (before < 0 || before > RowCount()) throw std::out_of_range("Table::InsertRow");
    Fit(cells);
    rows_.insert(rows_.begin() + before, std::move(cells));
}

void Table::RemoveRow(int row) {
    if (row < 0 || row >= RowCount()) throw std::out_of_range("Table::RemoveRow");
    rows_.erase(rows_.begin() + row);
}

void Table::Fit(Row& row) const {
    row.resize(static_cast<size_t>(columns_ < 0 ? 0 : columns_));
}

}  // namespace mirolanda::platform
