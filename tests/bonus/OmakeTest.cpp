// The bonus list files and chart creation with a scripted image download: the states against
// the downloaded record, the byte forms of the files, the list table's order, the selected
// range, the 1,025/1,026-byte boundary and hostile dates from the server.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "bonus/Omake.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "support/TempFolder.h"

using namespace mirolanda;
using namespace mirolanda::bonus;
using mirolanda::testing::ReadAll;
using mirolanda::testing::TempFolder;
using mirolanda::testing::WriteAll;
namespace fs = std::filesystem;

namespace {

std::string Golden(const char* name) { return ReadAll(fs::path(MIROLANDA_TEST_DATA) / name); }

class OmakeFiles : public ::testing::Test {
protected:
    fs::path Omake() const { return temp_ / "Omake"; }
    void ServerList(const std::string& utf8, const char* mode = "Short") {
        SaveDownList(Omake(), mode, platform::Utf8ToSjis(utf8));
    }
    void Downloaded(const std::string& utf8, const char* mode = "Short") {
        WriteAll(GetListFilePath(Omake(), mode, "Download"), platform::Utf8ToSjis(utf8));
    }
    std::string Current(const char* mode = "Short") const {
        return platform::SjisToUtf8(ReadAll(Omake() / mode / "List" / "CurrentList.txt"));
    }
    TempFolder temp_;
};

TEST_F(OmakeFiles, StatesFollowTheServerFlagAndTheDownloadedStamp) {
    struct Case {
        const char* downloaded;  // Downloaded.txt, "" for none
        const char* server;
        const char* state;
    } cases[] = {
        {"", "20020517,1,3,\"20020520\"", "作成可"},
        {"\"2002/05/17\",3,\"20020520\"\r\n", "20020517,1,3,\"20020520\"", "作成済"},
        {"\"2002/05/17\",3,\"20020519\"\r\n", "20020517,1,3,\"20020520\"", "更新可"},
        {"\"2002/05/17\",3,\"20020521\"\r\n", "20020517,1,3,\"20020520\"", "作成済"},
        {"\"2002/05/17\",3,\"20020520\"\r\n", "20020517,0,3,\"20020520\"", "作成不可"},
        {"", "20020517,2,3,\"20020520\"", "作成不可"},
        {"", "20020517,-1,3,\"20020520\"", "作成不可"},
        {"\"2002/05/16\",3,\"20020520\"\r\n", "\"20020517\",1,3,20020520", "作成可"},
    };
    for (const Case& c : cases) {
        fs::remove_all(Omake());
        if (*c.downloaded) Downloaded(c.downloaded);
        ServerList(std::string(c.server) + "\r\n");
        EXPECT_EQ(BuildCurrentList(Omake(), "Short"), 0);
        EXPECT_EQ(Current(), std::string("\"2002/05/17\",\"") + c.state + "\",3,\"20020520\"\r\n")
            << c.downloaded << " / " << c.server;
    }
}

TEST(ListStates, OnlyDatesWhoseChartsAreStoredAreShown) {
    EXPECT_TRUE(HasStoredCharts(kStateCreated));
    EXPECT_TRUE(HasStoredCharts(kStateUpdatable));
    for (std::string_view state : {kStateAvailable, kStateUnavailable, kStateCreating, std::string_view()})
        EXPECT_FALSE(HasStoredCharts(state)) << state;
}

TEST_F(OmakeFiles, CurrentListMatchesTheHandWrittenFileAndIsStableWhenRebuilt) {
    WriteAll(GetListFilePath(Omake(), "Long", "Down"), Golden("DownList.txt"));
    Downloaded("\"2002/05/10\",4,\"20020511\"\r\n \"2002/05/17\" , 3 ,\"20020519\"\r\n", "Long");
    BuildCurrentList(Omake(), "Long");
    const std::string first = ReadAll(Omake() / "Long/List/CurrentList.txt");
    EXPECT_EQ(first, Golden("CurrentList.txt"));
    // The record is written back in its normal form.
    EXPECT_EQ(ReadAll(Omake() / "Long/List/Downloaded.txt"),
              "\"2002/05/10\",4,\"20020511\"\r\n\"2002/05/17\",3,\"20020519\"\r\n");
    BuildCurrentList(Omake(), "Long");
    EXPECT_EQ(ReadAll(Omake() / "Long/List/CurrentList.txt"), first);
}

TEST_F(OmakeFiles, AnswersNotInTheListFormAreSkippedAndAMissingListGivesAnEmptyOne) {
    EXPECT_EQ(BuildCurrentList(Omake(), "Short"), 0);
    EXPECT_EQ(ReadAll(Omake() / "Short/List/CurrentList.txt"), "");
    EXPECT_FALSE(fs::exists(Omake() / "Short/List/Downloaded.txt"));

    ServerList("<html><body>500 Internal Server Error</body></html>\r\n"
               "20020517,1,3,\"20020520\"\r\n"
               "2002051,1,3,\"x\"\r\n"           // seven digits
               "../../../etc,1,3,\"x\"\r\n"       // a path
               "20020518,1,many,\"x\"\r\n"        // count not a number
               "20020519,1,3\r\n"                 // three fields
               "20020520,1,3,\"open\r\n"          // quote left open
               "99999999,1,3,\"x\"\r\n"             // eight digits, no day
               "20020230,1,3,\"x\"\r\n"             // February 30th
               "\r\n");
    EXPECT_EQ(BuildCurrentList(Omake(), "Short"), 8);
    EXPECT_EQ(Current(), "\"2002/05/17\",\"作成可\",3,\"20020520\"\r\n");
    // Arbitrary bytes never end the program.
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 37 + 11) & 0xFF);
    SaveDownList(Omake(), "Short", noise);
    EXPECT_NO_THROW(BuildCurrentList(Omake(), "Short"));
}

