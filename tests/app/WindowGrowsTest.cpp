// The window on a large screen: the design size is the default and the least, every grid,
// picture and notice grows with the window and the chart is drawn again for its new size;
// size, maximised state and tab are kept in the settings; Qt's own texts are Japanese.
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextLayout>

#include "WindowFixture.h"
#include "app/holdings/HoldingsTab.h"
#include "app/widgets/PictureArea.h"
#include "app/shell/Translations.h"
#include "holdings/BuyData.h"
#include "platform/SjisText.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"
#include "support/TempFolder.h"

namespace mirolanda::app::test {
namespace {

// Lines the notice takes at its present width.
int NoticeLines(QPlainTextEdit* notice) {
    int lines = 0;
    for (QTextBlock block = notice->document()->begin(); block.isValid(); block = block.next()) {
        lines += block.layout() ? block.layout()->lineCount() : 1;
    }
    return lines;
}

// Brings the control's tab (and inner tab) to the front: only the page shown is laid out.
void Reveal(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)) {
            if (tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
        }
    }
    QApplication::processEvents();
}

QSize SizeOf(QWidget* control) {
    Reveal(control);
    return control->size();
}

bool Inside(const QWidget* control, const QWidget* window) {
    const QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
    return window->rect().contains(place);
}

class GrowTest : public WindowTest {
protected:
    // A holding of 1301 bought at 400 with sixty days of history, so that its chart draws.
    void SeedHolding() {
        const auto folders = settings::DefaultFolders(program);
        platform::Date day{2026, 9, 1};
        for (int i = 0; i < 60; ++i, day = platform::AddDays(day, 1)) {
            quotes::StoreDayPrice(folders.StockData, 1301, "極洋", platform::FormatSlashed(day), 400 + (i % 7) * 9);
        }
        std::filesystem::create_directories(folders.Setting);
        testing::WriteAll(holdings::BuyDataPath(folders.Setting),
                          platform::Utf8ToSjis("1301,\"極洋\",\"2026/09/20\",400,1000\r\n"));
    }
    void Show(QSize size) {
        window->resize(size);
        window->show();
        QApplication::processEvents();
    }
    QImage Chart() const { return Control<PictureArea>("PicBuy")->Shown(); }
};

TEST_F(GrowTest, GridsPicturesAndNoticesGrowWithTheWindowAndTheChartIsRedrawnForItsSize) {
    SeedHolding();
    Open();
    Show(window->minimumSize());
    const char* growing[] = {"FgFix", "FgBuy", "PicBuy", "PictOne", "FgList(0)", "PictChrt(0)", "Text1(1)",
                             "FgClender", "TxtUserNotice", "TxtFolderData", "LblExecMsg"};
    std::map<std::string, QSize> before;
    for (const char* name : growing) before[name] = SizeOf(Control<QWidget>(name));
    auto* grid = Control<QTableView>("FgBuy");
    Reveal(grid);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    const QImage small = Chart();
    ASSERT_EQ(small.size(), Control<PictureArea>("PicBuy")->contentsRect().size() * window->devicePixelRatioF());
    auto* notice = Control<QPlainTextEdit>("Text1(1)");
    Reveal(notice);
    const int wrappedLines = NoticeLines(notice);

    Show({1280, 800});
    EXPECT_EQ(window->size(), QSize(1280, 800));
    for (const char* name : growing) {
        const QSize now = SizeOf(Control<QWidget>(name));
        EXPECT_GT(now.width(), before[name].width() + 100) << name;
        if (std::string(name) != "TxtFolderData" && std::string(name) != "LblExecMsg") {
            EXPECT_GT(now.height(), before[name].height() + 100) << name;
        }
    }
    // The chart is drawn again for the picture's new size, over all of it.
    Reveal(grid);
    const QImage large = Chart();
    EXPECT_EQ(large.size(), Control<PictureArea>("PicBuy")->contentsRect().size() * window->devicePixelRatioF());
    int drawnRight = 0;
    for (int y = 0; y < large.height(); ++y)
        for (int x = large.width() * 3 / 4; x < large.width(); ++x) drawnRight += large.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(drawnRight, 50) << "the plot reaches the right part of the larger picture";
    // The columns widen with the grid, so no empty band is left at its right.
    auto* results = Control<QTableView>("FgFix");
    Reveal(results);
    EXPECT_GT(results->columnWidth(1), 145 * 2);
    int columns = 0;
    for (int c = 0; c < results->model()->columnCount(); ++c) columns += results->columnWidth(c);
    EXPECT_GT(columns, results->viewport()->width() - 10);
    // The notice wraps at the box's real width: fewer lines once it is wide.
    Reveal(notice);
    EXPECT_LT(NoticeLines(notice), wrappedLines);
    // The buttons follow their edge and stay inside the window.
    for (const char* name : {"CmdGetData", "CmdDatSave", "CmdBuyDel", "CmdOneNow(0)", "CmdUpdImage(0)", "CmdCalDel",
                             "CmdInetConfigSave", "CmdAutoConfigSave"}) {
        QWidget* button = Control<QWidget>(name);
        Reveal(button);
        EXPECT_TRUE(Inside(button, button->parentWidget())) << name;
        EXPECT_GT(button->mapTo(button->parentWidget(), QPoint(0, 0)).y(), 200) << name << " moved down with the window";
    }
    window->resize(300, 200);
    EXPECT_EQ(window->size(), window->minimumSize()) << "never below the design size";
}

TEST_F(GrowTest, SizeMaximisedStateAndTabAreKeptAcrossRestarts) {
    Open();
    Show({900, 600});
    Control<QTabWidget>("TabMain")->setCurrentIndex(2);
    window->close();
    EXPECT_EQ(Stored("Aplication/Width").toInt(), 900 * 15);
    EXPECT_EQ(Stored("Aplication/Height").toInt(), 600 * 15);
    EXPECT_EQ(Stored("Aplication/Maximized"), "0");
    EXPECT_EQ(Stored("Aplication/CurrentTab"), "2");
    window.reset();

    Open();
    EXPECT_EQ(window->size(), QSize(900, 600));
    EXPECT_EQ(Control<QTabWidget>("TabMain")->currentIndex(), 2);
    window.reset();

    // A size below the design, a tab that does not exist, and a maximised window.
    Store("Aplication/Width", "1500");
    Store("Aplication/Height", "abc");
    Store("Aplication/CurrentTab", "9");
    Store("Aplication/Maximized", "1");
    Open();
    EXPECT_EQ(window->size(), window->minimumSize());
    EXPECT_EQ(Control<QTabWidget>("TabMain")->currentIndex(), 0);
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST(QtTexts, TheJapaneseCatalogueIsInstalledAndTheQuestionButtonsReadHaiIie) {
    App();
    ASSERT_TRUE(InstallQtTranslations(App())) << "qtbase_ja is missing (Debian package qt6-translations-l10n)";
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい"))) << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
}

}  // namespace
}  // namespace mirolanda::app::test
