// The bonus tab and the intraday viewer as a user drives them, offscreen, against the market
// simulator: the list request, chart creation of a selected range with its questions and
// messages, the double click, browsing, the intraday update with a failure part-way, and
// pictures that cannot be read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTableView>

#include "WindowFixture.h"
#include "app/bonus/BonusTab.h"
#include "app/widgets/Dialogs.h"
#include "app/widgets/Controls.h"
#include "app/holdings/IntradayView.h"
#include "app/widgets/PictureArea.h"
#include "holdings/BuyGrid.h"
#include "holdings/History.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "tools/Market.h"
#include "tools/SimPublisher.h"

namespace mirolanda::app {
namespace {

using testing::SimProcess;
using testing::TempFolder;
using testing::WriteAll;
using test::FakeWindow;
namespace fs = std::filesystem;

// The bonus pages' window: every host at the simulator, a direct connection and a user name
// with blanks around it; questions are answered yes unless a test says no.
struct BonusWindow : FakeWindow {
    BonusWindow(const fs::path& root, const std::string& url) : FakeWindow(root, {{2026, 5, 20}, 16, 0, 0}) {
        SetUrl(url);
        namespace keys = settings::keys;
        live.Set({{&keys::ConnectionMode, "1"}, {&keys::UserName, " user "}, {&keys::UserSign, "sign"}});
        dialogs.answerYes = true;
    }
};

bool Blank(PictureArea* picture) {
    const QImage& image = picture->Shown();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

class BonusTabSim : public ::testing::Test {
protected:
    explicit BonusTabSim(std::vector<std::string> faults = {})
        : sim_(Args(std::move(faults))), window_(temp_.Path(), sim_.BaseUrl()) {
        fs::create_directories(temp_ / "Omake");
        tab_ = std::make_unique<BonusTab>(window_);
        tab_->resize(800, 400);
        tab_->LoadAtStartup();
    }
    static std::vector<std::string> Args(std::vector<std::string> faults) {
        std::vector<std::string> args{"--date", "20260520", "--seed", "3"};
        args.insert(args.end(), faults.begin(), faults.end());
        return args;
    }
    // A page's list table and its controls, by name.
    const platform::Table& List(int i) const { return tab_->List(i); }
    QTableView* FgList(int i) const { return test::Find<QTableView>(tab_.get(), Indexed("FgList", i)); }
    PictureArea* PictChrt(int i) const { return test::Find<PictureArea>(tab_.get(), Indexed("PictChrt", i)); }
    QScrollBar* Sc(int i) const { return test::Find<QScrollBar>(tab_.get(), Indexed("Sc", i)); }
    // Starts a command and waits for its end on the event loop.
    void Finish(bool started) {
        ASSERT_TRUE(started);
        EXPECT_EQ(window_.state, 1);
        EXPECT_FALSE(window_.tabsEnabled);
        QSignalSpy done(tab_.get(), &BonusTab::CommandFinished);
        ASSERT_TRUE(done.wait(20000));
        EXPECT_TRUE(window_.tabsEnabled);
    }
    void LoadList(int i) { Finish(tab_->CmdGetNewList_Click(i)); }
    // Selects rows from `from` to `to` as a drag does: the current row follows the mouse.
    void Drag(int i, int from, int to) {
        QTableView* view = FgList(i);
        auto* model = view->model();
        view->selectionModel()->setCurrentIndex(model->index(from, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->selectionModel()->select(QItemSelection(model->index(std::min(from, to), 0), model->index(std::max(from, to), 0)),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->selectionModel()->setCurrentIndex(model->index(to, 0), QItemSelectionModel::NoUpdate);
    }
    // Makes row `r` of page `i` the current one, as a click on it does.
    void SetCurrent(int i, int r) { FgList(i)->setCurrentIndex(FgList(i)->model()->index(r, 0)); }
    int Row(int i, const char* state, int from = 0) {
        for (int r = from; r < List(i).RowCount(); ++r)
            if (List(i).Cell(r, 1) == state) return r;
        return -1;
    }

    TempFolder temp_;
    SimProcess sim_;
    BonusWindow window_;
    std::unique_ptr<BonusTab> tab_;
};

TEST_F(BonusTabSim, ListRequestShowsTheServersDatesNewestFirstAndAFailureKeepsThem) {
    LoadList(1);
    auto served = tools::PublisherCharts("Long", {2026, 5, 20}, 3);
    ASSERT_EQ(List(1).RowCount(), static_cast<int>(served.size()));
    EXPECT_EQ(FgList(1)->model()->rowCount(), List(1).RowCount());
    EXPECT_EQ(List(1).Cell(0, 0), platform::FormatSlashed(served[0].Day));
    EXPECT_EQ(window_.state, 0);
    EXPECT_EQ(window_.status.back(), "");
    EXPECT_TRUE(window_.status.contains("センター接続中"));
    EXPECT_TRUE(window_.status.contains("リスト保存中 "));
    EXPECT_EQ(window_.resets, 1);

    window_.SetUrl("http://127.0.0.1:1");
    const auto before = List(1).Rows();
    LoadList(1);
    EXPECT_EQ(window_.state, -1);
    EXPECT_TRUE(window_.status.back().startsWith("Internet Error("));
    EXPECT_EQ(List(1).Rows(), before);
    // A second command cannot start while one runs.
    window_.state = 1;
    EXPECT_FALSE(tab_->CmdGetNewList_Click(0));
}

// A publisher that answers slowly, so that a command can be cancelled while it runs.
class BonusTabSlow : public BonusTabSim {
protected:
    BonusTabSlow() : BonusTabSim({"--latency-ms", "100"}) {}
};

TEST_F(BonusTabSlow, ACancelledChartCreationRemovesItsImagesAndKeepsTheLists) {
    LoadList(0);
    const auto listBefore = List(0).Rows();
    const fs::path downloaded = temp_ / "Omake/Short/List/Downloaded.txt";
    const std::string recordBefore = fs::exists(downloaded) ? testing::ReadAll(downloaded) : "none";
    QSignalSpy done(tab_.get(), &BonusTab::CommandFinished);
    ASSERT_TRUE(tab_->CmdUpdImage_Click(0));
    EXPECT_TRUE(window_.cancellable);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_.status.count("チャート保存中") >= 2; }, 20000));
    tab_->Cancel();
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(window_.status.back(), "中止しました");
    EXPECT_FALSE(window_.cancellable);
    EXPECT_EQ(window_.state, 0);
    EXPECT_EQ(List(0).Rows(), listBefore);
    EXPECT_EQ(fs::exists(downloaded) ? testing::ReadAll(downloaded) : "none", recordBefore);
    int images = 0;
    if (fs::exists(temp_ / "Omake/Short/Image")) {
        for (const auto& entry : fs::directory_iterator(temp_ / "Omake/Short/Image")) images += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(images, 0);
}

TEST_F(BonusTabSim, ASelectedRangeAsksOnceNamingItsEndsInSelectionOrder) {
    LoadList(0);
    const int last = List(0).RowCount() - 1;
    ASSERT_GE(last, 4);
    auto date = [&](int r) { return QString::fromStdString(List(0).Cell(r, 0)); };
    window_.dialogs.answerYes = false;
    Drag(0, 1, 3);
    ASSERT_TRUE(tab_->CmdGetImage_Click(0));
    Drag(0, 3, 1);
    ASSERT_TRUE(tab_->CmdGetImage_Click(0));
    ASSERT_EQ(window_.dialogs.Asks().size(), 2u);
    EXPECT_EQ(window_.dialogs.Asks()[0].Title, "最新チャートの作成");
    EXPECT_EQ(window_.dialogs.Asks()[0].Text, date(1) + "～" + date(3) + "\rの最新チャートを作成しますか？");
    EXPECT_EQ(window_.dialogs.Asks()[1].Text, date(3) + "～" + date(1) + "\rの最新チャートを作成しますか？");
    EXPECT_FALSE(fs::exists(temp_ / "Omake/Short/Image"));  // No: nothing requested

    window_.dialogs.answerYes = true;
    int expected = 0;
    for (int r = 1; r <= 3; ++r)
        if (List(0).Cell(r, 1) != "作成不可") expected += std::stoi(List(0).Cell(r, 2));
    Drag(0, 3, 1);
    Finish(tab_->CmdGetImage_Click(0));
    ASSERT_EQ(window_.dialogs.Informs().size(), 1u);
    EXPECT_EQ(window_.dialogs.Informs()[0].Title, "チャート作成完了");
    EXPECT_EQ(window_.dialogs.Informs()[0].Icon, MessageIcon::Information);
    EXPECT_EQ(window_.dialogs.Informs()[0].Text, QString::number(expected) + "枚のチャートを作成しました");
    for (int r = 1; r <= 3; ++r) EXPECT_NE(List(0).Cell(r, 1), "作成可") << r;
    EXPECT_EQ(window_.state, 0);

    // Nothing left to update in the range's rows; everything else is created by the update.
    window_.dialogs.shown.clear();
    Finish(tab_->CmdUpdImage_Click(0));
    EXPECT_EQ(window_.dialogs.Asks().back().Text, "更新可能な全てのチャートを作成しますか？");
    EXPECT_TRUE(window_.dialogs.Informs().back().Text.endsWith("枚のチャートを作成しました"));
    Finish(tab_->CmdUpdImage_Click(0));
    EXPECT_EQ(window_.dialogs.Informs().back().Text, "チャート作成は行われませんでした");
}

TEST_F(BonusTabSim, DoubleClickCreatesWithoutAskingAndShowsTheFirstImage) {
    LoadList(0);
    const int r = Row(0, "作成可");
    ASSERT_GE(r, 0);
    const int count = std::stoi(List(0).Cell(r, 2));
    SetCurrent(0, r);
    EXPECT_TRUE(Blank(PictChrt(0)));
    QSignalSpy done(tab_.get(), &BonusTab::CommandFinished);
    tab_->FgList_DblClick(0);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(window_.dialogs.Asks().empty());
    EXPECT_TRUE(window_.dialogs.Informs().empty());
    EXPECT_EQ(List(0).Cell(r, 1), "作成済");
    EXPECT_FALSE(Blank(PictChrt(0)));
    EXPECT_EQ(Sc(0)->minimum(), 1);
    EXPECT_EQ(Sc(0)->maximum(), count);
    EXPECT_EQ(Sc(0)->value(), 1);
}

TEST_F(BonusTabSim, TheButtonShowsTheNewPictureAtOnceAndAsksForARowWhenNoneIsChosen) {
    LoadList(0);
    FgList(0)->setCurrentIndex({});
    ASSERT_TRUE(tab_->CmdGetImage_Click(0));
    EXPECT_NE(window_.state, 1);  // nothing started
    ASSERT_EQ(window_.dialogs.Informs().size(), 1u);
    EXPECT_EQ(window_.dialogs.Informs()[0].Title, "最新チャートの作成");
    EXPECT_EQ(window_.dialogs.Informs()[0].Text, "行が選択されていません。チャートを作成する日付の行を選んでください。");

    const int r = Row(0, "作成可");
    ASSERT_GE(r, 0);
    SetCurrent(0, r);
    EXPECT_TRUE(Blank(PictChrt(0)));
    Finish(tab_->CmdGetImage_Click(0));
    EXPECT_EQ(List(0).Cell(r, 1), "作成済");
    EXPECT_FALSE(Blank(PictChrt(0)));
    EXPECT_EQ(Sc(0)->maximum(), std::stoi(List(0).Cell(r, 2)));
}

TEST_F(BonusTabSim, BrowsingShowsStoredImagesAndAnEmptyPictureForAnythingElse) {
    LoadList(0);
    const int created = Row(0, "作成可");
    ASSERT_GE(created, 0);
    SetCurrent(0, created);
    Finish(tab_->CmdGetImage_Click(0));
    const int count = std::stoi(List(0).Cell(created, 2));
    const std::string date = List(0).Cell(created, 0);
    const std::string date8 = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2);
    // An error page stored in place of the last image, and no file at all for the first.
    WriteAll(temp_ / "Omake/Short/Image" / (date8 + "_" + std::to_string(count) + ".jpg"), "<html>error</html>");
    fs::remove(temp_ / "Omake/Short/Image" / (date8 + "_1.jpg"));
    SetCurrent(0, created);
    tab_->FgList_EnterCell(0);
    EXPECT_TRUE(Blank(PictChrt(0)));
    EXPECT_EQ(Sc(0)->maximum(), 1);  // the first image is missing
    if (count >= 2) {
        Sc(0)->setMaximum(count);
        Sc(0)->setValue(count);
        EXPECT_TRUE(Blank(PictChrt(0)));
        EXPECT_EQ(Sc(0)->maximum(), count);
    }
    if (count >= 3) {
        Sc(0)->setValue(2);
        EXPECT_FALSE(Blank(PictChrt(0)));
    }
    // A row that can still be created: the picture stays as it is when the bar moves.
    const int open = Row(0, "作成可");
    if (open >= 0) {
        SetCurrent(0, open);
        EXPECT_TRUE(Blank(PictChrt(0)));
        EXPECT_EQ(Sc(0)->maximum(), 1);
    }
}

class BonusImagesFail : public BonusTabSim {
protected:
    // The list comes through; every image request after it is cut off mid-body.
    BonusImagesFail() : BonusTabSim({"--fault", "reset@2-"}) {}
};

TEST_F(BonusImagesFail, NoImageStoredKeepsTheRowAndLeavesTheFailedState) {
    LoadList(0);
    const int r = Row(0, "作成可");
    ASSERT_GE(r, 0);
    SetCurrent(0, r);
    Finish(tab_->CmdGetImage_Click(0));
    EXPECT_EQ(window_.dialogs.Informs().back().Text, "チャート作成は行われませんでした");
    EXPECT_EQ(List(0).Cell(r, 1), "作成可");
    EXPECT_EQ(window_.state, -1);
    EXPECT_TRUE(window_.status.back().startsWith("Internet Error(")) << window_.status.back().toStdString();
    EXPECT_FALSE(fs::exists(temp_ / "Omake/Short/List/Downloaded.txt"));
}

// The intraday update and its viewer over 51 holdings, as the holdings tab gives them: the
// holdings table, the grid's table and the grid's rebuild.
class IntradaySim : public ::testing::Test {
protected:
    explicit IntradaySim(std::vector<std::string> faults = {})
        : sim_(Args(std::move(faults))), window_(temp_.Path(), sim_.BaseUrl()), market_({3600, 1}) {
        for (const auto& issue : market_.Issues()) {
            if (holdings_.RowCount() == 51) break;
            const std::string price = std::to_string(500 + holdings_.RowCount());
            holdings_.AddRow({std::to_string(issue.Code), issue.Name, "2026/01/05", price, "1000"});
        }
        Rebuild();
        view_ = std::make_unique<IntradayView>(window_, holdings_, grid_, [this] { Rebuild(); });
        view_->resize(800, 400);
    }
    static std::vector<std::string> Args(std::vector<std::string> faults) {
        std::vector<std::string> args{"--date", "20260520"};
        args.insert(args.end(), faults.begin(), faults.end());
        return args;
    }
    void Rebuild() {
        holdings::HistoryFolder history(window_.CurrentFolders().StockData);
        grid_ = holdings::UpdateBuyGrid(holdings_, history, settings::AlertsFrom(window_.LiveSettings())).Grid;
    }
    void Update(bool ok) {
        QSignalSpy done(view_.get(), &IntradayView::UpdateFinished);
        test::Find<QPushButton>(view_.get(), "CmdOneNow(1)")->click();
        EXPECT_EQ(window_.state, 1);
        EXPECT_FALSE(window_.tabsEnabled);
        ASSERT_TRUE(done.wait(30000));
        EXPECT_EQ(done.at(0).at(0).toBool(), ok);
        EXPECT_TRUE(window_.tabsEnabled);
    }
    size_t DailyFiles() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(temp_ / "Setting/Daily"), {}));
    }
    QScrollBar* ScOne() const { return test::Find<QScrollBar>(view_.get(), "ScOne"); }
    QString Label(const char* name) const { return test::Find<QLabel>(view_.get(), name)->text(); }
    PictureArea* PictOne() const { return test::Find<PictureArea>(view_.get(), "PictOne"); }
    // Shows quote row `position` (from 1), moving the bar away first so that it redraws.
    void ShowRow(int position) {
        ScOne()->setValue(position == 1 ? 2 : 1);
        ScOne()->setValue(position);
    }
    // The grid's current price of a holding, as the last rebuild left it.
    std::string GridPrice(int row) const { return grid_.Cell(row, 2); }