TEST_F(OmakeFiles, ListTableShowsNewestFirstWhileTheFileKeepsTheServerOrder) {
    platform::Table table;
    ShowCurrentList(Omake(), "Short", table);
    EXPECT_TRUE(table.HasHeading());
    EXPECT_EQ(table.Heading(), (platform::Table::Row{"日付", "状態", "数", "更新日"}));
    EXPECT_EQ(table.RowCount(), 0);

    ServerList("20020510,1,2,\"20020511\"\r\n20020517,0,3,\"20020520\"\r\n20020513,1,4,\"20020514\"\r\n");
    BuildCurrentList(Omake(), "Short");
    ShowCurrentList(Omake(), "Short", table);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.RowAt(0), (platform::Table::Row{"2002/05/17", "作成不可", "3", "20020520"}));
    EXPECT_EQ(table.Cell(1, 0), "2002/05/13");
    EXPECT_EQ(table.Cell(2, 0), "2002/05/10");
    EXPECT_EQ(Current().substr(0, 13), "\"2002/05/10\",");
}

TEST(DownloadedTable, EntriesArePaddedAndFoundByTheirExactDate) {
    DownloadedTable table;
    SetDownloaded(table, "2002/05/17", 3, "2002052");
    SetDownloaded(table, "2002/05/18", 1, "200205200");
    SetDownloaded(table, "2002/05/17", 5, "20020521");
    ASSERT_EQ(table.Entries.size(), 2u);
    EXPECT_EQ(table.Entries[0].ChartCount, 5);
    EXPECT_EQ(FindDownloaded(table, "2002/05/17"), "20020521");
    EXPECT_EQ(FindDownloaded(table, "2002/05/18"), "20020520");  // cut to eight
    EXPECT_EQ(FindDownloaded(table, "2002/05/19"), "");
    SetDownloaded(table, "2002/05/19", 1, "abc");
    EXPECT_EQ(FindDownloaded(table, "2002/05/19"), "abc     ");
}

