#include <gtest/gtest.h>

#include "platform/Table.h"

using mirolanda::platform::Table;

TEST(Table, TabbedRowsAreFittedToTheColumnCount) {
    Table t(3);
    t.AddTabbedRow("a\tb");
    t.AddTabbedRow("1\t2\t3\t4");
    t.AddTabbedRow("\t\t");
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.RowAt(0), (Table::Row{"a", "b", ""}));
    EXPECT_EQ(t.RowAt(1), (Table::Row{"1", "2", "3"}));
    EXPECT_EQ(t.RowAt(2), (Table::Row{"", "", ""}));
}

TEST(Table, HeadingIsSeparateFromDataRows) {
    Table t(2);
    t.SetHeading({"月/日", "名  称"});
    t.AddRow({"01/01", "元日"});
    EXPECT_EQ(t.RowCount(), 1);
    t.ClearRows();
    EXPECT_TRUE(t.HasHeading());
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_THROW(t.RemoveRow(0), std::out_of_range);
}
