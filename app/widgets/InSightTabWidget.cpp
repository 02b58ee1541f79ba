#include "app/widgets/InSightTabWidget.h"

#include <QProxyStyle>
#include <QStyleOptionTab>
#include <QTabBar>

namespace mirolanda::app {
namespace {

// Qt elides a caption with an accelerator 「設定(&O)」 by a width that counts the '&' it does
// not draw, so a tab exactly wide enough for its caption showed 「設定(…」. A caption that
// fits the room the style gives it, measured as drawn, is drawn whole.
class WholeCaptionTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    void initStyleOption(QStyleOptionTab* option, int index) const override {
        QTabBar::initStyleOption(option, index);
        const QString whole = tabText(index);
        const int room = style()->subElementRect(QStyle::SE_TabBarTabText, option, this).width();
        if (fontMetrics().size(Qt::TextShowMnemonic, whole).width() <= room) option->text = whole;
    }
};

// The style sizes a tab and places its caption by this one metric, so the tab and its
// caption's room agree (as they would not with a style sheet's padding).
class CaptionMarginStyle final : public QProxyStyle {
public:
    explicit CaptionMarginStyle(int margin) : margin_(margin) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) return margin_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int margin_;
};

}  // namespace

InSightTabWidget::InSightTabWidget(QWidget* parent, int captionMargin) : QTabWidget(parent) {
    auto* bar = new WholeCaptionTabBar(this);
    auto* style = new CaptionMarginStyle(captionMargin);
    style->setParent(bar);
    bar->setStyle(style);
    setTabBar(bar);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

}  // namespace mirolanda::app