TEST_F(OmakeFiles, ListPathsCreateTheirFolders) {
    EXPECT_EQ(GetListFilePath(Omake(), "Long", "List"), Omake() / "Long/List/CurrentList.txt");
    EXPECT_EQ(GetListFilePath(Omake(), "Long", "Down"), Omake() / "Long/List/DownList.txt");
    EXPECT_EQ(GetListFilePath(Omake(), "Long", "Download"), Omake() / "Long/List/Downloaded.txt");
    EXPECT_TRUE(fs::is_directory(Omake() / "Long/List"));
    EXPECT_EQ(GetImageFilePath(Omake(), "Short", "2002/05/17", 3), Omake() / "Short/Image/20020517_3.jpg");
    EXPECT_TRUE(fs::is_directory(Omake() / "Short/Image"));
    // A bonus folder whose parent is missing is made whole; one under a file cannot be.
    EXPECT_EQ(GetListFilePath(temp_ / "new/Omake", "Short", "List"), temp_ / "new/Omake/Short/List/CurrentList.txt");
    WriteAll(temp_ / "file", "x");
    EXPECT_THROW(GetListFilePath(temp_ / "file/Omake", "Short", "List"), platform::FileError);
    // Reading makes no folder and finds nothing.
    platform::Table table;
    EXPECT_NO_THROW(ShowCurrentList(temp_ / "no/such/Omake", "Short", table));
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_TRUE(LoadDownloaded(temp_ / "Gone", "Long").Entries.empty());
    EXPECT_FALSE(fs::exists(temp_ / "Gone"));
}

// An image download that answers from a script and records what was asked.
struct ScriptedImages {
    std::vector<std::string> asked;            // "yyyymmdd-n"
    std::map<std::string, std::string> bodies;  // by "yyyymmdd-n"; missing: a failed request
    std::string defaultBody = std::string("\xFF\xD8", 2) + std::string(2000, 'j');

    ImageDownloader Downloader() {
        return [this](const std::string&, const std::string& date8, int number, const fs::path& path) {
            std::string key = date8 + "-" + std::to_string(number);
            asked.push_back(key);
            auto it = bodies.find(key);
            std::string body = it == bodies.end() ? defaultBody : it->second;
            if (body == "FAIL") return ImageFetch{};
            WriteAll(path, body);
            return ImageFetch{static_cast<int32_t>(body.size()) - 1, true, body.rfind("\xFF\xD8", 0) == 0};
        };
    }
};

class Charts : public OmakeFiles {
protected:
    // Five dates, newest first as the table shows them.
    void SetUp() override {
        ServerList("20020517,1,2,\"20020520\"\r\n20020516,0,2,\"20020517\"\r\n20020515,1,1,\"20020516\"\r\n"
                   "20020514,1,2,\"20020515\"\r\n20020513,1,1,\"20020514\"\r\n");
        Downloaded("\"2002/05/14\",2,\"20020514\"\r\n\"2002/05/13\",1,\"20020514\"\r\n");
        BuildCurrentList(Omake(), "Short");
        ShowCurrentList(Omake(), "Short", table_);
    }
    ChartJob Job() {
        ChartJob job{Omake(), "Short", images_.Downloader(), {}, {}, kChartByteBudget, {}};
        job.StateChanged = [this](int row, const std::string& state) {
            changes_.push_back(std::to_string(row) + state);
        };
        job.Progress.Status = [this](const std::string& text) { status_.push_back(text); };
        return job;
    }
    std::vector<std::string> States() const {
        std::vector<std::string> s;
        for (const auto& row : table_.Rows()) s.push_back(row[1]);
        return s;
    }
    platform::Table table_;
    ScriptedImages images_;
    std::vector<std::string> changes_;
    std::vector<std::string> status_;
};

