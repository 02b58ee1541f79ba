#include "holdings/Intraday.h"

#include <cmath>
#include <utility>
#include <vector>

#include "platform/Numbers.h"
#include "platform/AtomicFile.h"
#include "platform/Date.h"
#include "platform/Errors.h"
#include "platform/FetchFailure.h"
#include "platform/HttpClient.h"
#include "platform/TextFields.h"
#include "quotes/StockFile.h"
#include "quotesite/QuotePage.h"

namespace fs = std::filesystem;

namespace mirolanda::holdings {

namespace {

constexpr int kBlock = 50;
// Removes last update's images; only files, so a folder someone put there is left alone.
void ClearDailyFolder(const fs::path& settingFolder) {
    platform::EnsureFolder(settingFolder);
    const fs::path daily = DailyFolder(settingFolder);
    platform::EnsureFolder(daily);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(daily)) {
        if (entry.is_directory(ec)) continue;
        if (!fs::remove(entry.path(), ec) && ec) throw platform::FileError(entry.path(), "ファイルを削除できません(" + ec.message() + ")");
    }
}

std::string BlockRange(int first) { return std::to_string(first) + "～" + std::to_string(first + kBlock); }

// The quote-page request for codes[from … from + 49] (fewer at the end).
std::string BlockRequest(const std::vector<std::string>& codes, size_t from) {
    std::string path = "/q?s=";
    for (size_t j = from; j < codes.size() && j < from + kBlock; ++j) {
        if (j > from) path += "+";
        path += platform::TrimBlanks(codes[j]);
    }
    return path + "&d=v2";
}

// Files one quote row's latest price under the data date; rows without a usable code or date
// are passed over, and a damaged history file is left as it is and reported.
void FilePrice(const platform::Table::Row& row, const IntradayOptions& options, quotes::FilingReport& report) {
    auto code = platform::WholeInteger(row[0], 1000, 9999);
    const auto day = platform::ParseYmd(options.DataDate ? options.DataDate() : std::string());
    if (!code || !day) return;
    const fs::path path = quotes::IssueFilePath(options.StockFolder, static_cast<int>(*code));
    try {
        quotes::StoreDayPrice(options.StockFolder, static_cast<int>(*code), row[1], platform::FormatSlashed(*day),
                              platform::CellToInt32(row[5]));
        ++report.Stored;
    } catch (const platform::FormatError& e) {
        report.Skipped.push_back({path, e.Reason()});
    } catch (const platform::FileError& e) {
        // Only the history file's own trouble is skipped; a folder or disk that fails stops the update.
        if (e.Path() != path) throw;
        report.Skipped.push_back({path, e.Reason()});
    }
}

}  // namespace

fs::path DailyFolder(const fs::path& settingFolder) { return settingFolder / "Daily"; }

std::string ChartImageRequestPath(std::string_view link) {
    return "/chart/1d/" + std::string(link.substr(0, 1)) + "/" + std::string(link) + ".gif";
}

std::string DailyImageName(std::string_view link) { return std::string(link.substr(0, 4)) + ".gif"; }

