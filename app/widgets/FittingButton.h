// A push button whose caption is always drawn whole. Design places are fixed in twips, and a
// caption with its accelerator 「…(&X)」 in a wide desktop font can be wider than the place the
// style leaves for it: the caption is then drawn in a smaller font, down to three quarters of
// the button's own size, rather than cut.
#pragma once

#include <QFont>
#include <QPushButton>

namespace mirolanda::app {

class FittingButton : public QPushButton {
    Q_OBJECT
public:
    explicit FittingButton(const QString& caption, QWidget* parent = nullptr);

    // The font the caption is drawn in at the button's present size and caption.
    QFont CaptionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont CaptionFont(const QStyleOptionButton& option) const;
};

}  // namespace mirolanda::app