TEST_F(Charts, ARangeSelectedEitherWayCreatesItsRowsInOrderAndSkipsUnavailableOnes) {
    ASSERT_EQ(States(), (std::vector<std::string>{"作成可", "作成不可", "作成可", "更新可", "作成済"}));
    EXPECT_EQ(CreateCharts(Job(), table_, 3, 0), 5);
    EXPECT_EQ(images_.asked, (std::vector<std::string>{"20020517-1", "20020517-2", "20020515-1", "20020514-1",
                                                       "20020514-2"}));
    EXPECT_EQ(States(), (std::vector<std::string>{"作成済", "作成不可", "作成済", "作成済", "作成済"}));
    EXPECT_EQ(changes_, (std::vector<std::string>{"0作成中", "0作成済", "2作成中", "2作成済", "3作成中", "3作成済"}));
    EXPECT_TRUE(fs::exists(Omake() / "Short/Image/20020517_2.jpg"));
    // The record holds the created dates under the server's stamps, and the list says so.
    EXPECT_EQ(ReadAll(Omake() / "Short/List/Downloaded.txt"),
              "\"2002/05/14\",2,\"20020515\"\r\n\"2002/05/13\",1,\"20020514\"\r\n\"2002/05/17\",2,\"20020520\"\r\n"
              "\"2002/05/15\",1,\"20020516\"\r\n");
    platform::Table reread;
    ShowCurrentList(Omake(), "Short", reread);
    EXPECT_EQ(reread.Rows(), table_.Rows());
}

TEST_F(Charts, UpdateAllTakesOnlyRowsThatCanBeCreatedOrUpdated) {
    EXPECT_EQ(UpdateAllCharts(Job(), table_), 5);
    EXPECT_EQ(images_.asked, (std::vector<std::string>{"20020517-1", "20020517-2", "20020515-1", "20020514-1",
                                                       "20020514-2"}));
    EXPECT_EQ(UpdateAllCharts(Job(), table_), 0);  // everything is created now
    EXPECT_EQ(images_.asked.size(), 5u);
}

TEST_F(Charts, ACancelledJobStopsBeforeTheNextImageAndRecordsNothing) {
    const std::string downloadedBefore = fs::exists(Omake() / "Short/List/Downloaded.txt")
                                             ? ReadAll(Omake() / "Short/List/Downloaded.txt") : std::string("none");
    ChartJob job = Job();
    job.Cancelled = [this] { return images_.asked.size() >= 3; };  // the user cancels during the third image
    CreateCharts(job, table_, 0, 4);
    EXPECT_EQ(images_.asked.size(), 3u);
    EXPECT_EQ(fs::exists(Omake() / "Short/List/Downloaded.txt") ? ReadAll(Omake() / "Short/List/Downloaded.txt")
                                                                : std::string("none"),
              downloadedBefore);
}

TEST_F(Charts, OnlyJpegsLongerThan1025BytesCount) {
    const std::string jpeg("\xFF\xD8", 2);
    images_.bodies["20020517-1"] = jpeg + std::string(1023, 'x');  // 1,025 bytes: stored, not counted
    images_.bodies["20020517-2"] = jpeg + std::string(1024, 'x');  // 1,026 bytes: counted
    images_.bodies["20020515-1"] = std::string(3000, '<');         // an error page: stored, not counted
    EXPECT_EQ(CreateCharts(Job(), table_, 0, 2), 1);
    EXPECT_EQ(fs::file_size(Omake() / "Short/Image/20020517_1.jpg"), 1025u);
    EXPECT_EQ(States()[0], "作成済");
    EXPECT_EQ(States()[2], "作成可");  // nothing counted: unchanged and not recorded
    EXPECT_EQ(FindDownloaded(LoadDownloaded(Omake(), "Short"), "2002/05/15"), "");
}

