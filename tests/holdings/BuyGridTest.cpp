// The holdings grid: current price, rise rate as shown, and which rows the alerts mark.
#include <gtest/gtest.h>

#include "MemoryHistory.h"
#include "holdings/BuyData.h"
#include "holdings/BuyGrid.h"
#include "holdings/History.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda::holdings {
namespace {

using platform::Table;
using test::MakeRecord;
using test::MemoryHistory;

TEST(BuyGridTest, RiseRateHasTwoDecimalsAndNoLeadingZero) {
    EXPECT_EQ(FormatRiseRate(0), ".00");
    EXPECT_EQ(FormatRiseRate(0.5), ".50");
    EXPECT_EQ(FormatRiseRate(100), "100.00");
    EXPECT_EQ(FormatRiseRate(1234.5), "1234.50");
    EXPECT_EQ(FormatRiseRate(129.996), "130.00");
    EXPECT_EQ(FormatRiseRate(-0.5), "-.50");
    EXPECT_EQ(FormatRiseRate(-100), "-100.00");
}

TEST(BuyGridTest, NoHoldingsGivesTheHeadingOnly) {
    MemoryHistory history;
    BuyGrid grid = UpdateBuyGrid(Table(kBuyColumns), history, {});
    ASSERT_TRUE(grid.Grid.HasHeading());
    EXPECT_EQ(grid.Grid.Heading(), (Table::Row{"コード", "買値", "株価", "上昇率"}));
    EXPECT_EQ(grid.Grid.RowCount(), 0);
    EXPECT_TRUE(grid.Marks.empty());
    EXPECT_FALSE(grid.AnyMarked());
}

struct GridCase {
    const char* what;
    std::string price;        // purchase price cell as typed
    int32_t close;            // newest stored close; -1: no history file
    BuyAlertSettings alerts;
    std::string shownCurrent;
    std::string shownRate;
    BuyAlert alert;
};

BuyAlertSettings Alerts(bool up, std::string upPercent, bool down, std::string downPercent) {
    return {up, std::move(upPercent), 65280, down, std::move(downPercent), 255};
}

TEST(BuyGridTest, RowsAndAlertsFollowTheRates) {
    const BuyAlertSettings defaults;
    const GridCase cases[] = {
        {"30% up meets the default rise", "350", 455, defaults, "455", "130.00", BuyAlert::Up},
        {"equality meets the fall test", "1000", 700, defaults, "700", "70.00", BuyAlert::Down},
        {"just below the rise threshold", "1000", 1299, defaults, "1299", "129.90", BuyAlert::None},
        {"rate compared as shown", "100000", 129996, defaults, "129996", "130.00", BuyAlert::Up},
        {"both checks off", "1000", 5000, Alerts(false, "130", false, "70"), "5000", "500.00", BuyAlert::None},
        {"both met: fall colour wins", "1000", 1000, Alerts(true, "50", true, "150"), "1000", "100.00",
         BuyAlert::Down},
        {"no history file", "1000", -1, defaults, "0", ".00", BuyAlert::Down},
        {"decimal price as typed", "350.5", 701, defaults, "701", "200.00", BuyAlert::Up},
        {"price with a unit", "350円", 350, defaults, "350", "100.00", BuyAlert::None},
        {"price 0: no rate, no alert", "0", 500, defaults, "500", "", BuyAlert::None},
        {"rise threshold not a number", "1000", 2000, Alerts(true, "abc", true, "70"), "2000", "200.00",
         BuyAlert::None},
        {"fall threshold not a number", "1000", 100, Alerts(true, "130", true, ""), "100", "10.00", BuyAlert::None},
        {"threshold with a percent sign", "1000", 2000, Alerts(true, "130%", false, "70"), "2000", "200.00",
         BuyAlert::None},
        {"threshold with blanks", "1000", 2000, Alerts(true, " 130 ", false, "70"), "2000", "200.00",
         BuyAlert::Up},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryHistory history;
        if (c.close >= 0) history.Records[1301] = MakeRecord("極洋", "2001/05/18", {c.close, 1});
        Table holdings(kBuyColumns);
        holdings.AddRow({"1301", "極洋", "2001/05/17", c.price, "1000"});
        BuyGrid grid = UpdateBuyGrid(holdings, history, c.alerts);
        ASSERT_EQ(grid.Grid.RowCount(), 1);
        EXPECT_EQ(grid.Grid.RowAt(0), (Table::Row{"1301", c.price, c.shownCurrent, c.shownRate}));
        EXPECT_EQ(grid.Marks[0].Alert, c.alert);
        std::optional<uint32_t> colour;
        if (c.alert == BuyAlert::Up) colour = c.alerts.UpColour;
        if (c.alert == BuyAlert::Down) colour = c.alerts.DownColour;
        EXPECT_EQ(grid.Marks[0].CodeColour, colour);
        EXPECT_EQ(grid.AnyMarked(), c.alert != BuyAlert::None);
    }
}

TEST(BuyGridTest, EveryHoldingIsOneRowInTableOrder) {
    MemoryHistory history;
    history.Records[1301] = MakeRecord("A", "2001/05/18", {500});
    history.Records[7203] = MakeRecord("B", "2001/05/18", {300});
    Table holdings(kBuyColumns);
    holdings.AddRow({"7203", "B", "2001/05/18", "300", "1"});
    holdings.AddRow({"1301", "A", "2001/05/18", "250", "1"});
    holdings.AddRow({"1301", "A", "2001/05/18", "1000", "1"});
    BuyAlertSettings alerts;
    alerts.UpColour = 0x123456;
    alerts.DownColour = 0x654321;
    BuyGrid grid = UpdateBuyGrid(holdings, history, alerts);
    ASSERT_EQ(grid.Grid.RowCount(), 3);
    EXPECT_EQ(grid.Grid.Cell(0, kGridRate), "100.00");
    EXPECT_EQ(grid.Grid.Cell(1, kGridRate), "200.00");
    EXPECT_EQ(grid.Grid.Cell(2, kGridRate), "50.00");
    EXPECT_EQ(grid.Marks[0].CodeColour, std::nullopt);
    EXPECT_EQ(grid.Marks[1].CodeColour, 0x123456u);
    EXPECT_EQ(grid.Marks[2].CodeColour, 0x654321u);
    EXPECT_EQ(history.Reads, 3);  // one history read per holding, nothing cached
}


TEST(BuyGridTest, ADamagedHistoryFileBlanksItsRowOnlyAndIsNamed) {
    mirolanda::testing::TempFolder dir;
    quotes::StoreDayPrice(dir.Path(), 1301, "極洋", "2001/05/17", 400);
    mirolanda::testing::WriteAll(dir / "7203.dat", "short");  // not a 3,700-byte record
    Table holdings(kBuyColumns);
    holdings.AddRow({"7203", "トヨタ", "2001/05/08", "300", "100"});
    holdings.AddRow({"1301", "極洋", "2001/05/07", "200", "1000"});

    BuyGrid grid = UpdateBuyGrid(holdings, HistoryFolder(dir.Path()), {});
    ASSERT_EQ(grid.Grid.RowCount(), 2);
    EXPECT_EQ(grid.Grid.RowAt(0), (Table::Row{"7203", "300", "", ""}));
    EXPECT_EQ(grid.Grid.RowAt(1), (Table::Row{"1301", "200", "400", "200.00"}));
    EXPECT_EQ(grid.Marks[0].Alert, BuyAlert::None);
    EXPECT_EQ(grid.Marks[1].Alert, BuyAlert::Up);
    ASSERT_EQ(grid.Problems.size(), 1u);
    EXPECT_NE(grid.Problems[0].find("7203.dat"), std::string::npos);
}

}  // namespace
}  // namespace mirolanda::holdings

