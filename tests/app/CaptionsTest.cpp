// Captions are whole: every button's at the window's least size, however its accelerator
// widens it, and every tab's wherever the bar has room for it.
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "WindowFixture.h"
#include "app/calendar/CalFrm.h"
#include "app/calendar/CalendarTab.h"
#include "app/holdings/BuyFrm.h"
#include "app/holdings/HoldingsTab.h"
#include "app/widgets/FittingButton.h"

namespace mirolanda::app::test {
namespace {

// Makes the pages that hold `control` the current ones of their tab widgets, so that they are
// laid out.
void Reveal(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget()) {
        auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
        if (tabs && tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
    }
}

// The room the style leaves for the button's label, and what its caption (without the '&' of
// its accelerator) and its icon take in the font the caption is drawn in.
struct Label {
    int Room;
    int Needed;
    QFont Font;
};

Label Measure(QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
    auto* fitting = qobject_cast<FittingButton*>(button);
    const QFont font = fitting ? fitting->CaptionFont() : button->font();
    int needed = QFontMetrics(font).horizontalAdvance(QString(button->text()).remove('&'));
    if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
    return {button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width(), needed, font};
}

TEST_F(WindowTest, EveryButtonCaptionIsWholeAtTheLeastSize) {
    MainFrm& w = Open();
    // The desktop's Japanese font is wider than the test platform's.
    QFont wide = w.font();
    wide.setPointSizeF(wide.pointSizeF() * 1.1);
    w.setFont(wide);
    w.resize(w.minimumSize());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Holdings()->CmdBuyAdd_Click();
    w.Holdings()->BuyDialog()->reject();
    Find<QPushButton>(w.Calendar(), QStringLiteral("CmdCalAdd"))->click();
    w.Calendar()->HolidayDialog()->reject();

    int checked = 0;
    for (QWidget* root : std::initializer_list<QWidget*>{&w, w.Holdings()->BuyDialog(), w.Calendar()->HolidayDialog()}) {
        for (QPushButton* button : root->findChildren<QPushButton*>()) {
            if (button->window() != root || button->text().isEmpty()) continue;
            Reveal(button);
            QCoreApplication::sendPostedEvents();
            const Label label = Measure(button);
            const std::string name = button->objectName().toStdString() + " " + button->text().toStdString();
            EXPECT_LE(label.Needed, label.Room) << name;
            // Smaller than three quarters of the button's own font is hard to read.
            EXPECT_GE(label.Font.pointSizeF(), button->font().pointSizeF() * 0.75 - 0.01) << name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
}

TEST_F(WindowTest, TabCaptionsAreWholeWhereTheBarHasRoom) {
    MainFrm& w = Open();
    w.resize(1280, 800);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Control<QTabWidget>("TabMain")->setCurrentIndex(3);
    for (const char* name : {"TabMain", "TabConfig"}) {
        auto* tabs = Control<QTabWidget>(name);
        QCoreApplication::sendPostedEvents();
        // Drawn as the window draws it, and with eliding off: with room for every tab, the
        // two pictures are the same.
        const QImage drawn = tabs->tabBar()->grab().toImage();
        tabs->setElideMode(Qt::ElideNone);
        QCoreApplication::sendPostedEvents();
        const QImage whole = tabs->tabBar()->grab().toImage();
        tabs->setElideMode(Qt::ElideRight);
        EXPECT_EQ(drawn, whole) << name << ": a caption is elided";
    }
}

}  // namespace
}  // namespace mirolanda::app::test
