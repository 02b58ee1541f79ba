// The tab 「チャート」 under the offscreen platform: an issue found by its name, the keys moving
// the crosshair, the wheel zooming and a drag scrolling, the period switch, and the chart's
// pixels on the screen in the colours chosen on the settings page.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>

#include "HistoryTabFixture.h"
#include "app/chart/ChartTab.h"
#include "app/chart/ChartView.h"
#include "app/settings/AlertSettingsPage.h"
#include "market/MemoryHistory.h"
#include "painter/Colours.h"
#include "painter/PixelCanvas.h"
#include "settings/ChartSetup.h"
#include "settings/Keys.h"
#include "support/TempFolder.h"

namespace mirolanda::app {
namespace {

using testing::TempFolder;
using test::FakeWindow;

// 300 trading days of 7203 and one of 1301.
std::shared_ptr<market::MemoryHistory> History() {
    auto history = std::make_shared<market::MemoryHistory>();
    platform::Date day{2023, 1, 2};
    for (int i = 0; i < 300; ++i) {
        while (platform::Weekday(day) == 0 || platform::Weekday(day) == 6) day = platform::AddDays(day, 1);
        const market::Tenths close = 20000 + (i % 7) * 100;
        history->AddBar(7203, "トヨタ自動車", {day, close - 50, close + 100, close - 150, close, 1000 + i, std::nullopt, 1.0});
        day = platform::AddDays(day, 1);
    }
    history->AddBar(1301, "極洋", {{2023, 1, 4}, 30000, 30000, 30000, 30000, 10, std::nullopt, 1.0});
    return history;
}

struct ChartTabTest : test::HistoryTabFixture<ChartTab> {
    ChartTabTest() : HistoryTabFixture(History()) {}
    QLineEdit* Entry() { return tab.findChild<QLineEdit*>("TxtChartCode"); }
};

TEST_F(ChartTabTest, TypingANameOffersItsCodeAndEnterShowsTheChart) {
    // Typed as an input method hands over Japanese text: one event with the whole word.
    Entry()->setFocus();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("トヨタ"));
    QApplication::sendEvent(Entry(), &typed);
    QCompleter* completer = Entry()->completer();
    ASSERT_EQ(completer->completionCount(), 1);
    EXPECT_EQ(completer->currentCompletion(), QStringLiteral("7203 トヨタ自動車"));
    QTest::keyClick(Entry(), Qt::Key_Return);
    EXPECT_EQ(tab.View().Chart().Series.Code, market::IssueCode(7203));
    EXPECT_EQ(tab.View().Chart().Size(), 300u);
    EXPECT_EQ(tab.View().View().End(), 300u) << "the newest bars first";

