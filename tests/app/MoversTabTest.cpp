// The tab 「ランキング」 under the offscreen platform: the data date's newest stored day at first
// sight, the ranking and segment chosen, a day without prices said on the status line, and Enter
// or a double click on a row asking for its chart.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "HistoryTabFixture.h"
#include "app/movers/MoversTab.h"
#include "market/MemoryHistory.h"
#include "support/TempFolder.h"

namespace mirolanda::app {
namespace {

using testing::TempFolder;
using test::FakeWindow;

// Two days before the data date (2024-05-17): three rises, one fall, two segments.
std::shared_ptr<market::MemoryHistory> History() {
    auto history = std::make_shared<market::MemoryHistory>();
    auto add = [&](const platform::Date& day, std::vector<std::tuple<int, market::Tenths, const char*>> quotes) {
        market::DaySnapshot snapshot{day, "jquants", {}};
        for (auto [code, close, segment] : quotes) {
            snapshot.Rows.push_back({code, "銘柄" + std::to_string(code), {day, close, close, close, close, 100, std::nullopt, 1.0},
                                     segment, ""});
        }
        history->AddDay(snapshot);
    };
    add({2024, 5, 15}, {{1301, 1000, "プライム"}, {1332, 1000, "スタンダード"}, {7203, 1000, "プライム"}, {9984, 1000, "プライム"}});
    add({2024, 5, 16}, {{1301, 1100, "プライム"}, {1332, 1200, "スタンダード"}, {7203, 1050, "プライム"}, {9984, 900, "プライム"}});
    return history;
}

struct MoversTabTest : test::HistoryTabFixture<MoversTab> {
    MoversTabTest() : HistoryTabFixture(History()) {}
    template <typename W>
    W* Control(const char* name) { return tab.findChild<W*>(QString::fromLatin1(name)); }
    QString Cell(int row, int column) {
        return Control<QTableView>("FgMovers")->model()->index(row, column).data().toString();
    }
    int Rows() { return Control<QTableView>("FgMovers")->model()->rowCount(); }
};

TEST_F(MoversTabTest, ShowsTheNewestStoredDayAndTheChosenRankingAndSegment) {
    EXPECT_EQ(Control<QDateEdit>("DtpMoversDate")->date(), QDate(2024, 5, 16)) << "the 17th is not stored yet";
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(QStringList({Cell(0, 1), Cell(1, 1), Cell(2, 1)}), QStringList({"1332", "1301", "7203"}));
    EXPECT_EQ(Cell(0, 5), QStringLiteral("20.00"));
    EXPECT_EQ(Control<QTableView>("FgMovers")->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("騰落率(%)"));

    Control<QComboBox>("CmbMoversKind")->setCurrentIndex(1);  // 値下がり率
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("9984"));

    Control<QComboBox>("CmbMoversKind")->setCurrentIndex(0);
    auto* segment = Control<QComboBox>("CmbMoversSegment");
    ASSERT_EQ(segment->count(), 3);
    segment->setCurrentIndex(segment->findText(QStringLiteral("プライム")));
    EXPECT_EQ(QStringList({Cell(0, 1), Cell(1, 1)}), QStringList({"1301", "7203"}));

    Control<QDateEdit>("DtpMoversDate")->setDate(QDate(2024, 5, 17));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(services.status.back(), QStringLiteral("2024/05/17 の株価はデータベースにありません"));
}

TEST_F(MoversTabTest, EnterAndADoubleClickOnARowAskForItsChart) {
    QSignalSpy asked(&tab, &MoversTab::ChartRequested);
    auto* grid = Control<QTableView>("FgMovers");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 2));
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).value<market::IssueCode>(), market::IssueCode(1301));

    const QRect cell = grid->visualRect(grid->model()->index(2, 1));
    // A double click as a mouse gives it: a click, then the second press that doubles it.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(asked.count(), 2);
    EXPECT_EQ(asked.last().at(0).value<market::IssueCode>(), market::IssueCode(7203));
}

TEST(MoversTabWithoutDatabase, SaysSoOnTheStatusLine) {
    TempFolder temp;
    FakeWindow services{temp.Path(), {{2024, 5, 17}, 21, 0}};
    MoversTab tab{services, [] { return std::shared_ptr<const market::MarketHistory>(); }};
    tab.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
    ASSERT_FALSE(services.status.empty());
    EXPECT_TRUE(services.status.back().startsWith(QStringLiteral("株価のデータベースがありません")));
}

}  // namespace
}  // namespace mirolanda::app
