// The holdings tab as a user drives it: add, edit and delete through the purchase dialog with
// the file checked after each, the dialog's refusals in their order, the chart drawn for the
// selected holding, and the alert settings' save button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <cstdlib>

#include "WindowFixture.h"
#include "app/settings/AlertSettingsPage.h"
#include "app/holdings/BuyFrm.h"
#include "painter/ChartCanvas.h"
#include "app/widgets/Dialogs.h"
#include "app/holdings/HoldingsTab.h"
#include "app/widgets/PictureArea.h"
#include "app/widgets/TableModel.h"
#include "holdings/BuyData.h"
#include "holdings/Picture.h"
#include "marketdb/MarketDb.h"
#include "platform/SjisText.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda::app {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;
using test::FakeWindow;
using Rows = std::vector<platform::Table::Row>;

class HoldingsTabTest : public ::testing::Test {
protected:
    HoldingsTabTest() : services_(folder_.Path(), {{2001, 5, 18}, 16, 0, 0}) {
        // 1301: 60 days up to 2001/05/18, rising then falling; 7203: three days, newest 1000.
        platform::Date day{2001, 3, 20};
        for (int i = 0; i < 60; ++i) {
            int32_t close = 400 + (i < 30 ? i * 3 : (60 - i) * 3) + (i % 4) * 5;
            quotes::StoreDayPrice(Folders().StockData, 1301, "極洋", platform::FormatSlashed(day), i == 59 ? 455 : close);
            day = platform::AddDays(day, 1);
        }
        quotes::StoreDayPrice(Folders().StockData, 7203, "トヨタ自動車", "2001/05/16", 1100);
        quotes::StoreDayPrice(Folders().StockData, 7203, "トヨタ自動車", "2001/05/17", 1050);
        quotes::StoreDayPrice(Folders().StockData, 7203, "トヨタ自動車", "2001/05/18", 1000);
    }

    platform::Folders Folders() const { return services_.CurrentFolders(); }
    std::filesystem::path HoldingsFile() const { return holdings::BuyDataPath(Folders().Setting); }

    HoldingsTab& Open(const char* content = nullptr) {
        if (content) {
            std::filesystem::create_directories(Folders().Setting);
            WriteAll(HoldingsFile(), platform::Utf8ToSjis(content));
        }
        tab_ = std::make_unique<HoldingsTab>(services_);
        tab_->resize(800, 400);
        tab_->LoadAtStartup();
        return *tab_;
    }
    std::string FileText() const { return platform::SjisToUtf8(ReadAll(HoldingsFile())); }
    BuyFrm* Dialog() const { return tab_->BuyDialog(); }
    // Controls of the tab and of the purchase dialog, by name.
    QPushButton* Button(const char* name) const { return test::Find<QPushButton>(tab_.get(), name); }
    QLineEdit* Box(const char* name) const { return test::Find<QLineEdit>(Dialog(), name); }
    QPushButton* DialogButton(const char* name) const { return test::Find<QPushButton>(Dialog(), name); }
    QLabel* NameLabel() const { return test::Find<QLabel>(Dialog(), "LblMeigaraName"); }
    QTableView* Grid() const { return test::Find<QTableView>(tab_.get(), "FgBuy"); }
    TableModel* GridModel() const { return qobject_cast<TableModel*>(Grid()->model()); }
    // Fills the dialog's boxes and presses OK.
    void Confirm(const QString& code, const QString& date, const QString& price, const QString& shares) {
        Box("TxtMeigaraCode")->setText(code);
        Box("TxtBuyDate")->setText(date);
        Box("TxtKakaku")->setText(price);
        Box("TxtNum")->setText(shares);
        DialogButton("CmdOK")->click();
    }
    void Select(int row) { Grid()->setCurrentIndex(GridModel()->index(row, 0)); }
    std::vector<std::string> GridColumn(int column) const {
        std::vector<std::string> cells;
        for (int r = 0; r < tab_->Grid().RowCount(); ++r) cells.push_back(tab_->Grid().Cell(r, column));
        return cells;
    }

    TempFolder folder_;
    FakeWindow services_;
    std::unique_ptr<HoldingsTab> tab_;
};

