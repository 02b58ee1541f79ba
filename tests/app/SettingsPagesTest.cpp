// The settings tab at the window's least size, the folder pages' 「参照…」, the run log as a
// table, and where the real message boxes appear before the window is shown.
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "WindowFixture.h"
#include "app/settings/RunLogPage.h"
#include "app/widgets/Controls.h"
#include "platform/RunLog.h"

namespace mirolanda::app::test {
namespace {

TEST_F(WindowTest, EveryTabAndSettingsPageIsInSightAtTheLeastSize) {
    MainFrm& w = Open();
    w.resize(w.minimumSize());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* tabs = Control<QTabWidget>("TabMain");
    tabs->setCurrentIndex(3);
    // The window's own tabs are all in sight too, even with a font too wide for their captions.
    QTabBar* main = tabs->tabBar();
    main->setFont([&] { QFont wide = main->font(); wide.setPointSizeF(wide.pointSizeF() * 2); return wide; }());
    QCoreApplication::sendPostedEvents();
    ASSERT_GT(main->sizeHint().width(), main->width()) << "the captions fit whole: nothing is tested";
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_LE(main->tabRect(i).right(), main->rect().right()) << tabs->tabText(i).toStdString();
    }
    for (QWidget* child : main->findChildren<QWidget*>()) EXPECT_FALSE(child->isVisible()) << "a scroll arrow is shown";
    EXPECT_EQ(tabs->tabToolTip(0), "データダウンロード(Q)");
    main->setFont(QFont());
    auto* pages = Control<QTabWidget>("TabConfig");
    QTabBar* bar = pages->tabBar();
    ASSERT_EQ(pages->count(), 9);
    EXPECT_EQ(pages->tabText(7), "実行記録(&L)");
    EXPECT_EQ(pages->tabText(8), "DB(&D)");
    for (int i = 0; i < pages->count(); ++i) {
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << pages->tabText(i).toStdString();
    }
    for (QWidget* child : bar->findChildren<QWidget*>()) EXPECT_FALSE(child->isVisible()) << "a scroll arrow is shown";
    // Whole captions, not elided ones, in the test's font.
    EXPECT_LE(bar->sizeHint().width(), bar->width());
    // Nor is a control of a page cut off by the page's edge.
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QWidget* page = pages->currentWidget();
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isVisibleTo(page)) continue;
            EXPECT_TRUE(page->rect().contains(control->geometry()))
                << pages->tabText(i).toStdString() << ": " << control->objectName().toStdString();
        }
    }
}

TEST_F(WindowTest, EachFolderHasABrowseButtonThatFillsItsBox) {
    Open();
    auto* box = Control<QLineEdit>("TxtFolderData");
    auto* save = Control<QPushButton>("CmdFolderConfigSave");
    const QString before = box->text();
    auto* browse = Control<QPushButton>("CmdFolderBrowse(1)");
    EXPECT_EQ(browse->accessibleName(), "CSV格納フォルダを参照");

    browse->click();  // cancelled: nothing changes
    EXPECT_EQ(dialogs.folderAsked.first, "CSV格納フォルダの選択");
    EXPECT_EQ(dialogs.folderAsked.second, before);
    EXPECT_EQ(box->text(), before);
    EXPECT_FALSE(save->isEnabled());

    dialogs.folder = QStringLiteral("/home/user/株価/CSV");
    browse->click();
    EXPECT_EQ(box->text(), "/home/user/株価/CSV");
    EXPECT_TRUE(save->isEnabled());
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Control<QPushButton>(Indexed("CmdFolderBrowse", i))->text().startsWith("参照("));
}

platform::RunRecord Record(int minute, const char* command, const char* outcome, const char* error = "") {
    platform::RunRecord r;
    r.Start = {{2026, 12, 4}, 21, minute, 0};
    r.End = {{2026, 12, 4}, 21, minute, 30};
    r.Command = command;
    r.Source = "http://127.0.0.1:8787";
    r.Outcome = outcome;
    r.Requests = 180;
    r.Retries = minute;
    r.Stored = 3600;
    r.Error = error;
    return r;
}

TEST_F(WindowTest, TheRunLogIsATableNewestFirstWithFailuresMarked) {
    Open();
    platform::AppendRunRecord(program, Record(10, "download", "ok"));
    platform::AppendRunLogLine(program, "written by hand");
    platform::AppendRunRecord(program, Record(20, "intraday", "failed", "接続できません"));
    auto* page = Control<RunLogPage>("RunLogPage");
    page->Refresh();
    auto* table = Control<QTableWidget>("FgRunLog");
    QStringList headings;
    for (int c = 0; c < table->columnCount(); ++c) headings.push_back(table->horizontalHeaderItem(c)->text());
    EXPECT_EQ(headings, QStringList({"開始", "終了", "処理", "取得元", "結果", "要求数", "再試行", "保存", "備考"}));
    ASSERT_EQ(table->rowCount(), 3);
    const auto lines = platform::ReadRunLogTail(program);
    struct Row {
        QStringList cells;
        bool failed;
    };
    const Row rows[] = {
        {{"2026-12-04 21:20:00", "2026-12-04 21:20:30", "場中更新", "http://127.0.0.1:8787", "✖ 失敗", "180", "20", "3600",
          "接続できません"},
         true},
        {{"", "", "", "", "", "", "", "", "written by hand"}, false},
        {{"2026-12-04 21:10:00", "2026-12-04 21:10:30", "ダウンロード", "http://127.0.0.1:8787", "成功", "180", "10", "3600",
          ""},
         false},
    };
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const QString whole = QString::fromStdString(lines[static_cast<size_t>(2 - r)]).replace('\t', '\n');
        for (int c = 0; c < table->columnCount(); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text(), rows[r].cells[c]) << c;
            EXPECT_EQ(item->toolTip(), whole);
            EXPECT_EQ(item->background().style() != Qt::NoBrush, rows[r].failed) << c;
        }
    }

    Control<QPushButton>("CmdOpenRunLog")->click();
    ASSERT_EQ(dialogs.opened.size(), 1);
    EXPECT_EQ(dialogs.opened[0].toStdString(), (program / "Mirolanda.log").string());
}

// The first message box shown from now on: where it is, and then closed.
QRect NextBoxGeometry(const std::function<void()>& show) {
    QRect where;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            where = box->frameGeometry();
            box->done(QMessageBox::No);
        }
    });
    poll.start(10);
    show();
    return where;
}

TEST(QtDialogsPlacement, ABoxBeforeTheWindowIsShownIsCentredOnTheScreenAndLaterOverTheWindow) {
    App();
    QtDialogs dialogs;
    QWidget window;
    window.setGeometry(20, 20, 300, 200);
    const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QRect early = NextBoxGeometry([&] { dialogs.Inform(&window, MessageIcon::Warning, "Mirolanda", "設定ファイルが壊れています"); });
    ASSERT_TRUE(early.isValid());
    EXPECT_LE((early.center() - screen).manhattanLength(), 4);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect later = NextBoxGeometry([&] { dialogs.AskYesNo(&window, "Mirolanda", "終了しますか？", DefaultButton::No); });
    ASSERT_TRUE(later.isValid());
    EXPECT_LE((later.center() - window.frameGeometry().center()).manhattanLength(), 4);
}

}  // namespace
}  // namespace mirolanda::app::test
