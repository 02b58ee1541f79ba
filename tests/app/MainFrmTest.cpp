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
#include "app/AlertSettingsPage.h"
#include "app/AutoSettingsPage.h"
#include "app/SettingsTab.h"
#include "app/TableModel.h"
#include "platform/SettingsKeys.h"

namespace mirolanda::app::test {
namespace {

QString KeyPath(const platform::SettingKey& key) {
    return QString::fromUtf8(key.Section.data(), static_cast<qsizetype>(key.Section.size())) + "/" +
           QString::fromUtf8(key.Key.data(), static_cast<qsizetype>(key.Key.size()));
}

// (screen − window) / 2, in twips, rounded to whole pixels.
QPoint Centred(const QWidget& w) {
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    return QPoint(static_cast<int>(std::lround((screen.width() - w.width()) / 2.0)),
                  static_cast<int>(std::lround((screen.height() - w.height()) / 2.0)));
}

std::vector<QPushButton*> SaveButtons(MainFrm& w) {
    SettingsTab* s = w.Config();
    return {s->CmdInetConfigSave, s->CmdFolderConfigSave, s->CmdUserInfSave, s->Buy->CmdBuyConfigSave,
            s->Auto->CmdAutoConfigSave};
}

TEST_F(WindowTest, FirstStartWritesEveryKeyWithItsDefaultAndCentresTheWindow) {
    MainFrm& w = Open();
    for (const auto& key : platform::AllSettingKeys()) {
        if (key.Key == "LastAutoDownLoad") continue;  // written only by the automation
        EXPECT_TRUE(IsStored(KeyPath(key))) << key.Key;
        if (!key.Default.empty() && !key.FolderSuffix) {
            EXPECT_EQ(Stored(KeyPath(key)).toStdString(), key.Default) << key.Key;
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
    EXPECT_TRUE(w.Config()->OptInetConfig[0]->isChecked());
    EXPECT_FALSE(w.Config()->FrmProxy->isVisibleTo(w.Config()));
}

TEST_F(WindowTest, CaptionSizeTabsAndStatusLine) {
    MainFrm& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Mirolanda Ver.") + MIROLANDA_VERSION);
    EXPECT_EQ(w.size(), QSize(544, 351));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    QTabWidget* tabs = w.findChild<QTabWidget*>("TabMain");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "データダウンロード");
    EXPECT_EQ(tabs->tabText(3), "設定・保守");
    QLabel* status = w.findChild<QLabel*>("LblExecMsg");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(), QRect(0, 333, 544, 17));
    for (const char* name : {"FgFix", "CmdGetData", "CmdCsvSave", "CmdDatSave", "FgBuy", "PicBuy", "CmdOneNow(1)", "ScOne",
                             "FgList(1)", "PictChrt(0)", "Sc(1)", "CmdUpdImage(0)", "OptInetConfig(2)", "TxtFolderEtc",
                             "TxtSign", "LblBuyColor2", "TxtAutoMinNum", "TxtQuoteSiteUrl", "TxtPublisherUrl"}) {
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    }
    QTableView* grid = w.findChild<QTableView*>("FgFix");
    ASSERT_EQ(grid->model()->columnCount(), 7);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "銘柄コード");
    EXPECT_EQ(grid->columnWidth(1), 145);
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
    MainFrm& w = Open();
    EXPECT_EQ(w.Config()->Buy->LblBuyColor1->Bgr(), 65280u);
    EXPECT_EQ(w.Config()->Buy->LblBuyColor2->Bgr(), 255u);
    EXPECT_TRUE(w.Config()->Buy->ChkBuyUpFlag->isChecked());
    EXPECT_TRUE(w.Config()->OptInetConfig[0]->isChecked());
    EXPECT_TRUE(w.Config()->Auto->ChkAutoCsvSave->isChecked());
    EXPECT_EQ(Stored("Parameters/BuyUpColor"), "65280");
    EXPECT_EQ(Stored("Parameters/ConnectionMode"), "0");
}

TEST_F(WindowTest, AnyOtherConnectionModeSelectsTheProxyAndWritesTwo) {
    Store("Parameters/ConnectionMode", "5");
    Store("Parameters/ProxyServer", "proxy.example");
    Store("Parameters/ProxyPort", "8080");
    MainFrm& w = Open();
    EXPECT_TRUE(w.Config()->OptInetConfig[2]->isChecked());
    EXPECT_TRUE(w.Config()->FrmProxy->isVisibleTo(w.Config()));
    EXPECT_EQ(Stored("Parameters/ConnectionMode"), "2");
    EXPECT_EQ(w.Connection().Proxy, "proxy.example:8080");
}

// Each group's button enables on its group's edits and writes only that group.
TEST_F(WindowTest, EachSaveButtonEnablesOnItsGroupAndSavesOnlyIt) {
    MainFrm& w = Open();
    SettingsTab* s = w.Config();
    struct Case {
        std::function<void()> edit;
        QPushButton* button;
        QString key;
        QString expected;
    };
    std::vector<Case> cases = {
        {[&] { s->OptInetConfig[1]->setChecked(true); }, s->CmdInetConfigSave, "Parameters/ConnectionMode", "1"},
        {[&] { s->TxtQuoteSiteUrl->setText("http://127.0.0.1:9"); }, s->CmdInetConfigSave, "Parameters/QuoteSiteUrl", "http://127.0.0.1:9"},
        {[&] { s->TxtFolderData->setText("/data/csv"); }, s->CmdFolderConfigSave, "Parameters/CsvDataFolder", "/data/csv"},
        {[&] { s->TxtFolderEtc->setText("/data/etc"); }, s->CmdFolderConfigSave, "Parameters/SettingFolder", "/data/etc"},
        {[&] { s->TxtSign->setText("ｻｲﾝ"); }, s->CmdUserInfSave, "UserInformation/UserSign", "ｻｲﾝ"},
        {[&] { s->Buy->TxtBuyUpPercent->setText("125"); }, s->Buy->CmdBuyConfigSave, "Parameters/BuyUpNum", "125"},
        {[&] { s->Buy->ChkBuyDownFlag->setChecked(false); }, s->Buy->CmdBuyConfigSave, "Parameters/BuyDownChkMode", "0"},
        {[&] { s->Auto->ChkAutoDataSave->setChecked(false); }, s->Auto->CmdAutoConfigSave, "Parameters/AutoDataSave", "0"},
        {[&] { s->Auto->TxtAutoMinNum->setText("3000"); }, s->Auto->CmdAutoConfigSave, "Parameters/AutoDownNum", "3000"},
    };
    for (auto& c : cases) {
        QString before = Stored(c.key);
        c.edit();
        for (QPushButton* b : SaveButtons(w)) EXPECT_EQ(b->isEnabled(), b == c.button) << c.key.toStdString() << " " << b->objectName().toStdString();
        // Another group's button writes nothing of this group.
        QPushButton* other = c.button == s->CmdUserInfSave ? s->CmdFolderConfigSave : s->CmdUserInfSave;
        other->setEnabled(true);
        other->click();
        EXPECT_EQ(Stored(c.key), before) << c.key.toStdString();
        c.button->click();
        EXPECT_EQ(Stored(c.key), c.expected) << c.key.toStdString();
        EXPECT_FALSE(c.button->isEnabled());
    }
}

TEST_F(WindowTest, UnsavedEditsAreNotWrittenAtExit) {
    MainFrm& w = Open();
    w.Config()->TxtUserName->setText("someone");
    w.close();
    EXPECT_EQ(Stored("UserInformation/UserName"), "UserName");
}

TEST_F(WindowTest, ColourPickerCancelledKeepsColourButEnablesSave) {
    MainFrm& w = Open();
    AlertSettingsPage* buy = w.Config()->Buy;
    buy->PickColor(buy->LblBuyColor1);
    EXPECT_EQ(buy->LblBuyColor1->Bgr(), 65280u);
    EXPECT_TRUE(buy->CmdBuyConfigSave->isEnabled());
    dialogs.color = QColor(0, 0, 255);
    buy->PickColor(buy->LblBuyColor2);
    buy->CmdBuyConfigSave->click();
    EXPECT_EQ(Stored("Parameters/BuyDownColor"), QString::number(0xFF0000));
}

TEST_F(WindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowComesUp) {
    std::filesystem::create_directories(settingsFile);  // a folder where the file should be
    MainFrm& w = Open();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.front().Icon, MessageIcon::Critical);
    EXPECT_TRUE(dialogs.shown.front().Text.contains(QString::fromStdString(settingsFile.filename().string())));
    EXPECT_EQ(w.InitialisationFlag(), "Initialized");
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