// The dialog's frame is centred on the window's; its frame is known once it has been shown.
TEST_F(HoldingsTabTest, ThePurchaseDialogOpensCentredOverTheWindow) {
    services_.window.setGeometry(100, 80, 600, 400);
    Open();
    Button("CmdBuyAdd")->click();
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->reject();
    Button("CmdBuyAdd")->click();
    EXPECT_EQ(Dialog()->frameGeometry().center(), services_.window.frameGeometry().center());
}

// A split between the purchase and the current close: the rate is taken across it, the row is
// marked in italics and its tooltip names the split; the other row is left as it was.
TEST_F(HoldingsTabTest, ARateAcrossASplitIsMarkedAndItsTooltipNamesTheSplit) {
    const std::filesystem::path database = folder_.Path() / "Market.sqlite3";
    services_.live.Set({{&settings::keys::MarketDatabase, database.string()}});
    marketdb::MarketDb(database).RecordSplit({market::IssueCode(1301), {2001, 4, 10}, 2.0, "user"});
    Open("1301,\"極洋\",\"2001/03/20\",1000,1000\r\n7203,\"トヨタ自動車\",\"2001/05/16\",1000,100\r\n");
    EXPECT_EQ(tab_->Grid().RowAt(0), (platform::Table::Row{"1301", "1000", "455", "91.00"}));
    const QModelIndex split = GridModel()->index(0, holdings::kGridRate);
    EXPECT_NE(split.data(Qt::ToolTipRole).toString().indexOf(QStringLiteral("2001/04/10 1→2 分割")), -1)
        << split.data(Qt::ToolTipRole).toString().toStdString();
    EXPECT_TRUE(split.data(Qt::FontRole).value<QFont>().italic());
    const QModelIndex plain = GridModel()->index(1, holdings::kGridRate);
    EXPECT_FALSE(plain.data(Qt::ToolTipRole).isValid());
    EXPECT_FALSE(plain.data(Qt::FontRole).isValid());
}

