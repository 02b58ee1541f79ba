// The holiday file: its exact bytes, what the reader accepts, and that every name the editor
// can store comes back from the file unchanged.
#include <gtest/gtest.h>

#include "calendar/Calender.h"
#include "HolidayTable.h"
#include "platform/Errors.h"
#include "support/TempFolder.h"

namespace mirolanda::calendar {
namespace {

using platform::Table;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::string kGolden = std::string(MIROLANDA_TEST_DATA) + "/Calender.txt";

std::vector<Table::Row> Loaded(const std::filesystem::path& file) {
    Table table(7);
    LoadCalender(table, file);
    EXPECT_EQ(table.ColumnCount(), 2);
    return table.Rows();
}

TEST(CalenderFile, WritesTheGoldenBytes) {
    TempFolder folder;
    // Blanks around fields are trimmed, a plain quote becomes the full-width one.
    Table table = Holidays({{" 01/01", "元日 "},
                            {"05/03", "憲法記念日"},
                            {"12/31", "大納会, 年末"},
                            {"12/31", "say \"hi\""}});
    SaveCalender(table, folder / "Calender.txt");
    EXPECT_EQ(ReadAll(folder / "Calender.txt"), ReadAll(kGolden));
}

TEST(CalenderFile, ReadsTheGoldenFileInOrder) {
    std::vector<Table::Row> expected = {
        {"01/01", "元日"}, {"05/03", "憲法記念日"}, {"12/31", "大納会, 年末"}, {"12/31", "say ＂hi＂"}};
    EXPECT_EQ(Loaded(kGolden), expected);
}

TEST(CalenderFile, MissingFileIsAnEmptyListWithHeadings) {
    TempFolder folder;
    Table table;
    table.AddRow({"stale"});
    LoadCalender(table, folder / "Calender.txt");
    ASSERT_TRUE(table.HasHeading());
    EXPECT_EQ(table.Heading(), (Table::Row{"月/日", "名  称"}));
    EXPECT_EQ(table.RowCount(), 0);
}

TEST(CalenderFile, ReaderAcceptsHandWrittenForms) {
    TempFolder folder;
    // Unquoted and quoted fields, blanks, LF-only ends, a blank line, a missing second field,
    // an unclosed quote, text after a closing quote, and a comma inside an unquoted name.
    WriteAll(folder / "Calender.txt",
             "01/01,New Year\r\n"
             "  \"01/02\" , \" two \"\n"
             "\r\n"
             "01/03\r\n"
             "\"01/04\",\"open\r\n"
             "\"01/05\"x,\"name\"tail\r\n"
             "01/06,a,b\r\n");
    std::vector<Table::Row> expected = {{"01/01", "New Year"}, {"01/02", "two"}, {"01/03", ""},
                                        {"01/04", "open"},     {"01/05", "name"}, {"01/06", "a"}};
    EXPECT_EQ(Loaded(folder / "Calender.txt"), expected);
}

TEST(CalenderFile, EveryStorableNameReadsBackUnchanged) {
    TempFolder folder;
    const std::vector<std::string> typed = {"a, b", "\"quoted\"", "\",\"", "tab\there", "line\nbreak",
                                            "  padded  ", "", "㈱①Ⅲ髙", "emoji 😀"};
    Table table;
    ResetHolidayTable(table);
    for (const auto& name : typed) table.AddRow({NormalizeHolidayField("05/05"), NormalizeHolidayField(name)});
    SaveCalender(table, folder / "Calender.txt");
    EXPECT_EQ(Loaded(folder / "Calender.txt"), table.Rows());

    // Saving what was loaded gives the same bytes: the form is stable.
    std::string first = ReadAll(folder / "Calender.txt");
    Table again;
    LoadCalender(again, folder / "Calender.txt");
    SaveCalender(again, folder / "Calender.txt");
    EXPECT_EQ(ReadAll(folder / "Calender.txt"), first);
}

TEST(CalenderFile, NormalizedFieldsShowWhatTheFileHolds) {
    EXPECT_EQ(NormalizeHolidayField(" \"a\" "), "＂a＂");
    EXPECT_EQ(NormalizeHolidayField("x\r\ny"), "x  y");
    EXPECT_EQ(NormalizeHolidayField("a\tb\x01" "c\x7F"), "a b c");
    EXPECT_EQ(NormalizeHolidayField("😀"), "〓");
    EXPECT_EQ(NormalizeHolidayField("  "), "");
}

TEST(HolidayEdit, AddedAndEditedRowsTakeTheirSortedPlaceInTheFormTheFileKeeps) {
    Table table = Holidays({{"01/01", "元日"}, {"05/03", "憲法記念日"}});
    EXPECT_EQ(ApplyHoliday(table, " 05/03 ", "\"A\"", std::nullopt), 2);  // same day: by name, ＂ after 憲
    EXPECT_EQ(ApplyHoliday(table, "02/11", "建国", std::nullopt), 1);
    EXPECT_EQ(table.Rows(), (std::vector<Table::Row>{
                                {"01/01", "元日"}, {"02/11", "建国"}, {"05/03", "憲法記念日"}, {"05/03", "＂A＂"}}));
    // Editing the first row's day moves it to the end.
    EXPECT_EQ(ApplyHoliday(table, "12/31", "大晦日", 0), 3);
    EXPECT_EQ(table.RowAt(0), (Table::Row{"02/11", "建国"}));
    EXPECT_EQ(table.RowAt(3), (Table::Row{"12/31", "大晦日"}));
}

TEST(HolidayEdit, AnEditRowThatIsGoneChangesNothing) {
    Table table = Holidays({{"01/01", "元日"}});
    const Table before = table;
    EXPECT_EQ(ApplyHoliday(table, "02/11", "建国", 1), -1);
    EXPECT_EQ(ApplyHoliday(table, "02/11", "建国", -1), -1);
    EXPECT_EQ(table.Rows(), before.Rows());
}

TEST(CalenderFile, EmptyTableLeavesAnEmptyFile) {
    TempFolder folder;
    WriteAll(folder / "Calender.txt", "\"01/01\",\"old\"\r\n");
    SaveCalender(Holidays({}), folder / "Calender.txt");
    ASSERT_TRUE(std::filesystem::exists(folder / "Calender.txt"));
    EXPECT_EQ(ReadAll(folder / "Calender.txt"), "");
}

TEST(CalenderFile, UnwritableFolderIsAFileErrorNamingTheFile) {
    TempFolder folder;
    auto file = folder / "missing" / "Calender.txt";
    try {
        SaveCalender(Holidays({{"01/01", "元日"}}), file);
        FAIL() << "no error";
    } catch (const platform::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("Calender.txt"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace mirolanda::calendar
