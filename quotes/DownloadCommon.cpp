#include "quotes/DownloadCommon.h"

#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"

namespace mirolanda::quotes {

std::string IncompleteDownloadText(int issues, double minimum) {
    return "ダウンロード銘柄数が不足しています(" + std::to_string(issues) + "銘柄、必要数 " +
           std::to_string(static_cast<long long>(minimum)) + "銘柄)";
}

void SaveDownloadResults(const platform::Table& grid, const DownloadOptions& options, const std::string& dataDate,
                         const platform::Progress& progress, DownloadOutcome& outcome) {
    if (options.AutoCsvSave) {
        progress.Show("ＣＳＶファイル保存中");
        outcome.CsvPath = SaveDailyCsv(grid, options.CsvFolder, dataDate);
        progress.Show("ＣＳＶファイル保存完了");
    }
    if (options.AutoDataSave) {
        // Files the CSV of the data date: the one just written, or one saved earlier.
        ConvertCsvToIssueFiles(DailyCsvPath(options.CsvFolder, dataDate), options.StockFolder, progress);
    }
}

}  // namespace mirolanda::quotes
