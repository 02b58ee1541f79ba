#include "app/widgets/InSightTabWidget.h"

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

}  // namespace

InSightTabWidget::InSightTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new WholeCaptionTabBar(this));
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
}

}  // namespace mirolanda::app