namespace mirolanda::holdings {
namespace {

TEST(BuyGridTest, TheRateAcrossASplitUsesThePurchasePriceAdjustedUpToTheCurrentClose) {
    struct Case {
        const char* what;
        std::string bought, price;
        std::vector<market::Split> splits;
        int32_t close;
        std::string shownRate;
        BuyAlert alert;
        std::string note;  // a part of the tooltip; "" for none
    } cases[] = {
        {"1→5 after the purchase", "2001/05/17", "1000", {{1301, {2001, 5, 18}, 5, "jquants"}}, 201, "100.50",
         BuyAlert::None, "2001/05/18 1→5 分割。上昇率は買値 200 円として計算しています"},
        {"ex-date on the purchase day: bought after it", "2001/05/18", "1000", {{1301, {2001, 5, 18}, 5, "user"}}, 201,
         "20.10", BuyAlert::Down, ""},
        {"ex-date after the current close: not yet", "2001/05/10", "1000", {{1301, {2001, 5, 21}, 5, "user"}}, 1001,
         "100.10", BuyAlert::None, ""},
        {"two splits multiply", "2001/01/05", "600",
         {{1301, {2001, 2, 1}, 2, "user"}, {1301, {2001, 3, 1}, 3, "user"}}, 130, "130.00", BuyAlert::Up,
         "2001/02/01 1→2 分割、2001/03/01 1→3 分割"},
        {"a 10→1 consolidation", "2001/05/01", "100", {{1301, {2001, 5, 18}, 0.1, "user"}}, 1000, "100.00",
         BuyAlert::None, "10→1 併合"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::MemoryHistory history;
        history.Records[1301] = test::MakeRecord("極洋", "2001/05/18", {c.close});
        platform::Table holdings(kBuyColumns);
        holdings.AddRow({"1301", "極洋", c.bought, c.price, "1000"});
        const BuyGrid grid = UpdateBuyGrid(holdings, history, {}, [&](const market::IssueCode&) { return c.splits; });
        EXPECT_EQ(grid.Grid.Cell(0, kGridPrice), c.price);  // shown as stored
        EXPECT_EQ(grid.Grid.Cell(0, kGridRate), c.shownRate);
        EXPECT_EQ(grid.Marks[0].Alert, c.alert);
        if (c.note.empty()) EXPECT_EQ(grid.Marks[0].SplitNote, "");
        else EXPECT_NE(grid.Marks[0].SplitNote.find(c.note), std::string::npos) << grid.Marks[0].SplitNote;
    }
}

}  // namespace
}  // namespace mirolanda::holdings
