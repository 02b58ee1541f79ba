// A table of UTF-8 text cells: a column count, an optional heading row and data rows.
// The domain fills and reads these; the window shows them through a thin item model.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::platform {

class Table {
public:
    using Row = std::vector<std::string>;

    explicit Table(int columns = 0) : columns_(columns) {}

    int ColumnCount() const { return columns_; }
    // Changing the column count keeps the rows, padded or cut to the new width.
    void SetColumnCount(int columns);

    bool HasHeading() const { return hasHeading_; }
    const Row& Heading() const { return heading_; }
    void SetHeading(Row heading);

    // Removes the heading and every row; the column count stays.
    void Clear();
    // Removes the data rows only.
    void ClearRows() { rows_.clear(); }

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const Row& RowAt(int row) const { return rows_.at(static_cast<size_t>(row)); }
    const std::vector<Row>& Rows() const { return rows_; }
    std::vector<Row>& MutableRows() { return rows_; }

    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);

    // Appends a row, padded with empty cells or cut to the column count.
    void AddRow(Row cells);
    // Appends a row given as tab-separated text.
    void AddTabbedRow(std::string_view tabbed);
    void InsertRow(int before, Row cells);
    void RemoveRow(int row);

private:
    void Fit(Row& row) const;

    int columns_;
    bool hasHeading_ = false;
    Row heading_;
    std::vector<Row> rows_;
};

}  // namespace mirolanda::platform
