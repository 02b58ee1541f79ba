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

TEST(CalenderFile, ReaderAcceptsHandWrittenFormsAndReportsWhatItCannotRead) {
    TempFolder folder;
    const std::string text =
        "01/01,New Year\r\n"                // unquoted fields
        "  \"01/02\" , \" two \"\n"           // blanks, an LF line end
        "\r\n"                              // a blank line is no record
        "01/03\r\n"                         // no name
        "\"2026/01/07\",\"dated\"\r\n"
        "\"01/04\",\"open\r\n"              // 6: unclosed quote
        "\"01/05\"2026,\"name\"\r\n"         // 7: text after a closing quote
        "01/06,a,b\r\n"                     // 8: a third field
        "\"\",\"empty\"\r\n"                 // 9: no date
        "\"01/08/2026\",\"year last\"\r\n"   // 10: the year in the wrong place
        "\"2026/1/9\",\"short\"\r\n"         // 11
        "\"13/01\",\"no month\"\r\n";        // 12
    WriteAll(folder / "Calender.txt", text);
    Table table;
    const CalenderLoad load = LoadCalender(table, folder / "Calender.txt");

    std::vector<Table::Row> expected = {
        {"01/01", "New Year"}, {"01/02", "two"},     {"01/03", ""},  {"2026/01/07", "dated"},
        {"\"01/04\",\"open", ""}, {"\"01/05\"2026,\"name\"", ""}, {"01/06,a,b", ""}, {"", "empty"},
        {"01/08/2026", "year last"}, {"2026/1/9", "short"}, {"13/01", "no month"}};
    EXPECT_EQ(table.Rows(), expected);
    std::vector<int> lines;
    for (const auto& problem : load.Problems) lines.push_back(problem.Line);
    EXPECT_EQ(lines, (std::vector<int>{6, 7, 8, 9, 10, 11, 12}));
    const std::string message = load.Message();
    EXPECT_NE(message.find("Calender.txt"), std::string::npos) << message;
    EXPECT_NE(message.find("7行目: 閉じる引用符"), std::string::npos) << message;
    EXPECT_NE(message.find("01/08/2026"), std::string::npos) << message;

    // None of them closes a day, in any year; the file is left as it was.
    for (const char* day : {"2026/01/05", "2027/01/05", "2027/01/06", "2030/01/08", "2026/01/09", "2027/01/04"}) {
        EXPECT_EQ(GetHolidayName(table, day), "") << day;
    }
    EXPECT_EQ(GetHolidayName(table, "2026/01/07"), "dated");
    EXPECT_EQ(ReadAll(folder / "Calender.txt"), text);

    // Saving after an edit keeps them, still unread.
    SaveCalender(table, folder / "Calender.txt");
    Table again;
    EXPECT_EQ(LoadCalender(again, folder / "Calender.txt").Problems.size(), load.Problems.size());
    EXPECT_EQ(again.RowCount(), table.RowCount());
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

TEST(HolidayEdit, DatedEntriesFollowTheYearlessOnesAndOtherFormsAreRefused) {
    Table table = Holidays({{"01/01", "元日"}});
    EXPECT_EQ(ApplyHoliday(table, "2026/05/06", "臨時", std::nullopt), 1);
    EXPECT_EQ(ApplyHoliday(table, "12/31", "大納会", std::nullopt), 1);
    EXPECT_EQ(ApplyHoliday(table, "02/29", "閏日", std::nullopt), 1);
    const Table before = table;
    // A day of the right form that does not exist is told so; any other text gets the form.
    const std::pair<const char*, const char*> refusals[] = {
        {"2026/02/29", "2026/02/29 という日はありません"}, {"02/30", "02/30 という日はありません"},
        {"13/1", "13/1 という日はありません"}, {"0/5", "0/5 という日はありません"},
        {"06/05/2026", "mm/dd"}, {"5", "mm/dd"}, {"5/3/", "mm/dd"}, {"1/2/3", "mm/dd"}, {"５/３", "mm/dd"},
        {"5/x", "mm/dd"}, {"-5/3", "mm/dd"}, {"123/4", "mm/dd"}, {"", "月/日を入力してください"}};
    for (const auto& [refused, told] : refusals) {
        for (std::optional<int> row : {std::optional<int>(), std::optional<int>(0)}) {
            try {
                ApplyHoliday(table, refused, "x", row);
                ADD_FAILURE() << refused << " was taken";
            } catch (const HolidayDateError& e) {
                EXPECT_NE(std::string(e.what()).find(told), std::string::npos) << refused << ": " << e.what();
            }
        }
    }
    EXPECT_EQ(table.Rows(), before.Rows());
    EXPECT_EQ(ApplyHoliday(table, " 12/31 ", "x", 0), 1);  // blanks are trimmed
}

TEST(HolidayEdit, ShortMonthsAndDaysAreStoredWithTwoDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"5/3", "05/03"}, {"05/3", "05/03"}, {"1/1", "01/01"}, {"12/31", "12/31"}, {"2/29", "02/29"},
        {"2026/5/6", "2026/05/06"}, {"2028/2/29", "2028/02/29"}, {" 11/3 ", "11/03"}};
    for (const auto& [typed, stored] : cases) {
        EXPECT_EQ(NormalizeHolidayDay(calendar::NormalizeHolidayField(typed)), std::optional<std::string>(stored)) << typed;
    }
    // Stored in the file's form, so that it sorts among the others and closes its day.
    Table table = Holidays({{"01/01", "元日"}, {"12/31", "大晦日"}});
    EXPECT_EQ(ApplyHoliday(table, "5/3", "憲法記念日", std::nullopt), 1);
    EXPECT_EQ(table.RowAt(1), (Table::Row{"05/03", "憲法記念日"}));
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
