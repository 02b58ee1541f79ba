#include "quotesite/SiteSource.h"

#include <string>

#include "platform/FetchFailure.h"
#include "platform/Table.h"
#include "platform/TextFields.h"
#include "quotesite/QuotePage.h"

namespace mirolanda::quotesite {
namespace {

constexpr int kFirstCode = 1000;
constexpr int kBlocks = 180;  // 1000 … 9999

// The rows a block's page added to the parse table, typed. The parser wrote every number itself.
void AddRows(const platform::Table& page, int from, const platform::Date& day, market::DaySnapshot& into) {
    for (int r = from; r < page.RowCount(); ++r) {
        market::SnapshotRow row;
        row.Code = market::IssueCode(std::stoi(page.Cell(r, 0)));
        row.Name = page.Cell(r, 1);
        row.Prices = {day,
                      market::FromYen(std::stoll(page.Cell(r, 2))),
                      market::FromYen(std::stoll(page.Cell(r, 3))),
                      market::FromYen(std::stoll(page.Cell(r, 4))),
                      market::FromYen(std::stoll(page.Cell(r, 5))),
                      std::stoll(page.Cell(r, 6)),
                      std::nullopt,
                      1.0};
        into.Rows.push_back(std::move(row));
    }
}

}  // namespace

std::string BlockRange(int first) { return std::to_string(first) + "～" + std::to_string(first + kCodesPerRequest); }

SiteSource::SiteSource(std::string baseUrl) : base_(platform::TrimTrailingSlashes(baseUrl)) {}

void SiteSource::FetchDay(const platform::Date& day, market::SourceContext& context, market::FetchedDay& into) {
    into = market::EmptyDay(day, kSettingName);
    const platform::Progress& progress = context.Progress;
    platform::Table page(kResultColumns);
    for (int block = 0; block < kBlocks; ++block) {
        const int first = kFirstCode + block * kCodesPerRequest;
        progress.Show("ダウンロード－要求 " + BlockRange(first));
        platform::FetchResult answer =
            context.Client.FetchChecked(base_ + QuoteRequestPath(first, kCodesPerRequest), CheckQuotePage);
        if (!answer.Ok) {
            throw market::SourceFailure(platform::InternetErrorText(answer), answer.Description,
                                        platform::WasCancelled(answer));
        }
        progress.Show("ダウンロード－解析 " + BlockRange(first));
        const int before = page.RowCount();
        ImportQuotePage(page, answer.Body, context.TempFolder, progress);
        AddRows(page, before, day, into.Day);
        into.Blocks.push_back({first, kCodesPerRequest, page.RowCount() - before});
        progress.Step((context.Pass - 1) * kBlocks + block + 1, context.MaxPasses * kBlocks);
    }
}

market::SourceEntry Entry() {
    return {kSettingName, "株価サイト", [](const market::SourceSetup& setup) {
                return std::make_unique<SiteSource>(setup.Setting(kQuoteSiteUrlKey));
            }};
}

}  // namespace mirolanda::quotesite