TEST_F(HoldingsTabTest, AddEditDeleteKeepTableGridAndFileTogether) {
    Open();
    EXPECT_EQ(tab_->Holdings().RowCount(), 0);
    EXPECT_EQ(tab_->Grid().RowCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(HoldingsFile()));

    Button("CmdBuyAdd")->click();
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->windowTitle(), "購入データ");
    EXPECT_EQ(DialogButton("CmdOK")->text(), "OK");
    EXPECT_EQ(Box("TxtBuyDate")->text(), "2001/05/18");  // today, from the clock
    Confirm("1301", "2001/3/20", "350.5", "1000");
    EXPECT_FALSE(Dialog()->isVisible());
    ASSERT_EQ(tab_->Holdings().RowCount(), 1);
    EXPECT_EQ(tab_->Holdings().Cell(0, holdings::kBuyDate), "2001/03/20");
    EXPECT_EQ(tab_->Holdings().Cell(0, holdings::kBuyPrice), "350.5");  // as typed until the next start
    EXPECT_EQ(FileText(), "1301,\"極洋\",\"2001/03/20\",350,1000\r\n");
    EXPECT_EQ(tab_->Grid().RowAt(0), (platform::Table::Row{"1301", "350.5", "455", "129.81"}));

    Button("CmdBuyAdd")->click();
    EXPECT_EQ(Box("TxtMeigaraCode")->text(), "");  // a fresh add starts reset
    Confirm("7203", "2001/05/17", "1000", "100");
    EXPECT_EQ(FileText(), "1301,\"極洋\",\"2001/03/20\",350,1000\r\n7203,\"トヨタ自動車\",\"2001/05/17\",1000,100\r\n");

    // Edit: double-clicking the second holding opens it in update mode with its five values.
    Select(1);
    tab_->FgBuy_DblClick();
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(DialogButton("CmdOK")->text(), "更新");
    EXPECT_EQ(Box("TxtMeigaraCode")->text(), "7203");
    // The name as the history file gave it at entry, padded; the file stores it trimmed.
    EXPECT_EQ(NameLabel()->text(), QString::fromStdString(tab_->Holdings().Cell(1, holdings::kBuyName)));
    EXPECT_EQ(NameLabel()->text().trimmed(), "トヨタ自動車");
    EXPECT_EQ(Box("TxtBuyDate")->text(), "2001/05/17");
    EXPECT_EQ(Box("TxtKakaku")->text(), "1000");
    EXPECT_EQ(Box("TxtNum")->text(), "100");
    Box("TxtNum")->setText("300");
    DialogButton("CmdOK")->click();
    EXPECT_EQ(FileText(), "1301,\"極洋\",\"2001/03/20\",350,1000\r\n7203,\"トヨタ自動車\",\"2001/05/17\",1000,300\r\n");

    // Cancel after changing a box leaves row and file alone.
    Select(0);
    Button("CmdBuyMod")->click();
    Box("TxtKakaku")->setText("1");
    DialogButton("CmdNo")->click();
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_EQ(tab_->Holdings().Cell(0, holdings::kBuyPrice), "350.5");

    // Delete: the four-line question; No keeps everything, Yes removes the row.
    Select(0);
    services_.dialogs.answerYes = false;
    Button("CmdBuyDel")->click();
    EXPECT_EQ(services_.dialogs.shown.back().Title, "削除の確認");
    EXPECT_EQ(services_.dialogs.shown.back().Default, DefaultButton::No) << "Enter must never delete a holding";
    EXPECT_EQ(services_.dialogs.shown.back().Text,
              "銘柄コード:1301\r銘柄名:" + QString::fromStdString(tab_->Holdings().Cell(0, holdings::kBuyName)) +
                  "\r購入日:2001/03/20\rのデータを削除してもよろしいですか？");
    EXPECT_EQ(tab_->Holdings().RowCount(), 2);
    services_.dialogs.answerYes = true;
    Select(0);
    Button("CmdBuyDel")->click();
    EXPECT_EQ(FileText(), "7203,\"トヨタ自動車\",\"2001/05/17\",1000,300\r\n");
    EXPECT_EQ(GridColumn(holdings::kGridCode), (std::vector<std::string>{"7203"}));
    Select(0);
    Button("CmdBuyDel")->click();
    EXPECT_EQ(ReadAll(HoldingsFile()), "");
    EXPECT_EQ(tab_->Grid().RowCount(), 0);
    EXPECT_TRUE(tab_->Grid().HasHeading());

    // With no holdings, edit and delete do nothing.
    size_t asked = services_.dialogs.shown.size();
    Button("CmdBuyMod")->click();
    Button("CmdBuyDel")->click();
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_EQ(services_.dialogs.shown.size(), asked);
}

TEST_F(HoldingsTabTest, DialogRefusesInOrderAndWritesNothingUntilAllPass) {
    Open();
    Button("CmdBuyAdd")->click();
    BuyFrm* d = Dialog();
    auto& dialogs = services_.dialogs;
    struct Step {
        const char* what;
        QString code, date, price, shares;
        QLineEdit* focus;
        int beeps;         // beeps so far
        size_t messages;   // messages so far
        const char* reason;  // how the words beside the fields begin: the refused field
    };
    const Step steps[] = {
        {"code without history", "abc", "", "0", "0", Box("TxtMeigaraCode"), 1, 0, "銘柄コード: "},
        {"code with a tail", "1301x", "", "0", "0", Box("TxtMeigaraCode"), 2, 0, "銘柄コード: "},
        {"empty date", "1301", "", "0", "0", Box("TxtBuyDate"), 3, 0, "購入日: "},
        {"date not stored", "1301", "2001/05/19", "0", "0", nullptr, 3, 1, ""},
        {"price 0", "1301", "2001/5/18", "0", "0", Box("TxtKakaku"), 4, 1, "購入時株価: "},
        {"price abc: no number, said why", "1301", "2001/05/18", "abc", "0", Box("TxtKakaku"), 5, 2, "購入時株価: "},
        {"price with a unit", "1301", "2001/05/18", "350円", "0", Box("TxtKakaku"), 6, 3, "購入時株価: "},
        {"shares 0", "1301", "2001/05/18", "10,000", "0", Box("TxtNum"), 7, 3, "購入株数: "},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        Confirm(s.code, s.date, s.price, s.shares);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.beeps, s.beeps);
        EXPECT_EQ(dialogs.shown.size(), s.messages);
        const QString reason = test::Find<QLabel>(d, "LblRefusal")->text();
        EXPECT_TRUE(*s.reason ? reason.startsWith(QString::fromUtf8(s.reason)) : reason.isEmpty()) << reason.toStdString();
        if (s.focus) {
            EXPECT_EQ(d->focusWidget(), s.focus);
            EXPECT_EQ(s.focus->accessibleDescription(), reason);
        }
        EXPECT_EQ(tab_->Holdings().RowCount(), 0);
        EXPECT_FALSE(std::filesystem::exists(HoldingsFile()));
    }
    EXPECT_EQ(dialogs.shown.front().Text, "該当日の株価データは存在しません");
    EXPECT_EQ(dialogs.shown.front().Icon, MessageIcon::Warning);
    EXPECT_EQ(NameLabel()->text().trimmed(), "極洋");

    EXPECT_EQ(dialogs.shown.at(1).Text.toStdString(),
              "購入単価「abc」は数として読めません。数字だけで入力してください(桁区切りのカンマと小数点は使えます)");

    // Typed with digit-group commas: kept, and shown, as the number it is.
    Confirm("1301", "2001/05/18", "10,000", "1,000");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(FileText(), "1301,\"極洋\",\"2001/05/18\",10000,1000\r\n");
}

