// The table model every grid is shown through: checked by Qt's model tester while the table
// under it changes, with its heading, colours, alignment and column widths.
#include <QAbstractItemModelTester>
#include <QTableView>

#include "WindowFixture.h"
#include "app/widgets/TableModel.h"

namespace mirolanda::app::test {
namespace {

TEST(TableModel, FollowsItsTableThroughResetsAndKeepsTheModelContract) {
    App();
    platform::Table table(3);
    TableModel model(&table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal).isValid());

    table.SetHeading({"月/日", "名  称", "x"});
    table.AddRow({"01/01", "元日", ""});
    table.AddRow({"12/31", "大晦日", ""});
    model.Reload();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "名  称");
    EXPECT_EQ(model.index(1, 1).data().toString(), "大晦日");
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0) << "a table has no children";

    model.SetCellBackground(1, 0, QColor(0, 255, 0));
    EXPECT_EQ(model.index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 0));
    EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
    model.SetCellBackground(9, 9, Qt::red);  // off the table: kept, harmless
    model.ClearBackgrounds();
    EXPECT_FALSE(model.index(1, 0).data(Qt::BackgroundRole).isValid());

    model.SetColumnAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.index(0, 0).data(Qt::TextAlignmentRole).toInt(), static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));

    // The table shrinks and widens under the model; Reload tells the views.
    table.RemoveRow(0);
    table.SetColumnCount(4);
    model.Reload();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.index(0, 3).data().toString(), "");
    table.Clear();
    model.Reload();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(TableModel, ColoursReloadedAreDroppedWithTheRowsTheyBelongedTo) {
    App();
    platform::Table table(2);
    table.AddRow({"1301", "a"});
    TableModel model(&table);
    model.SetCellBackground(0, 0, Qt::green);
    table.ClearRows();
    table.AddRow({"1332", "b"});
    model.Reload();
    EXPECT_FALSE(model.index(0, 0).data(Qt::BackgroundRole).isValid());
}

TEST(TableModel, WidthsInTwipsAndHiddenColumnsReachTheView) {
    App();
    platform::Table table(4);
    TableModel model(&table);
    model.SetColumnWidthTwips(0, 1000);
    model.SetColumnWidthTwips(1, 500);
    model.SetColumnWidthTwips(2, 1500);
    model.SetColumnWidthTwips(3, 0);
    QTableView view;
    view.setModel(&model);
    model.ConfigureView(&view);
    EXPECT_TRUE(view.isColumnHidden(3));
    EXPECT_FALSE(view.isColumnHidden(1));
    // 67, 33 and 100 pixels at the least; a wider view widens them all in proportion.
    view.resize(100, 100);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(view.columnWidth(0), 67);
    EXPECT_EQ(view.columnWidth(1), 33);
    view.resize(700, 100);
    QApplication::processEvents();
    EXPECT_GT(view.columnWidth(0), 67 * 2);
    EXPECT_NEAR(static_cast<double>(view.columnWidth(2)) / view.columnWidth(1), 3.0, 0.1);
}

TEST(TableModel, ColoursConvertFromAndToTheStoredForm) {
    EXPECT_EQ(ColorFromBgr(65280), QColor(0, 255, 0));
    EXPECT_EQ(ColorFromBgr(255), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromBgr(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(BgrFromColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
}

}  // namespace
}  // namespace mirolanda::app::test
