// The main window as it comes up and goes down: every setting written at the first start,
// save buttons, caption and size, the stored position (clamped, off-screen, minimised), and
// values that cannot be read as what their control needs.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>

#include "WindowFixture.h"
#include "app/settings/AutoSettingsPage.h"
#include "app/settings/AlertSettingsPage.h"
#include "app/settings/SettingsTab.h"
#include "app/widgets/TableModel.h"
#include "settings/Keys.h"
#include "support/CliRun.h"

namespace mirolanda::app::test {
namespace {

QString KeyPath(const settings::Key& key) {
    return QString::fromUtf8(key.Section.data(), static_cast<qsizetype>(key.Section.size())) + "/" +
           QString::fromUtf8(key.Name.data(), static_cast<qsizetype>(key.Name.size()));
}

// (screen − window) / 2, in twips, rounded to whole pixels.
QPoint Centred(const QWidget& w) {
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    return QPoint(static_cast<int>(std::lround((screen.width() - w.width()) / 2.0)),
                  static_cast<int>(std::lround((screen.height() - w.height()) / 2.0)));
}

std::vector<QPushButton*> SaveButtons(MainFrm& w) {
    std::vector<QPushButton*> buttons;
    for (const char* name : {"CmdInetConfigSave", "CmdFolderConfigSave", "CmdUserInfSave", "CmdBuyConfigSave", "CmdAutoConfigSave",
                             "CmdNotifyConfigSave"}) {
        buttons.push_back(Find<QPushButton>(&w, name));
    }
    return buttons;
}

TEST_F(WindowTest, FirstStartWritesEveryKeyWithItsDefaultAndCentresTheWindow) {
    MainFrm& w = Open();
    for (const settings::Key* entry : settings::AllKeys()) {
        const settings::Key& key = *entry;
        // Written only by the automation and by downloads.
        if (key.SavedBy == settings::Group::Internal) continue;  // written by the program once it has a value
        EXPECT_TRUE(IsStored(KeyPath(key))) << key.Name;
        if (!key.Default.empty() && !key.FolderSuffix) {
            EXPECT_EQ(Stored(KeyPath(key)).toStdString(), key.Default) << key.Name;
        }
    }
    EXPECT_EQ(Stored("Parameters/StockDataFolder").toStdString(), (program / "StockData").string());
    EXPECT_EQ(Stored("Parameters/SettingFolder").toStdString(), (program / "Setting").string());
    EXPECT_EQ(Stored("UserInformation/UserName"), "UserName");
    EXPECT_EQ(Stored("UserInformation/UserSign"), "Sign");
    for (QPushButton* b : SaveButtons(w)) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(dialogs.shown.empty());

    EXPECT_EQ(w.pos(), Centred(w));
    EXPECT_EQ(Stored("Aplication/Left").toInt(), w.pos().x() * 15);
    EXPECT_EQ(Stored("Aplication/Top").toInt(), w.pos().y() * 15);
    EXPECT_TRUE(Control<QRadioButton>("OptInetConfig(0)")->isChecked());
    EXPECT_FALSE(Control<QGroupBox>("FrmProxy")->isVisibleTo(w.Config()));
}

TEST_F(WindowTest, CaptionSizeTabsAndStatusLine) {
    MainFrm& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Mirolanda Ver.") + MIROLANDA_VERSION);
    // The design size is the default and the least; the window may grow.
    EXPECT_EQ(w.size(), QSize(544, 351));
    EXPECT_EQ(w.minimumSize(), QSize(544, 351));
    EXPECT_GT(w.maximumSize().width(), 2000);
    QTabWidget* tabs = w.findChild<QTabWidget*>("TabMain");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 6);
    EXPECT_EQ(tabs->tabText(0), "データダウンロード(&Q)");
    EXPECT_EQ(tabs->tabText(3), "設定・保守(&O)");
    EXPECT_EQ(tabs->tabText(4), "チャート(&C)");
    EXPECT_EQ(tabs->tabText(5), "ランキング(&G)") << "last, so that a remembered tab index keeps its tab";
    QLabel* status = w.findChild<QLabel*>("LblExecMsg");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(), QRect(0, 333, 308, 17));
    for (const char* name : {"FgFix", "CmdGetData", "CmdCsvSave", "CmdDatSave", "FgBuy", "PicBuy", "CmdOneNow(1)", "ScOne",
                             "FgList(1)", "PictChrt(0)", "Sc(1)", "CmdUpdImage(0)", "OptInetConfig(2)", "TxtFolderEtc",
                             "TxtSign", "LblBuyColor2", "TxtAutoMinNum", "TxtQuoteSiteUrl", "TxtPublisherUrl"}) {
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    }
    QTableView* grid = w.findChild<QTableView*>("FgFix");
    ASSERT_EQ(grid->model()->columnCount(), 7);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "銘柄コード");
    EXPECT_GE(grid->columnWidth(1), 145);  // the design width, widened to fill the grid
    EXPECT_FALSE(w.findChild<QPushButton*>("CmdCsvSave")->isEnabled());
}