TEST_F(HoldingsTabTest, CodeAndDateBoxesActWhenLeft) {
    Open();
    Button("CmdBuyAdd")->click();
    BuyFrm* d = Dialog();
    Box("TxtMeigaraCode")->setText("7203");
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(Box("TxtMeigaraCode"), &out);
    EXPECT_EQ(NameLabel()->text().trimmed(), "トヨタ自動車");
    Box("TxtMeigaraCode")->setText("0");
    QApplication::sendEvent(Box("TxtMeigaraCode"), &out);
    EXPECT_EQ(NameLabel()->text(), "Unknown");

    Box("TxtBuyDate")->setText("2001/5/6");
    QApplication::sendEvent(Box("TxtBuyDate"), &out);
    EXPECT_EQ(Box("TxtBuyDate")->text(), "2001/05/06");
    Box("TxtBuyDate")->setText("tomorrow");
    QApplication::sendEvent(Box("TxtBuyDate"), &out);
    QApplication::processEvents();
    EXPECT_EQ(Box("TxtBuyDate")->text(), "tomorrow");
    EXPECT_EQ(d->focusWidget(), Box("TxtBuyDate"));
}

TEST_F(HoldingsTabTest, StartupReportsDamagedLinesOnceAndLeavesTheFile) {
    const char* content =
        "1301,\"極洋\",\"2001/03/20\",350,1000\r\n"
        "1301,\"極洋\",\"2001/03/20\"\r\n"
        "7203,\"トヨタ自動車\",\"2001/05/17\",0,100\r\n";
    Open(content);
    EXPECT_EQ(tab_->Holdings().RowCount(), 2);
    ASSERT_EQ(services_.dialogs.shown.size(), 1u);
    EXPECT_TRUE(services_.dialogs.shown[0].Text.contains(QString::fromStdString(HoldingsFile().string())));
    EXPECT_TRUE(services_.dialogs.shown[0].Text.contains("2行目"));
    EXPECT_EQ(FileText(), content);
    // A purchase price of 0 in the file: no rate and no colour.
    EXPECT_EQ(GridColumn(holdings::kGridRate), (std::vector<std::string>{"130.00", ""}));
    EXPECT_TRUE(GridModel()->CellBackground(0, 0).isValid());
    EXPECT_FALSE(GridModel()->CellBackground(1, 0).isValid());
}

TEST_F(HoldingsTabTest, ADamagedHistoryFileIsReportedAndTheOtherHoldingsStillShow) {
    WriteAll(quotes::IssueFilePath(Folders().StockData, 7203), "not a history record");
    Open("1301,\"極洋\",\"2001/03/20\",350,1000\r\n7203,\"トヨタ自動車\",\"2001/05/17\",900,100\r\n");
    EXPECT_EQ(GridColumn(holdings::kGridCurrent), (std::vector<std::string>{"455", ""}));
    ASSERT_EQ(services_.dialogs.shown.size(), 1u);
    EXPECT_TRUE(services_.dialogs.shown[0].Text.contains("7203.dat"));
}

