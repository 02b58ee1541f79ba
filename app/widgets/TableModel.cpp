#include "app/widgets/TableModel.h"

#include <QFont>

#include <QHeaderView>
#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <QTableView>

#include "app/widgets/Twips.h"

namespace mirolanda::app {
namespace {

// Widens a view's columns in proportion while the view is wider than their widths, so that a
// grown grid has no empty band at its right; never narrower than the widths it remembers.
class ColumnFitter final : public QObject {
public:
    explicit ColumnFitter(QTableView* view) : QObject(view), view_(view) {
        setObjectName(QStringLiteral("ColumnFitter"));
        view->viewport()->installEventFilter(this);
    }
    void Remember() {
        base_.clear();
        for (int c = 0; view_->model() && c < view_->model()->columnCount(); ++c) {
            if (!view_->isColumnHidden(c)) base_.emplace_back(c, view_->columnWidth(c));
        }
        Fit();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) Fit();
        return false;
    }

private:
    void Fit() {
        int total = 0;
        for (const auto& [column, width] : base_) total += width;
        if (total <= 0) return;
        const double scale = std::max(1.0, static_cast<double>(view_->viewport()->width()) / total);
        for (const auto& [column, width] : base_) view_->setColumnWidth(column, static_cast<int>(width * scale));
    }

    QTableView* view_;
    std::vector<std::pair<int, int>> base_;  // column, width in pixels
};

}  // namespace

void KeepColumnWidths(QTableView* view) {
    auto* fitter = view->findChild<ColumnFitter*>(QStringLiteral("ColumnFitter"), Qt::FindDirectChildrenOnly);
    if (!fitter) fitter = new ColumnFitter(view);
    fitter->Remember();
}

TableModel::TableModel(platform::Table* table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}

void TableModel::Reload() {
    beginResetModel();
    backgrounds_.clear();
    rowNotes_.clear();
    endResetModel();
}

void TableModel::SetColumnWidthTwips(int column, int twips) { widths_[column] = twips; }

void TableModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    alignments_[column] = alignment;
    if (rowCount() > 0 && column < columnCount()) emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

void TableModel::ConfigureView(QTableView* view) const {
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(Px(255));
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setHighlightSections(false);
    view->setWordWrap(false);
    // Tab leaves the grid for the next control; the arrow keys move between its cells.
    view->setTabKeyNavigation(false);
    for (const auto& [column, twips] : widths_) {
        view->setColumnHidden(column, twips == 0);
        if (twips > 0) view->setColumnWidth(column, Px(twips));
    }
    KeepColumnWidths(view);
}

void TableModel::SetCellBackground(int row, int column, const QColor& color) {
    backgrounds_[{row, column}] = color;
    if (row >= 0 && row < rowCount() && column >= 0 && column < columnCount()) {
        emit dataChanged(index(row, column), index(row, column), {Qt::BackgroundRole});
    }
}

QColor TableModel::CellBackground(int row, int column) const {
    auto it = backgrounds_.find({row, column});
    return it == backgrounds_.end() ? QColor() : it->second;
}

void TableModel::SetRowNote(int row, const QString& note) {
    rowNotes_[row] = note;
    if (row >= 0 && row < rowCount() && columnCount() > 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QString TableModel::RowNote(int row) const {
    auto it = rowNotes_.find(row);
    return it == rowNotes_.end() ? QString() : it->second;
}

void TableModel::ClearBackgrounds() {
    backgrounds_.clear();
    if (rowCount() > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
    }
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_->RowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_->ColumnCount();
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const auto& row = table_->RowAt(index.row());
    if (static_cast<size_t>(index.column()) >= row.size()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(row[static_cast<size_t>(index.column())]);
    case Qt::BackgroundRole: {
        QColor color = CellBackground(index.row(), index.column());
        return color.isValid() ? QVariant(color) : QVariant();
    }
    case Qt::ForegroundRole: {
        QColor color = CellBackground(index.row(), index.column());
        return color.isValid() ? QVariant(ContrastingText(color)) : QVariant();
    }
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString note = RowNote(index.row());
        return note.isEmpty() ? QVariant() : QVariant(note);
    }
    case Qt::FontRole: {
        if (RowNote(index.row()).isEmpty()) return {};
        QFont font;
        font.setItalic(true);
        return font;
    }
    case Qt::TextAlignmentRole: {
        auto it = alignments_.find(index.column());
        return it == alignments_.end() ? QVariant() : QVariant(static_cast<int>(it->second));
    }
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (!table_->HasHeading() || section < 0 || static_cast<size_t>(section) >= table_->Heading().size()) return {};
    return QString::fromStdString(table_->Heading()[static_cast<size_t>(section)]);
}

void MarkedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant own = index.data(Qt::BackgroundRole);
    if (!(option.state & QStyle::State_Selected) || !own.canConvert<QColor>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem unselected(option);
    unselected.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, unselected, index);
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

QColor ContrastingText(const QColor& background) {
    // Perceived brightness (ITU-R BT.601 weights).
    const double brightness = 0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue();
    return brightness < 140 ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace mirolanda::app
