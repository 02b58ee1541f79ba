// The bonus chart images: their paths and the creation of the charts of list rows.
#include <algorithm>

#include "bonus/Omake.h"
#include "platform/Numbers.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/Errors.h"

namespace fs = std::filesystem;

namespace mirolanda::bonus {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Date8(std::string_view slashed) {
    return std::string(slashed.substr(0, 4)) + std::string(slashed.substr(5, 2)) + std::string(slashed.substr(8, 2));
}

// Downloads the images of one row; returns how many were stored as charts. `bytes` counts what
// the command has stored; the row stops once it passes the budget.
int CreateRow(const ChartJob& job, platform::Table& table, int row, int64_t& bytes) {
    const std::string date = table.Cell(row, kListDate);
    if (!IsChartDate(date)) {
        // The list came from the server: a date we cannot name a file after is passed over.
        job.Progress.Show("日付が正しくないため作成しません (" + date.substr(0, 40) + ")");
        return 0;
    }
    // The count comes from the server: a hostile one must not fill the disk.
    const int count = std::min<int>(platform::CellToInt16(table.Cell(row, kListCount)), kMaxImagesPerDate);
    int stored = 0;
    for (int k = 1; k <= count && bytes <= job.ByteBudget && !job.IsCancelled(); ++k) {
        const fs::path path = GetImageFilePath(job.OmakeFolder, job.Mode, date, k);
        ImageFetch fetch = job.Download(job.Mode, Date8(date), k, path);
        if (fetch.Ok) bytes += static_cast<int64_t>(fetch.Size) + 1;
        if (!CountsAsChart(fetch)) continue;
        if (stored == 0) {
            table.SetCell(row, kListState, std::string(kStateCreating));
            if (job.StateChanged) job.StateChanged(row, std::string(kStateCreating));
        }
        ++stored;
    }
    return stored;
}

int CreateRows(const ChartJob& job, platform::Table& table, const std::vector<int>& rows) {
    DownloadedTable downloaded = LoadDownloaded(job.OmakeFolder, job.Mode);
    int total = 0;
    int64_t bytes = 0;
    for (int row : rows) {
        if (bytes > job.ByteBudget || job.IsCancelled()) break;
        int stored = CreateRow(job, table, row, bytes);
        if (job.IsCancelled()) return total;
        if (stored == 0) continue;
        total += stored;
        table.SetCell(row, kListState, std::string(kStateCreated));
        if (job.StateChanged) job.StateChanged(row, std::string(kStateCreated));
        SetDownloaded(downloaded, table.Cell(row, kListDate), platform::CellToInt16(table.Cell(row, kListCount)),
                      table.Cell(row, kListStamp));
    }
    SaveDownloaded(job.OmakeFolder, job.Mode, downloaded);
    BuildCurrentList(job.OmakeFolder, job.Mode);
    if (bytes > job.ByteBudget) job.Progress.Show(ChartBudgetText(job.ByteBudget));
    return total;
}

}  // namespace

bool HasStoredCharts(std::string_view state) { return state == kStateCreated || state == kStateUpdatable; }

bool IsChartDate(std::string_view date) {
    if (date.size() != 10 || date[4] != '/' || date[7] != '/') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(date[i])) return false;
    }
    return true;
}

bool IsDate8(std::string_view date8) {
    return platform::ParseYmd(date8).has_value();
}

std::string ChartBudgetText(int64_t budget) {
    return "チャートの容量が上限(" + std::to_string(budget >> 20) + "MB)に達したため、作成を中止しました";
}

std::string SlashedDate8(std::string_view date8) {
    return std::string(date8.substr(0, 4)) + "/" + std::string(date8.substr(4, 2)) + "/" + std::string(date8.substr(6, 2));
}

fs::path ImageFilePathOf(const fs::path& omakeFolder, std::string_view mode, std::string_view date, int number) {
    if (!IsChartDate(date)) throw platform::FormatError(omakeFolder, 0, "チャートの日付が正しくありません: " + std::string(date.substr(0, 40)));
    if (mode != "Short" && mode != "Long") throw platform::FormatError(omakeFolder, 0, "モードが正しくありません");
    return omakeFolder / mode / "Image" / (Date8(date) + "_" + std::to_string(number) + ".jpg");
}

fs::path GetImageFilePath(const fs::path& omakeFolder, std::string_view mode, std::string_view date, int number) {
    fs::path path = ImageFilePathOf(omakeFolder, mode, date, number);
    platform::EnsureFolder(omakeFolder);
    platform::EnsureFolder(omakeFolder / mode);
    platform::EnsureFolder(omakeFolder / mode / "Image");
    return path;
}

bool CountsAsChart(const ImageFetch& fetch) { return fetch.Ok && fetch.Jpeg && fetch.Size > kLargestNonChartResult; }

int CreateCharts(const ChartJob& job, platform::Table& table, int a, int b) {
    std::vector<int> rows;
    const int first = std::max(0, std::min(a, b));
    const int last = std::min(table.RowCount() - 1, std::max(a, b));
    for (int r = first; r <= last; ++r) {
        if (table.Cell(r, kListState) != kStateUnavailable) rows.push_back(r);
    }
    return CreateRows(job, table, rows);
}

int UpdateAllCharts(const ChartJob& job, platform::Table& table) {
    std::vector<int> rows;
    for (int r = 0; r < table.RowCount(); ++r) {
        const std::string& state = table.Cell(r, kListState);
        if (state != kStateCreated && state != kStateUnavailable) rows.push_back(r);
    }
    return CreateRows(job, table, rows);
}

}  // namespace mirolanda::bonus
