#include "app/widgets/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/widgets/Twips.h"

namespace mirolanda::app {
namespace {

QRect Pixels(TwipsRect r) { return {Px(r.Left), Px(r.Top), Px(r.Width), Px(r.Height)}; }

int Share(double share, int extra) { return static_cast<int>(std::lround(share * extra)); }

// The container size at which a control that grows by `share` of the extra reaches `needed`
// (0 when its design size is enough).
int SizeFor(int design, int designPart, int needed, double share) {
    if (needed <= designPart || share <= 0) return 0;
    return design + static_cast<int>(std::ceil((needed - designPart) / share));
}

}  // namespace

AnchorLayout::AnchorLayout(QWidget* parent, std::optional<TwipsRect> design) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    if (design) design_ = QSize(Px(design->Width), Px(design->Height));
}

AnchorLayout::~AnchorLayout() = default;

void AnchorLayout::Add(QWidget* widget, TwipsRect rect, Follow follow) {
    addChildWidget(widget);
    entries_.push_back({std::make_unique<QWidgetItem>(widget), Pixels(rect), follow});
    widget->setGeometry(entries_.back().Design);
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item) { entries_.push_back({std::unique_ptr<QLayoutItem>(item), {}, kStay}); }

int AnchorLayout::count() const { return static_cast<int>(entries_.size()); }

QLayoutItem* AnchorLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)].Item.get() : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = entries_[static_cast<size_t>(index)].Item.release();
    entries_.erase(entries_.begin() + index);
    return item;
}

QSize AnchorLayout::DesignSize(bool withMargins) const {
    if (design_) return *design_;
    int right = 0, bottom = 0, left = INT_MAX, top = INT_MAX;
    for (const Entry& e : entries_) {
        right = std::max(right, e.Design.x() + e.Design.width());
        bottom = std::max(bottom, e.Design.y() + e.Design.height());
        left = std::min(left, e.Design.x());
        top = std::min(top, e.Design.y());
    }
    if (entries_.empty()) return {0, 0};
    return withMargins ? QSize(right + left, bottom + top) : QSize(right, bottom);
}

QSize AnchorLayout::sizeHint() const { return minimumSize(); }

QSize AnchorLayout::minimumSize() const {
    // The design size, or more where a growing control needs more than its design place
    // (a tab control whose bar is taller on this desktop, say).
    // The controls' extent: the margins of the design may shrink a little where the container
    // comes out a few pixels smaller (a wider tab frame, say), the controls themselves never.
    const QSize design = DesignSize(true);
    QSize minimum = DesignSize(false);
    for (const Entry& e : entries_) {
        const QWidget* w = e.Item->widget();
        if (!w || w->isHidden()) continue;
        const QSize needed = w->minimumSizeHint().expandedTo(w->minimumSize());
        if (e.Shares.Width > 0) {
            minimum.setWidth(std::max(minimum.width(), SizeFor(design.width(), e.Design.width(), needed.width(), e.Shares.Width)));
        }
        if (e.Shares.Height > 0) {
            minimum.setHeight(std::max(minimum.height(), SizeFor(design.height(), e.Design.height(), needed.height(), e.Shares.Height)));
        }
    }
    return minimum;
}

void AnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QSize design = DesignSize(true);
    const int dx = std::max(rect.width() - design.width(), 0);
    const int dy = std::max(rect.height() - design.height(), 0);
    for (const Entry& e : entries_) {
        const QRect d = e.Design;
        const QRect place(rect.x() + d.x() + Share(e.Shares.X, dx), rect.y() + d.y() + Share(e.Shares.Y, dy),
                          d.width() + Share(e.Shares.Width, dx), d.height() + Share(e.Shares.Height, dy));
        // Exactly the place given, whatever size the control's own policy would prefer.
        if (QWidget* w = e.Item->widget()) {
            w->setGeometry(place);
        } else {
            e.Item->setGeometry(place);
        }
    }
}

}  // namespace mirolanda::app
