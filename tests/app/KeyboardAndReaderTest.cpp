// The window without a mouse and through a screen reader: Tab reaches every enabled control of
// every tab page and dialog and never stays in a grid, Ctrl+Tab and Ctrl+PageDown switch the
// main tabs from anywhere, and every control has an accessible name.
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <set>

#include "WindowFixture.h"
#include "app/calendar/CalFrm.h"
#include "app/calendar/CalendarTab.h"
#include "app/holdings/BuyFrm.h"
#include "app/holdings/HoldingsTab.h"
#include "app/settings/SettingsTab.h"

namespace mirolanda::app::test {
namespace {

// The controls below `root` that Tab should reach: shown, enabled and taking the focus by Tab.
// Of a group of option buttons Tab reaches the chosen one; the arrow keys choose another.
std::set<QWidget*> Reachable(QWidget* root) {
    std::set<QWidget*> controls;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (auto* option = qobject_cast<QRadioButton*>(w); option && !option->isChecked()) continue;
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) controls.insert(w);
    }
    return controls;
}

// The focus in `window` after each of `presses` Tabs, starting where it is.
std::vector<QWidget*> WalkTabs(QWidget* window, int presses) {
    std::vector<QWidget*> visited;
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        visited.push_back(window->focusWidget());
    }
    return visited;
}

QStringList Names(const std::vector<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* w : widgets) names.push_back(w->objectName());
    return names;
}

// Makes the pages that hold `control` the current ones of their tab widgets.
void Reveal(QWidget* control) {
    for (QWidget* p = control; p->parentWidget(); p = p->parentWidget()) {
        if (!qobject_cast<QStackedWidget*>(p->parentWidget())) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(p->parentWidget()->parentWidget())) tabs->setCurrentWidget(p);
    }
}