TEST_F(WindowTest, StoredPositionIsRestoredAndANegativeOneClamped) {
    Store("Aplication/Top", "-300");
    Store("Aplication/Left", "1500.5");
    MainFrm& w = Open();
    EXPECT_EQ(w.pos(), QPoint(100, 0));
    // Loading writes back what it read; the clamp happens after.
    EXPECT_EQ(Stored("Aplication/Top"), "-300");
    window.reset();
    Store("Aplication/Top", "-90000");
    Store("Aplication/Left", "-90000");
    EXPECT_EQ(Open().pos(), QPoint(0, 0));
}

TEST_F(WindowTest, UnreadableOrFarPositionFallsBackToCentred) {
    // A key that is not a number takes its own default; a position off every screen takes both.
    struct Case {
        const char* top;
        const char* left;
        bool leftKept;
    };
    for (Case c : {Case{"abc", "300", true}, Case{"99999999", "1500", false}, Case{"1500", "1e30", false},
                   Case{"nan", "inf", false}}) {
        Store("Aplication/Top", c.top);
        Store("Aplication/Left", c.left);
        MainFrm& w = Open();
        QPoint expected = Centred(w);
        if (c.leftKept) expected.setX(std::atoi(c.left) / 15);
        EXPECT_EQ(w.pos(), expected) << c.top << " " << c.left;
        window.reset();
    }
}

TEST_F(WindowTest, ClosingSavesThePositionButNotWhileMinimised) {
    MainFrm& w = Open();
    w.move(30, 40);
    w.close();
    EXPECT_EQ(Stored("Aplication/Left"), "450");
    EXPECT_EQ(Stored("Aplication/Top"), "600");

    MainFrm& again = Open();
    again.show();
    again.move(90, 90);
    again.showMinimized();
    if (!again.isMinimized()) GTEST_SKIP() << "this platform cannot minimise";
    again.close();
    EXPECT_EQ(Stored("Aplication/Left"), "450");
}

TEST_F(WindowTest, UnreadableValuesFallBackToTheirDefaults) {
    Store("Parameters/BuyUpColor", "abc");
    Store("Parameters/BuyDownColor", "99999999999");
    Store("Parameters/BuyUpChkMode", "x");
    Store("Parameters/ConnectionMode", "x");
    Store("Parameters/AutoCsvSave", "7");
    Open();
    EXPECT_EQ(Control<ColorLabel>("LblBuyColor1")->Bgr(), 65280u);
    EXPECT_EQ(Control<ColorLabel>("LblBuyColor2")->Bgr(), 255u);
    EXPECT_TRUE(Control<QCheckBox>("ChkBuyUpFlag")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>("OptInetConfig(0)")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>("ChkAutoCsvSave")->isChecked());
    EXPECT_EQ(Stored("Parameters/BuyUpColor"), "65280");
    EXPECT_EQ(Stored("Parameters/ConnectionMode"), "0");
}