    TempFolder temp_;
    SimProcess sim_;
    BonusWindow window_;
    tools::Market market_;
    platform::Table holdings_{5};
    platform::Table grid_;
    std::unique_ptr<IntradayView> view_;
};

TEST_F(IntradaySim, UpdateFilesEverythingAndTheViewerShowsTheFirstHolding) {
    Update(true);
    EXPECT_TRUE(window_.status.contains("ＹＡＨＯＯ接続－要求 1～51"));
    EXPECT_TRUE(window_.status.contains("ＹＡＨＯＯ接続－要求 51～101"));
    EXPECT_EQ(window_.status.back(), "");
    EXPECT_EQ(window_.state, 0);
    EXPECT_EQ(view_->Quotes().RowCount(), 51);
    EXPECT_EQ(DailyFiles(), 51u);
    EXPECT_EQ(ScOne()->minimum(), 1);
    EXPECT_EQ(ScOne()->maximum(), 51);
    const tools::Issue& first = market_.Issues()[0];
    const int64_t close = market_.Quote(first, {2026, 5, 20}).Close;
    EXPECT_EQ(Label("lblDayMeigara"), QString::fromStdString(std::to_string(first.Code) + "  " + view_->Quotes().Cell(0, 1)));
    EXPECT_EQ(Label("lblDayInfo"), QStringLiteral("終値 %1円  　買値 500円  (500000円→%2円)").arg(close).arg(close * 1000));
    EXPECT_FALSE(Blank(PictOne()));
    EXPECT_EQ(GridPrice(0), std::to_string(close));  // the grid was rebuilt from the filed prices

    // An image that is an error page shows an empty picture.
    const std::string link = view_->Quotes().Cell(0, 7);
    WriteAll(temp_ / "Setting/Daily" / (link.substr(0, 4) + ".gif"), "<html>404</html>");
    ShowRow(1);
    EXPECT_TRUE(Blank(PictOne()));
    // No holdings: no quote rows, and nothing is shown.
    holdings_ = platform::Table(5);
    Rebuild();
    Update(true);
    EXPECT_EQ(view_->Quotes().RowCount(), 0);
    EXPECT_TRUE(Blank(PictOne()));
    EXPECT_TRUE(Label("lblDayInfo").isEmpty());
    EXPECT_TRUE(Label("lblDayMeigara").isEmpty());
}