QString Describe(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// Checks that walking Tab from the focus reaches every control of `page`.
void ExpectTabReachesAll(QWidget* page, const QString& where) {
    const std::set<QWidget*> expected = Reachable(page);
    const std::vector<QWidget*> visited = WalkTabs(page->window(), static_cast<int>(expected.size()) * 3 + 10);
    for (QWidget* control : expected) {
        EXPECT_NE(std::find(visited.begin(), visited.end(), control), visited.end())
            << where.toStdString() << ": Tab never reaches " << Describe(control).toStdString();
    }
}

class KeyboardTest : public WindowTest {
protected:
    MainFrm& Shown() {
        MainFrm& w = Open();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    QTabWidget* Tabs() const { return Control<QTabWidget>(QStringLiteral("TabMain")); }
};

TEST_F(KeyboardTest, TabReachesEveryControlOfEveryTabPageAndLeavesTheGrids) {
    MainFrm& w = Shown();
    for (int tab = 0; tab < Tabs()->count(); ++tab) {
        Tabs()->setCurrentIndex(tab);
        QWidget* page = Tabs()->currentWidget();
        // Each inner page once (the settings, holdings and bonus tabs have them), or the page itself.
        std::vector<std::pair<QTabWidget*, int>> inner{{nullptr, 0}};
        if (auto* pages = page->findChild<QTabWidget*>()) {
            inner.clear();
            for (int i = 0; i < pages->count(); ++i) inner.emplace_back(pages, i);
        }
        for (auto [pages, index] : inner) {
            if (pages) pages->setCurrentIndex(index);
            QString where = Tabs()->tabText(tab) + (pages ? " / " + pages->tabText(index) : QString());
            Tabs()->tabBar()->setFocus();
            ExpectTabReachesAll(page, where);
            ExpectTabReachesAll(&w, where);  // the status area's controls too
        }
    }
    // From the grid of the download tab, one Tab goes on to the download button.
    Tabs()->setCurrentIndex(0);
    Control<QAbstractItemView>(QStringLiteral("FgFix"))->setFocus();
    EXPECT_EQ(Names(WalkTabs(&w, 1)), QStringList({"CmdGetData"}));
}

TEST_F(KeyboardTest, TheDialogsFocusTheirFieldsInTheOrderShown) {
    MainFrm& w = Shown();
    Tabs()->setCurrentIndex(1);
    w.Holdings()->CmdBuyAdd_Click();
    BuyFrm* buy = w.Holdings()->BuyDialog();
    Find<QLineEdit>(buy, QStringLiteral("TxtMeigaraCode"))->setFocus();
    EXPECT_EQ(Names(WalkTabs(buy, 6)), QStringList({"TxtBuyDate", "TxtKakaku", "TxtNum", "CmdOK", "CmdNo", "TxtMeigaraCode"}));
    buy->reject();

    Find<QPushButton>(w.Calendar(), QStringLiteral("CmdCalAdd"))->click();
    CalFrm* holiday = w.Calendar()->HolidayDialog();
    Find<QLineEdit>(holiday, QStringLiteral("TxtMmDd"))->setFocus();
    EXPECT_EQ(Names(WalkTabs(holiday, 4)), QStringList({"TxtName", "CmdOK", "CmdNG", "TxtMmDd"}));
    holiday->reject();
}

TEST_F(KeyboardTest, CtrlTabAndCtrlPageDownSwitchTabsFromAGridAndAField) {
    Shown();
    struct Case {
        const char* focus;  // the control that has the focus
        int from;
        QKeyCombination keys;
        int to;
    };
    const Case cases[] = {
        {"FgFix", 0, Qt::CTRL | Qt::Key_Tab, 1},
        {"FgFix", 0, Qt::CTRL | Qt::Key_PageDown, 1},
        {"FgBuy", 1, Qt::CTRL | Qt::Key_PageUp, 0},
        {"FgBuy", 1, Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 0},
        {"TxtQuoteSiteUrl", 3, Qt::CTRL | Qt::Key_PageDown, 4},
        {"FgClender", 3, Qt::CTRL | Qt::Key_Tab, 4},
        {"TxtChartCode", 4, Qt::CTRL | Qt::Key_Tab, 0},  // wraps round
    };
    for (const Case& c : cases) {
        Tabs()->setCurrentIndex(c.from);
        auto* control = Control<QWidget>(QString::fromLatin1(c.focus));
        Reveal(control);
        Tabs()->setCurrentIndex(c.from);
        control->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), control) << c.focus;
        QTest::keyClick(control, c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_EQ(Tabs()->currentIndex(), c.to) << c.focus;
    }
}

// What a screen reader says for a control: its name through Qt's accessibility.
QString AccessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

TEST_F(KeyboardTest, EveryControlHasAnAccessibleNameAndEveryButtonAndTabAnAccelerator) {
    MainFrm& w = Shown();
    w.Holdings()->CmdBuyAdd_Click();
    w.Holdings()->BuyDialog()->reject();
    Find<QPushButton>(w.Calendar(), QStringLiteral("CmdCalAdd"))->click();
    w.Calendar()->HolidayDialog()->reject();
    std::vector<QWidget*> roots{&w, w.Holdings()->BuyDialog(), w.Calendar()->HolidayDialog()};
    int checked = 0;
    for (QWidget* root : roots) {
        for (QWidget* control : root->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || control->focusProxy() || control->window() != root) continue;
            if (qobject_cast<QTabBar*>(control)) continue;  // its tabs are named below
            ++checked;
            EXPECT_FALSE(AccessibleName(control).trimmed().isEmpty()) << Describe(control).toStdString();
        }
    }
    EXPECT_GT(checked, 60);

    for (QTabWidget* tabs : w.findChildren<QTabWidget*>()) {
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs->tabBar());
        ASSERT_EQ(bar->childCount(), tabs->count() + 2);  // the tabs, then the two scroll buttons
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_FALSE(bar->child(i)->text(QAccessible::Name).isEmpty()) << tabs->tabText(i).toStdString();
            EXPECT_TRUE(tabs->tabText(i).contains(QStringLiteral("(&"))) << tabs->tabText(i).toStdString();
        }
    }
    // The dialogs' OK and ｷｬﾝｾﾙ answer Enter and Esc.
    for (QPushButton* button : w.findChildren<QPushButton*>()) {
        if (button->window() != &w) continue;
        EXPECT_TRUE(button->text().contains(QStringLiteral("(&"))) << Describe(button).toStdString();
    }

    // The grids give their cells: the download's first issue by row and column.
    Control<QPushButton>(QStringLiteral("CmdGetData"))->click();
    ASSERT_TRUE(WaitForDownload());
    auto* grid = QAccessible::queryAccessibleInterface(Control<QAbstractItemView>(QStringLiteral("FgFix")));
    ASSERT_NE(grid->tableInterface(), nullptr);
    ASSERT_GT(grid->tableInterface()->rowCount(), 0);
    EXPECT_FALSE(grid->tableInterface()->cellAt(0, 0)->text(QAccessible::Name).isEmpty());
}

}  // namespace
}  // namespace mirolanda::app::test