    tab.findChild<QRadioButton*>("OptChartPeriod(1)")->click();
    EXPECT_EQ(tab.View().Chart().Span, charts::Period::Week);
    EXPECT_EQ(tab.View().Chart().Size(), 60u) << "300 weekdays are 60 weeks";
}

TEST_F(ChartTabTest, KeysMoveTheCrosshairTheWheelZoomsAndADragScrolls) {
    tab.Open(7203);
    ChartView& view = tab.View();
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.View().Cursor(), 299u) << "the first press: the newest bar on screen";
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.View().Cursor(), 298u);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.View().Cursor(), 0u);
    EXPECT_EQ(view.View().First(), 0u);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.View().Cursor(), 299u);

    const double width = view.View().BarWidth();
    const QPointF middle(view.width() / 2.0, view.height() / 2.0);
    QWheelEvent wheel(middle, view.mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_DOUBLE_EQ(view.View().BarWidth(), width * 1.25);

    const size_t end = view.View().End();
    QTest::mousePress(&view, Qt::LeftButton, {}, middle.toPoint());
    QMouseEvent drag(QEvent::MouseMove, middle + QPointF(100, 0), view.mapToGlobal(middle + QPointF(100, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &drag);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, (middle + QPointF(100, 0)).toPoint());
    EXPECT_EQ(view.View().End(), end - static_cast<size_t>(100 / view.View().BarWidth()))
        << "dragging to the right shows older bars";
}

// The pixels of the newest candle's upper wick and of the background just above it, as the
// view shows them now.
std::pair<QColor, QColor> NewestWickAndAbove(ChartView& view) {
    const QImage image = view.grab().toImage();
    const auto& bar = view.Chart().Series.Bars.back();
    const charts::ChartStyle style = view.Style();
    const charts::ChartLayout layout = charts::LayOut(painter::MeasuringCanvas(view.font(), view.size()));
    const charts::ChartScale scale = charts::ScaleFor(view.Chart(), view.View(), style);
    const int x = static_cast<int>(layout.PlotLeft + std::floor(view.View().CentreX(view.Chart().Size() - 1)));
    const int high = static_cast<int>(scale.PriceY(layout, static_cast<double>(bar.High)));
    const qreal ratio = image.devicePixelRatio();
    return {image.pixelColor(QPoint(x, high + 1) * ratio), image.pixelColor(QPoint(x, high - 3) * ratio)};
}

TEST_F(ChartTabTest, TheNewestCandleIsPaintedInItsColourOnThePalettesBackground) {
    tab.Open(7203);
    ChartView& view = tab.View();
    const auto& bar = view.Chart().Series.Bars.back();  // close 20,000 + 5 × 100 − 50 open: rising
    ASSERT_GT(bar.Close, bar.Open);
    const auto [wick, above] = NewestWickAndAbove(view);
    EXPECT_EQ(wick, painter::ColorFromBgr(view.Style().Colours.Up)) << "its wick";
    EXPECT_EQ(above, view.palette().color(QPalette::Base)) << "above it";
}

TEST_F(ChartTabTest, CandleColoursChosenOnTheSettingsPageAreStoredAsTheCliReadsThemAndDrawnWhenTheTabShows) {
    namespace keys = settings::keys;
    AlertSettingsPage page(services);
    services.page = &page;
    page.Load();
    page.DisableSave();  // as the window leaves it after loading
    EXPECT_FALSE(services.Settings().Stored(keys::ChartUpColor)) << "a file without the colours keeps its bytes";
    auto* save = test::Find<QPushButton>(&page, "CmdBuyConfigSave");
    auto* up = test::Find<QPushButton>(&page, "CmdChartUpColor");
    tab.Open(7203);

    services.dialogs.color.reset();
    up->click();
    EXPECT_FALSE(save->isEnabled()) << "a cancelled picker changes nothing";
    EXPECT_EQ(settings::ChartColoursFrom(services.LiveSettings()).Up, 224u);

    services.dialogs.color = QColor(0, 128, 255);
    up->click();
    ASSERT_TRUE(save->isEnabled());
    save->click();
    // The decimal 0x00BBGGRR of the alert colours, read back by `mirolanda-cli setting` and the chart command.
    EXPECT_EQ(services.Settings().Read(keys::ChartUpColor), std::to_string(0xFF8000));
    EXPECT_EQ(services.Settings().Read(keys::ChartDownColor), "12599296");
    EXPECT_EQ(settings::ChartColoursFrom(services.Settings().Current()).Up, 0xFF8000u);

    // The chart on screen takes the colour when its tab is shown again, without a new chart.
    tab.hide();
    tab.show();
    EXPECT_EQ(NewestWickAndAbove(tab.View()).first, QColor(0, 128, 255));

    test::Find<QPushButton>(&page, "CmdChartColorDefault")->click();
    save->click();
    EXPECT_EQ(services.Settings().Read(keys::ChartUpColor), "224");
    tab.hide();
    tab.show();
    EXPECT_EQ(NewestWickAndAbove(tab.View()).first, painter::ColorFromBgr(224));
}

}  // namespace
}  // namespace mirolanda::app