TEST_F(WindowTest, AnyOtherConnectionModeSelectsTheProxyAndWritesTwo) {
    Store("Parameters/ConnectionMode", "5");
    Store("Parameters/ProxyServer", "proxy.example");
    Store("Parameters/ProxyPort", "8080");
    MainFrm& w = Open();
    EXPECT_TRUE(Control<QRadioButton>("OptInetConfig(2)")->isChecked());
    EXPECT_TRUE(Control<QGroupBox>("FrmProxy")->isVisibleTo(w.Config()));
    EXPECT_EQ(Stored("Parameters/ConnectionMode"), "2");
    EXPECT_EQ(settings::ConnectionFrom(w.LiveSettings()).Proxy, "proxy.example:8080");
}

// Each group's button enables on its group's edits and writes only that group.
TEST_F(WindowTest, EachSaveButtonEnablesOnItsGroupAndSavesOnlyIt) {
    MainFrm& w = Open();
    struct Case {
        std::function<void()> edit;
        QPushButton* button;
        QString key;
        QString expected;
    };
    std::vector<Case> cases = {
        {[&] { Control<QRadioButton>("OptInetConfig(1)")->setChecked(true); }, Control<QPushButton>("CmdInetConfigSave"), "Parameters/ConnectionMode", "1"},
        {[&] { Control<QLineEdit>("TxtQuoteSiteUrl")->setText("http://127.0.0.1:9"); }, Control<QPushButton>("CmdInetConfigSave"), "Parameters/QuoteSiteUrl", "http://127.0.0.1:9"},
        {[&] { Control<QLineEdit>("TxtFolderData")->setText("/data/csv"); }, Control<QPushButton>("CmdFolderConfigSave"), "Parameters/CsvDataFolder", "/data/csv"},
        {[&] { Control<QLineEdit>("TxtFolderEtc")->setText("/data/etc"); }, Control<QPushButton>("CmdFolderConfigSave"), "Parameters/SettingFolder", "/data/etc"},
        {[&] { Control<QLineEdit>("TxtSign")->setText("ｻｲﾝ"); }, Control<QPushButton>("CmdUserInfSave"), "UserInformation/UserSign", "ｻｲﾝ"},
        {[&] { Control<QLineEdit>("TxtBuyUpPercent")->setText("125"); }, Control<QPushButton>("CmdBuyConfigSave"), "Parameters/BuyUpNum", "125"},
        {[&] { Control<QCheckBox>("ChkBuyDownFlag")->setChecked(false); }, Control<QPushButton>("CmdBuyConfigSave"), "Parameters/BuyDownChkMode", "0"},
        {[&] { Control<QCheckBox>("ChkAutoDataSave")->setChecked(false); }, Control<QPushButton>("CmdAutoConfigSave"), "Parameters/AutoDataSave", "0"},
        {[&] { Control<QLineEdit>("TxtAutoMinNum")->setText("3000"); }, Control<QPushButton>("CmdAutoConfigSave"), "Parameters/AutoDownNum", "3000"},
    };
    for (auto& c : cases) {
        QString before = Stored(c.key);
        c.edit();
        for (QPushButton* b : SaveButtons(w)) EXPECT_EQ(b->isEnabled(), b == c.button) << c.key.toStdString() << " " << b->objectName().toStdString();
        // Another group's button writes nothing of this group.
        QPushButton* other = c.button == Control<QPushButton>("CmdUserInfSave") ? Control<QPushButton>("CmdFolderConfigSave") : Control<QPushButton>("CmdUserInfSave");
        other->setEnabled(true);
        other->click();
        EXPECT_EQ(Stored(c.key), before) << c.key.toStdString();
        c.button->click();
        EXPECT_EQ(Stored(c.key), c.expected) << c.key.toStdString();
        EXPECT_FALSE(c.button->isEnabled());
    }
}