QImage Chart(HoldingsTab& tab) {
    return test::Find<PictureArea>(&tab, "PicBuy")->Shown().copy();
}

bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != Qt::white) return false;
        }
    }
    return true;
}

int CountPixels(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
}

TEST_F(HoldingsTabTest, SelectingAHoldingDrawsItsChart) {
    Open("1301,\"極洋\",\"2001/04/18\",430,1000\r\n7203,\"トヨタ自動車\",\"2001/05/17\",1000,100\r\n");
    EXPECT_TRUE(AllWhite(Chart(*tab_)));
    Select(0);
    QImage first = Chart(*tab_);
    EXPECT_FALSE(AllWhite(first));
    EXPECT_GT(CountPixels(first, QColor(255, 0, 0)), 20);  // purchase line and day marker
    EXPECT_GT(CountPixels(first, QColor(128, 128, 128)), 20);  // grid lines and month separators
    EXPECT_EQ(first.size(), test::Find<PictureArea>(tab_.get(), "PicBuy")->contentsRect().size());

    Select(1);
    QImage second = Chart(*tab_);
    EXPECT_FALSE(AllWhite(second));
    EXPECT_NE(first, second);
    Select(0);
    EXPECT_EQ(Chart(*tab_), first);  // redrawn from scratch: nothing of the other chart stays

    ASSERT_TRUE(first.save(QString::fromStdString((folder_ / "chart.png").string())));
    if (const char* keep = std::getenv("MIROLANDA_CHART_PNG")) first.save(QString::fromUtf8(keep));
    // For a look at the whole tab on a real display (run under Xvfb).
    if (const char* keep = std::getenv("MIROLANDA_TAB_PNG")) {
        tab_->show();
        QApplication::processEvents();
        tab_->grab().save(QString::fromUtf8(keep));
    }
}