TEST_F(Charts, ADateWhoseImagesAllFailedKeepsItsState) {
    images_.bodies["20020514-1"] = "FAIL";
    images_.bodies["20020514-2"] = "FAIL";
    EXPECT_EQ(CreateCharts(Job(), table_, 3, 3), 0);
    EXPECT_EQ(States()[3], "更新可");
    EXPECT_TRUE(changes_.empty());
    // One of two stored: created, recorded with the full count.
    images_.bodies["20020514-2"] = images_.defaultBody;
    EXPECT_EQ(CreateCharts(Job(), table_, 3, 3), 1);
    EXPECT_EQ(States()[3], "作成済");
    EXPECT_EQ(FindDownloaded(LoadDownloaded(Omake(), "Short"), "2002/05/14"), "20020515");
}

TEST_F(Charts, DatesThatAreNotDatesNeverNameAFile) {
    platform::Table hostile;
    ResetListTable(hostile);
    hostile.AddRow({"../../../../tmp/x", "作成可", "1", "20020520"});
    hostile.AddRow({"2002/05/1/", "作成可", "1", "20020520"});
    hostile.AddRow({"..\\..\\x/y/z", "更新可", "1", "20020520"});
    const auto before = std::distance(fs::recursive_directory_iterator(temp_.Path()), {});
    EXPECT_EQ(UpdateAllCharts(Job(), hostile), 0);
    EXPECT_TRUE(images_.asked.empty());
    ASSERT_FALSE(status_.empty());
    EXPECT_NE(status_[0].find("日付が正しくない"), std::string::npos);
    // Only the current list and the record were rewritten; no new file appeared anywhere.
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(temp_.Path()), {}), before);
    EXPECT_THROW(GetImageFilePath(Omake(), "Short", "../../x/y", 1), platform::FormatError);
    EXPECT_THROW(GetImageFilePath(Omake(), "../x", "2002/05/17", 1), platform::FormatError);
}

TEST_F(Charts, AStampLongerThanItsFieldSettlesOnceCreated) {
    ServerList("20020517,1,2,\"2002052012\"\r\n");
    BuildCurrentList(Omake(), "Short");
    ShowCurrentList(Omake(), "Short", table_);
    EXPECT_EQ(UpdateAllCharts(Job(), table_), 2);
    EXPECT_EQ(Current(), "\"2002/05/17\",\"作成済\",2,\"2002052012\"\r\n");
    ShowCurrentList(Omake(), "Short", table_);
    EXPECT_EQ(UpdateAllCharts(Job(), table_), 0);  // not downloaded again at the next update
    EXPECT_EQ(images_.asked.size(), 2u);
}

TEST_F(Charts, AHostileCountOrSizeCannotFillTheDisk) {
    ServerList("20020517,1,32767,\"20020520\"\r\n20020516,1,3,\"20020520\"\r\n");
    BuildCurrentList(Omake(), "Short");
    ShowCurrentList(Omake(), "Short", table_);
    EXPECT_EQ(UpdateAllCharts(Job(), table_), kMaxImagesPerDate + 3);
    EXPECT_EQ(images_.asked.size(), static_cast<size_t>(kMaxImagesPerDate) + 3);

    // Past the byte budget the command stops, keeps what it stored and says why.
    fs::remove_all(Omake() / "Short" / "List" / "Downloaded.txt");
    BuildCurrentList(Omake(), "Short");
    ShowCurrentList(Omake(), "Short", table_);
    images_.asked.clear();
    ChartJob job = Job();
    job.ByteBudget = 5000;  // two and a half images of 2,002 bytes
    EXPECT_EQ(UpdateAllCharts(job, table_), 3);
    EXPECT_EQ(images_.asked.size(), 3u);
    EXPECT_EQ(status_.back(), ChartBudgetText(5000));
    EXPECT_EQ(States()[0], "作成済");  // the date begun is recorded with what it has
    EXPECT_EQ(States()[1], "作成可");  // the next one is left for another time
}

}  // namespace
