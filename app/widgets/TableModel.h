// The one item model through which the window shows a platform::Table: the table's heading
// row as the horizontal header, its data rows as rows, per-column widths (in twips) and
// alignment, and per-cell background colours. The table itself stays owned by whoever
// fills it (the domain code works on the Table); call Reload after changing it.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "painter/Colours.h"
#include "platform/Table.h"

class QTableView;

namespace mirolanda::app {

class TableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(platform::Table* table, QObject* parent = nullptr);

    platform::Table& Table() { return *table_; }
    const platform::Table& Table() const { return *table_; }

    // Tells the views that the table was changed (rows, columns or cells); drops the colours.
    void Reload();

    // Width of a column in twips; 0 hides the column. Columns without a width keep the view's default.
    void SetColumnWidthTwips(int column, int twips);
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    // Applies widths and hidden columns to a view and sets the grid look the window uses; the
    // columns then widen in proportion as the view grows (KeepColumnWidths).
    void ConfigureView(QTableView* view) const;

    void SetCellBackground(int row, int column, const QColor& color);
    QColor CellBackground(int row, int column) const;  // invalid when none
    void ClearBackgrounds();

    // A note on a whole row: its cells shown in italics, the note as their tooltip and accessible
    // description. Reload drops the notes with the colours.
    void SetRowNote(int row, const QString& note);
    QString RowNote(int row) const;  // empty when none

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    platform::Table* table_;
    std::map<int, int> widths_;
    std::map<int, Qt::Alignment> alignments_;
    std::map<std::pair<int, int>, QColor> backgrounds_;
    std::map<int, QString> rowNotes_;
};

// Draws a selected cell that has a colour of its own (an alert) in that colour, framed in the
// selection colour, so the selection never hides the alert.
class MarkedCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Takes the view's present column widths as the least ones; while the view is wider than
// their sum, every column widens in proportion.
void KeepColumnWidths(QTableView* view);

// Black or white, whichever reads better on the background (a light theme's black text on a
// dark alert colour, or a dark theme's white text on a light one, would not).
QColor ContrastingText(const QColor& background);

// A colour stored as the decimal 0x00BBGGRR value, and back.
using painter::BgrFromColor;
using painter::ColorFromBgr;

}  // namespace mirolanda::app