IntradayOutcome RunIntradayUpdate(platform::Table& quotes, const std::vector<std::string>& codes,
                                  platform::Fetcher& client, const IntradayOptions& options,
                                  const platform::Progress& progress) {
    IntradayOutcome outcome;
    quotes.Clear();
    quotes.SetColumnCount(quotesite::kQuoteColumns);
    // Every folder it writes is made before the site is asked for anything.
    platform::EnsureFolder(options.TempFolder);
    platform::EnsureFolder(options.StockFolder);
    platform::EnsureFolder(DailyFolder(options.SettingFolder));
    quotes::RemoveStaleHistoryTemporaries(options.StockFolder);
    progress.Show("ＹＡＨＯＯ接続");
    client.SetAccess(options.ConnectionMode, options.Proxy);
    // The images and prices are written once the fetching has ended: a cancelled update then
    // leaves "Daily" and the histories as they were; a failed one keeps what came before it.
    std::vector<std::pair<int, std::string>> images;  // quote row, image bytes ("" for none)
    const fs::path daily = DailyFolder(options.SettingFolder);
    auto keep = [&] {
        ClearDailyFolder(options.SettingFolder);
        for (const auto& [k, bytes] : images) {
            const platform::Table::Row& row = quotes.RowAt(k);
            if (!bytes.empty() || IsSafeLinkCode(row[7])) {
                platform::ReplaceFile(daily / DailyImageName(row[7]), bytes);
                ++outcome.Images;
            }
            FilePrice(row, options, outcome.Filing);
        }
    };
    auto fail = [&](const platform::FetchResult& failed) {
        outcome.Status = platform::InternetErrorText(failed);
        outcome.Detail = failed.Description;
        outcome.Cancelled = platform::WasCancelled(failed);
        if (!outcome.Cancelled) keep();
        progress.Show(outcome.Status);
        return outcome;
    };
    const std::string quoteBase(platform::TrimTrailingSlashes(options.QuoteSiteUrl));
    for (size_t from = 0; from < codes.size(); from += kBlock) {
        const int i = static_cast<int>(from) + 1;
        progress.Show("ＹＡＨＯＯ接続－要求 " + BlockRange(i));
        platform::FetchResult page = client.FetchChecked(quoteBase + BlockRequest(codes, from), quotesite::CheckQuotePage);
        if (!page.Ok) return fail(page);
        progress.Show("ＹＡＨＯＯ接続 " + BlockRange(i));
        quotesite::ImportQuotePage(quotes, page.Body, options.TempFolder, progress);
    }
    const std::string chartBase(platform::TrimTrailingSlashes(options.ChartSiteUrl));
    for (int k = 0; k < quotes.RowCount(); ++k) {
        const std::string link = quotes.Cell(k, 7);
        if (IsSafeLinkCode(link)) {
            progress.Show("ＹＡＨＯＯチャート取得 " + link);
            platform::FetchResult image = client.Fetch(chartBase + ChartImageRequestPath(link));
            if (!image.Ok) return fail(image);
            images.emplace_back(k, std::move(image.Body));
        } else {
            // Never name a file or an address after text the page gave us unchecked.
            progress.Show("リンクコードが正しくないためチャートを取得しません (" + quotes.Cell(k, 0).substr(0, 8) + ")");
            images.emplace_back(k, std::string());
        }
        progress.Step(k + 1, quotes.RowCount());
    }
    keep();
    outcome.Status = quotes::SkippedSummary(outcome.Filing.Skipped);
    progress.Show(outcome.Status);
    outcome.Ok = true;
    return outcome;
}

void DescribeInRunRecord(const IntradayOutcome& outcome, platform::RunRecord& record) {
    quotes::DescribeFilingInRunRecord(outcome.Ok, outcome.Filing, record);
    record.Notes.push_back("images=" + std::to_string(outcome.Images));
    record.Error = outcome.Detail;
}

std::string PlainNumber(double value) {
    // A product of two huge cells can overflow; the line then shows 0 rather than "inf".
    return std::isfinite(value) ? platform::FormatNumber(value) : "0";
}

std::string DayInfoLine(std::string_view closeCell, std::string_view buyCell, std::string_view qtyCell) {
    const double close = platform::LeadingNumber(closeCell);
    const double buy = platform::LeadingNumber(buyCell);
    const double qty = platform::LeadingNumber(qtyCell);
    return "終値 " + PlainNumber(close) + "円  　買値 " + std::string(buyCell) + "円  (" + PlainNumber(qty * buy) +
           "円→" + PlainNumber(qty * close) + "円)";
}

std::optional<DayView> DayViewAt(const platform::Table& quotes, const platform::Table& holdings,
                                 const fs::path& settingFolder, int position) {
    const int h = position - 1;
    if (h < 0 || h >= holdings.RowCount() || holdings.ColumnCount() < 5) return std::nullopt;
    // The k-th holding of a code belongs to the k-th quote row of that code, whatever the
    // site dropped or reordered.
    const std::string_view code = platform::TrimBlanks(holdings.Cell(h, 0));
    int occurrence = 0;
    for (int before = 0; before < h; ++before) occurrence += platform::TrimBlanks(holdings.Cell(before, 0)) == code ? 1 : 0;
    DayView view;
    for (int q = 0; q < quotes.RowCount() && quotes.ColumnCount() >= quotesite::kQuoteColumns; ++q) {
        const platform::Table::Row& row = quotes.RowAt(q);
        if (platform::TrimBlanks(row[0]) != code || occurrence-- > 0) continue;
        if (IsSafeLinkCode(row[7])) view.Image = DailyFolder(settingFolder) / DailyImageName(row[7]);
        view.Meigara = row[0] + "  " + row[1];
        view.Info = DayInfoLine(row[5], holdings.Cell(h, 3), holdings.Cell(h, 4));
        return view;
    }
    // The site did not answer for this holding: say so rather than leave it out.
    view.Meigara = holdings.Cell(h, 0) + "  " + holdings.Cell(h, 1);
    view.Info = std::string(kNotFetched);
    return view;
}

}  // namespace mirolanda::holdings