// The window and mirolanda-cli share one settings file through one store.
TEST_F(WindowTest, AValueOneProgramWritesTheOtherReads) {
    auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", settingsFile.string(), "--program-folder", program.string(), "setting"});
        return testing::RunCli(args, folder.Path(), {{"HOME", folder.Path().string()}});
    };
    ASSERT_EQ(cli({"AutoTime", "16:05"}).Status, 0);
    ASSERT_EQ(cli({"ConnectionMode", "2"}).Status, 0);
    Open();
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "16:05");
    EXPECT_TRUE(Control<QRadioButton>("OptInetConfig(2)")->isChecked());

    Control<QLineEdit>("TxtUserName")->setText("山田");
    Control<QPushButton>("CmdUserInfSave")->click();
    EXPECT_EQ(cli({"UserName"}).Out, "山田\n");
    EXPECT_EQ(cli({"CsvDataFolder"}).Out, (program / "CsvData").string() + "\n");
}

TEST_F(WindowTest, UnsavedEditsAreNotWrittenAtExit) {
    MainFrm& w = Open();
    Control<QLineEdit>("TxtUserName")->setText("someone");
    w.close();
    EXPECT_EQ(Stored("UserInformation/UserName"), "UserName");
}

TEST_F(WindowTest, ColourPickerCancelledKeepsColourButEnablesSave) {
    Open();
    emit Control<ColorLabel>("LblBuyColor1")->clicked();  // the click of the label
    EXPECT_EQ(Control<ColorLabel>("LblBuyColor1")->Bgr(), 65280u);
    EXPECT_TRUE(Control<QPushButton>("CmdBuyConfigSave")->isEnabled());
    dialogs.color = QColor(0, 0, 255);
    emit Control<ColorLabel>("LblBuyColor2")->clicked();  // the click of the label
    Control<QPushButton>("CmdBuyConfigSave")->click();
    EXPECT_EQ(Stored("Parameters/BuyDownColor"), QString::number(0xFF0000));
}

TEST_F(WindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowComesUp) {
    std::filesystem::create_directories(settingsFile);  // a folder where the file should be
    MainFrm& w = Open();
    ASSERT_EQ(dialogs.shown.size(), 1u) << "every group fails alike; the user is told once";
    EXPECT_EQ(dialogs.shown.front().Icon, MessageIcon::Critical);
    EXPECT_TRUE(dialogs.shown.front().Text.contains("設定ファイルに書き込めません"));
    EXPECT_TRUE(dialogs.shown.front().Text.contains(QString::fromStdString(settingsFile.filename().string())));
    EXPECT_EQ(w.InitialisationFlag(), "Initialized");
}

TEST_F(WindowTest, ABrokenSettingsFileIsKeptAsideReportedOnceAndWhatCouldBeReadStays) {
    const std::string broken = "[Aplication\nTop=15\n[Parameters]\nAutoTime=16:05\nProxyServer=\"half\nAutoMode=0\n";
    testing::WriteAll(settingsFile, broken);
    clock.Set({{2026, 12, 7}, 21, 43, 5});
    Open();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].Icon, MessageIcon::Warning);
    EXPECT_TRUE(dialogs.shown[0].Text.contains(QString::fromStdString(settingsFile.string())));
    EXPECT_TRUE(dialogs.shown[0].Text.contains("既定値"));
    EXPECT_EQ(testing::ReadAll(settingsFile.string() + ".broken-20261207-214305"), broken);
    EXPECT_EQ(Control<QLineEdit>("TxtAutoStartTime")->text(), "16:05");
    EXPECT_EQ(Control<QLineEdit>("TxtInetProxyServer")->text(), "");  // the open quote's value: its default
    EXPECT_EQ(Stored("Parameters/AutoTime"), "16:05");
    EXPECT_FALSE(testing::ReadAll(settingsFile).find("half") != std::string::npos) << "the garbage is not kept";
}

TEST_F(WindowTest, ASaveThatFailsIsShownAndLeavesItsButtonEnabled) {
    std::filesystem::create_directories(settingsFile);  // a folder where the file should be
    MainFrm& w = Open();
    for (QPushButton* b : SaveButtons(w)) {
        dialogs.shown.clear();
        b->setEnabled(true);
        b->click();
        ASSERT_EQ(dialogs.shown.size(), 1u) << b->objectName().toStdString();
        EXPECT_EQ(dialogs.shown.front().Icon, MessageIcon::Critical);
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    }
}

}  // namespace
}  // namespace mirolanda::app::test
