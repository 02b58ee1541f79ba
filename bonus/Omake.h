// The bonus ("おまけ") lists and charts of one mode ("Short" or "Long"): the three list files
// under the bonus folder, the record of downloaded chart dates, the current list with each
// date's state, the chart image paths, and the creation of a range of dates' charts. Used by
// the window's bonus tab; the image download itself is passed in (Publisher.h gives the real one).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Progress.h"
#include "platform/Table.h"

namespace mirolanda::bonus {

// Columns of a list table: date "yyyy/mm/dd", state, image count, update stamp (hidden).
inline constexpr int kListColumns = 4;
enum ListColumn { kListDate = 0, kListState = 1, kListCount = 2, kListStamp = 3 };
inline constexpr int kListWidthsTwips[kListColumns] = {1000, 800, 380, 0};

inline constexpr std::string_view kStateUnavailable = "作成不可";
inline constexpr std::string_view kStateAvailable = "作成可";
inline constexpr std::string_view kStateCreated = "作成済";
inline constexpr std::string_view kStateUpdatable = "更新可";
inline constexpr std::string_view kStateCreating = "作成中";

// An image download result (body length − 1) of this or less is an error page, not a chart:
// a body of 1,025 bytes or fewer.
inline constexpr int32_t kLargestNonChartResult = 1024;

// "Short" for page 0, "Long" for any other page.
std::string ModeWord(int index);

// bonus/<mode>/List/ + "CurrentList.txt" (kind "List"), "DownList.txt" (kind "Down") or
// "Downloaded.txt" (any other kind). Creates the missing folders one level at a time.
std::filesystem::path GetListFilePath(const std::filesystem::path& omakeFolder, std::string_view mode,
                                      std::string_view kind);

// The same path without creating anything, for reading: a read never needs a folder.
std::filesystem::path ListFilePathOf(const std::filesystem::path& omakeFolder, std::string_view mode,
                                     std::string_view kind);

// Replaces "DownList.txt" with the server's answer, byte for byte.
void SaveDownList(const std::filesystem::path& omakeFolder, std::string_view mode, std::string_view bytes);

// One mode's record of downloaded chart dates; date and stamp are held padded to 10 and 8
// characters, and lookups compare the padded texts.
struct DownloadedEntry {
    std::string ChartDate;
    int16_t ChartCount = 0;
    std::string UpdateStamp;
};
struct DownloadedTable {
    std::vector<DownloadedEntry> Entries;
};

// The mode's "Downloaded.txt"; empty when there is none. Lines that are not three fields
// with a whole count are left out.
DownloadedTable LoadDownloaded(const std::filesystem::path& omakeFolder, std::string_view mode);
// Rewrites "Downloaded.txt" from the table; an empty table writes nothing.
void SaveDownloaded(const std::filesystem::path& omakeFolder, std::string_view mode, const DownloadedTable& table);
// The padded stamp of the first entry of that date ("yyyy/mm/dd"), or "".
std::string FindDownloaded(const DownloadedTable& table, std::string_view date);
// Gives the first entry of that date the count and stamp, or appends a new entry.
void SetDownloaded(DownloadedTable& table, std::string_view date, int16_t count, std::string_view stamp);

// One line of the server's list: date "yyyymmdd", flag, image count, update stamp.
struct ServerListLine {
    std::string Date8;
    long Flag = 0;
    int16_t Count = 0;
    std::string Stamp;
};
// Nothing for a line not of four fields with an eight-digit date, a whole flag and a count
// from 0 to 32767 (an error page, a truncated answer).
std::optional<ServerListLine> ParseServerListLine(std::string_view line);
// The state of a server line against the record: a flag other than 1 reads "作成不可".
std::string ChartState(const ServerListLine& line, const DownloadedTable& downloaded);

// Rewrites "CurrentList.txt" from "DownList.txt" (none: an empty list) and the record, in the
// server's order, and writes the record back in its normal form. Returns the number of server
// lines left out because they were not in the list's form.
int BuildCurrentList(const std::filesystem::path& omakeFolder, std::string_view mode);

// Empties a list table to its four columns and heading row.
void ResetListTable(platform::Table& table);
// Fills the table from "CurrentList.txt", newest date first; only the heading without a file.
// Creates no folder, so a start-up with a missing bonus folder stays silent.
void ShowCurrentList(const std::filesystem::path& omakeFolder, std::string_view mode, platform::Table& table);

// True for the states of a date whose charts are stored ("作成済", "更新可"): the ones the
// viewer shows.
bool HasStoredCharts(std::string_view state);

// True for a date "yyyy/mm/dd" of digits, the only form a path is ever built from.
bool IsChartDate(std::string_view date);
// True for a real calendar date "yyyymmdd" (20020517, not 99999999), the form of the
// server's list and requests.
bool IsDate8(std::string_view date8);

// The status a chart command ends with when it stopped at the byte budget.
std::string ChartBudgetText(int64_t budget);
// "yyyy/mm/dd" from a date that IsDate8 accepts.
std::string SlashedDate8(std::string_view date8);

// bonus/<mode>/Image/yyyymmdd_n.jpg, creating the missing folders one level at a time.
// Throws FormatError for a date that is not "yyyy/mm/dd" digits or a mode other than the two.
std::filesystem::path GetImageFilePath(const std::filesystem::path& omakeFolder, std::string_view mode,
                                       std::string_view date, int number);

// The same path without creating anything, for showing a stored image. Throws FormatError
// like GetImageFilePath.
std::filesystem::path ImageFilePathOf(const std::filesystem::path& omakeFolder, std::string_view mode,
                                      std::string_view date, int number);

// What one image download brought: Size is the body's length − 1, or 0 when the request failed.
struct ImageFetch {
    int32_t Size = 0;
    bool Ok = false;
    bool Jpeg = false;  // the stored bytes start as a JPEG does
};
// Counted as a created chart: a JPEG longer than 1,025 bytes.
bool CountsAsChart(const ImageFetch& fetch);

using ImageDownloader = std::function<ImageFetch(const std::string& mode, const std::string& date8, int number,
                                                 const std::filesystem::path& path)>;

// A list line may announce thousands of images a date; no more than these are fetched.
inline constexpr int kMaxImagesPerDate = 100;
// What one chart command may store before it stops.
inline constexpr int64_t kChartByteBudget = 200LL << 20;

struct ChartJob {
    std::filesystem::path OmakeFolder;
    std::string Mode;
    ImageDownloader Download;
    // Told each state written into the table, so a window can show it while the work runs.
    std::function<void(int row, const std::string& state)> StateChanged;
    platform::Progress Progress;
    int64_t ByteBudget = kChartByteBudget;
    // True once the user cancelled: the work stops before the next image and records nothing.
    std::function<bool()> Cancelled;

    bool IsCancelled() const { return Cancelled && Cancelled(); }
};

// Creates the charts of the data rows from the smaller of a and b to the larger, skipping
// "作成不可" rows and rows whose date is not a date; records them and rebuilds the current
// list. Returns the number of images stored. The table's states are written as it goes. At
// most 100 images of a date are fetched; once the images stored pass the job's byte budget the
// command stops after recording what it has, with the budget text as its last status. A
// cancelled job records nothing and leaves the list files as they were.
int CreateCharts(const ChartJob& job, platform::Table& table, int a, int b);
// The same for every row that is neither "作成済" nor "作成不可".
int UpdateAllCharts(const ChartJob& job, platform::Table& table);

}  // namespace mirolanda::bonus
