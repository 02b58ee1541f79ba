// The page データベース of 設定・保守: the CSV folder imported into the market database on the
// worker, the bar filled, the summary shown; a rerun gives the same database.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include "WindowFixture.h"
#include "app/settings/DatabasePage.h"
#include "marketdb/MarketDb.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

namespace mirolanda::app {
namespace {

using testing::TempFolder;
using testing::WriteAll;

TEST(DatabasePage, ImportsTheCsvFolderWithItsProgressAndAgainToTheSameResult) {
    TempFolder folder;
    test::FakeWindow services(folder.Path(), {{2024, 3, 8}, 21, 0, 0});
    const std::filesystem::path csv = folder / "csv";
    const std::filesystem::path database = folder / "Market.sqlite3";
    services.live.Set({{&settings::keys::CsvDataFolder, csv.string()}, {&settings::keys::MarketDatabase, database.string()}});
    std::filesystem::create_directories(csv);
    WriteAll(csv / "20240304.csv", platform::EncodeSjisLines({"1301,\"極洋\",1000,1010,990,1005,1000",
                                                              "1332,\"ニッスイ\",800,810,790,805,2000"}));
    WriteAll(csv / "20240305.csv", platform::EncodeSjisLines({"1301,\"極洋\",1005,1010,990,1001,5000"}));
    WriteAll(csv / "notes.txt", "x");

    DatabasePage page(services);
    auto* import = test::Find<QPushButton>(&page, "CmdDbImport");
    auto* cancel = test::Find<QPushButton>(&page, "CmdDbCancel");
    auto* bar = test::Find<QProgressBar>(&page, "PrgDbImport");
    auto* label = test::Find<QLabel>(&page, "LblDbImport");
    EXPECT_FALSE(cancel->isEnabled());
    for (int run = 0; run < 2; ++run) {
        QSignalSpy done(&page, &DatabasePage::ImportFinished);
        import->click();
        EXPECT_TRUE(cancel->isEnabled());
        EXPECT_FALSE(import->isEnabled());
        ASSERT_TRUE(done.wait(10000));
        EXPECT_TRUE(import->isEnabled());
        EXPECT_FALSE(cancel->isEnabled());
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_TRUE(label->text().startsWith(QStringLiteral("2 日, 3 本を記録しました"))) << label->text().toStdString();
        const marketdb::Counts counts = marketdb::MarketDb(database).Count();
        EXPECT_EQ(counts.Days, 2);
        EXPECT_EQ(counts.Bars, 3);
    }
}

}  // namespace
}  // namespace mirolanda::app