TEST_F(HoldingsTabTest, ASelectedAlertRowKeepsItsColourWithReadableText) {
    // 1301 at 455 against 350 has risen 130%: its code cell is green; 7203 is not marked.
    Open("1301,\"極洋\",\"2001/03/20\",350,1000\r\n7203,\"トヨタ自動車\",\"2001/05/17\",1000,100\r\n");
    const QModelIndex code = GridModel()->index(0, holdings::kGridCode);
    ASSERT_EQ(GridModel()->CellBackground(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(GridModel()->data(code, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    tab_->show();
    Select(0);
    QApplication::processEvents();
    const QImage shown = Grid()->viewport()->grab().toImage();
    const QRect cell = Grid()->visualRect(code);
    int green = 0, selection = 0;
    const QColor highlight = Grid()->palette().color(QPalette::Highlight);
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor pixel = shown.pixelColor(x, y);
            green += pixel == QColor(0, 255, 0) ? 1 : 0;
            selection += pixel == highlight ? 1 : 0;
        }
    }
    const int area = cell.width() * cell.height();
    EXPECT_GT(green, area / 2) << "the alert colour shows through the selection";
    EXPECT_GT(selection, 0) << "and the selection is still marked";
}

TEST(ChartCanvasTest, OnAHighDpiScreenTheChartIsDrawnWithEveryDevicePixel) {
    test::App();
    quotes::IssueRecord record;
    for (size_t i = 0; i < 40; ++i) {
        platform::Date day = platform::AddDays({2001, 5, 18}, -static_cast<int>(i));
        record.Days[i] = {platform::FormatSlashed(day), static_cast<int32_t>(500 + (i % 5) * 20)};
    }
    auto draw = [&](qreal ratio) {
        QImage image(QSize(400, 225) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        painter::ChartCanvas canvas(image);
        EXPECT_DOUBLE_EQ(canvas.Width(), 400 * 15.0) << "the chart's units do not depend on the ratio";
        holdings::DrawBuyChart(canvas, record, "2001/04/20", 1301, 520);
        return image;
    };
    const QImage plain = draw(1);
    const QImage sharp = draw(2);
    ASSERT_EQ(sharp.size(), plain.size() * 2);
    // The same chart over the whole double-size image: ink in its right and bottom quarters too.
    auto ink = [](const QImage& image, QRect part) {
        int count = 0;
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
        return count;
    };
    EXPECT_GT(ink(sharp, QRect(600, 0, 200, 450)), ink(plain, QRect(300, 0, 100, 225)));
    EXPECT_GT(ink(sharp, QRect(0, 340, 800, 110)), ink(plain, QRect(0, 170, 400, 55)));
}

TEST(AlertColours, TextTakesTheColourThatReadsOnTheBackground) {
    const std::pair<QColor, QColor> cases[] = {
        {QColor(0, 255, 0), Qt::black}, {QColor(255, 0, 0), Qt::white},   {QColor(0, 0, 255), Qt::white},
        {QColor(255, 255, 0), Qt::black}, {QColor(40, 40, 40), Qt::white}, {QColor(230, 230, 230), Qt::black}};
    for (const auto& [background, text] : cases) EXPECT_EQ(ContrastingText(background), text) << background.name().toStdString();
}

TEST_F(HoldingsTabTest, AHoldingThatReachesItsThresholdIsToldOnceWhenItCrosses) {
    Open("7203,\"トヨタ自動車\",\"2001/05/17\",1000,100\r\n");
    EXPECT_TRUE(tab_->RefreshAndFindCrossings().empty()) << "100%: no alert";
    quotes::StoreDayPrice(Folders().StockData, 7203, "トヨタ自動車", "2001/05/18", 1312);
    std::vector<CrossedAlert> crossed = tab_->RefreshAndFindCrossings();
    ASSERT_EQ(crossed.size(), 1u);
    EXPECT_EQ(crossed[0].Title, "値上がりの通知");
    EXPECT_EQ(crossed[0].Text, "7203 トヨタ自動車 上昇率 131.2%");
    EXPECT_TRUE(tab_->RefreshAndFindCrossings().empty()) << "still above: not told again";
    quotes::StoreDayPrice(Folders().StockData, 7203, "トヨタ自動車", "2001/05/18", 690);
    crossed = tab_->RefreshAndFindCrossings();
    ASSERT_EQ(crossed.size(), 1u);
    EXPECT_EQ(crossed[0].Title, "値下がりの通知");
    EXPECT_EQ(crossed[0].Text, "7203 トヨタ自動車 上昇率 69.0%");
}

TEST_F(HoldingsTabTest, AlertSettingsApplyAtTheNextRebuildAndSaveOnRequest) {
    AlertSettingsPage page(services_);
    services_.page = &page;
    page.Load();
    page.DisableSave();  // as the window leaves it after loading
    auto* save = test::Find<QPushButton>(&page, "CmdBuyConfigSave");
    auto* downColour = test::Find<ColorLabel>(&page, "LblBuyColor2");
    Open("1301,\"極洋\",\"2001/03/20\",350,1000\r\n");
    EXPECT_EQ(GridModel()->CellBackground(0, 0), QColor(0, 255, 0));

    test::Find<QLineEdit>(&page, "TxtBuyUpPercent")->setText("140");
    EXPECT_TRUE(save->isEnabled());
    // The grid keeps its colours until it is rebuilt.
    EXPECT_EQ(GridModel()->CellBackground(0, 0), QColor(0, 255, 0));
    tab_->RefreshBuyGrid();
    EXPECT_FALSE(GridModel()->CellBackground(0, 0).isValid());

    save->click();
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(services_.Settings().Stored(settings::keys::BuyUpNum), "140");

    // A cancelled colour picker keeps the colour and still counts as a change.
    services_.dialogs.color.reset();
    emit downColour->clicked();  // the click of the label
    EXPECT_EQ(downColour->Bgr(), 255u);
    EXPECT_TRUE(save->isEnabled());
    services_.dialogs.color = QColor(0, 0, 255);
    emit downColour->clicked();  // the click of the label
    save->click();
    EXPECT_EQ(services_.Settings().Stored(settings::keys::BuyDownColor), std::to_string(0xFF0000));
}

}  // namespace
}  // namespace mirolanda::app