class IntradayFewer : public IntradaySim {
protected:
    // The first page lists only half of its fifty codes.
    IntradayFewer() : IntradaySim({"--fault", "fewer@1"}) {}
};

TEST_F(IntradayFewer, EveryHoldingIsShownAndOneTheSiteDroppedSaysSo) {
    Update(true);
    const int answered = view_->Quotes().RowCount();
    ASSERT_LT(answered, 51);
    EXPECT_EQ(ScOne()->maximum(), 51) << "one position per holding";
    int dropped = 0;
    for (int position = 1; position <= 51; ++position) {
        ShowRow(position);
        const std::string code = holdings_.Cell(position - 1, 0);
        EXPECT_TRUE(Label("lblDayMeigara").startsWith(QString::fromStdString(code))) << code;
        if (Label("lblDayInfo") == "取得できませんでした") {
            ++dropped;
            EXPECT_TRUE(Blank(PictOne())) << code;
        } else {
            EXPECT_TRUE(Label("lblDayInfo").contains(QStringLiteral("買値 %1円").arg(500 + position - 1))) << code;
        }
    }
    EXPECT_EQ(dropped, 51 - answered);
}

class IntradayThirdImageFails : public IntradaySim {
protected:
    IntradayThirdImageFails() : IntradaySim({"--fault", "http500@5-8"}) {}
};

TEST_F(IntradayThirdImageFails, LeavesTwoImagesAndAFailedState) {
    ScOne()->setRange(1, 7);
    Update(false);
    EXPECT_EQ(window_.state, -1);
    EXPECT_TRUE(window_.status.back().startsWith("Internet Error("));
    EXPECT_EQ(DailyFiles(), 2u);
    EXPECT_EQ(view_->Quotes().RowCount(), 51);
    EXPECT_EQ(GridPrice(0), "0");  // not rebuilt, though the first two prices were filed
    EXPECT_EQ(ScOne()->maximum(), 7);
}

}  // namespace
}  // namespace mirolanda::app
