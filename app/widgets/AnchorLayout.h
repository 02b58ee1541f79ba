// The window's layout: each control keeps the place the design gives it in twips, and when its
// container is larger than the design, its edges follow the extra width and height by given
// shares (a grid takes all of it, a button beside it moves with the right edge, two pictures
// side by side split it). At the design size every control stands exactly where it always
// has, and the design size is the container's minimum, so nothing is ever cut or overlaps.
#pragma once

#include <QLayout>
#include <QRect>
#include <memory>
#include <optional>
#include <vector>

namespace mirolanda::app {

struct TwipsRect {
    int Left, Top, Width, Height;
};

// Shares (0 to 1) of the container's extra width and height by which a control's left edge
// moves (X), its top edge moves (Y), and its width and height grow.
struct Follow {
    double X = 0, Y = 0, Width = 0, Height = 0;
};

inline constexpr Follow kStay{};
inline constexpr Follow kGrow{0, 0, 1, 1};
inline constexpr Follow kGrowWidth{0, 0, 1, 0};
inline constexpr Follow kRight{1, 0, 0, 0};
inline constexpr Follow kBottom{0, 1, 0, 0};
inline constexpr Follow kBottomRight{1, 1, 0, 0};
inline constexpr Follow kBottomGrowWidth{0, 1, 1, 0};

class AnchorLayout final : public QLayout {
    Q_OBJECT
public:
    // The design size is that of the container at the window's design size; without one the
    // controls' extent plus their smallest left and top margins is taken, and the least size
    // is the extent alone.
    explicit AnchorLayout(QWidget* parent, std::optional<TwipsRect> design = std::nullopt);
    ~AnchorLayout() override;

    void Add(QWidget* widget, TwipsRect rect, Follow follow = kStay);

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        std::unique_ptr<QLayoutItem> Item;
        QRect Design;  // pixels
        Follow Shares;
    };
    // The given design size; without one the controls' extent, with or without the margins.
    QSize DesignSize(bool withMargins) const;

    std::vector<Entry> entries_;
    std::optional<QSize> design_;
};

}  // namespace mirolanda::app
