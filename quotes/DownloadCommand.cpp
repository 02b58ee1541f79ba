#include "quotes/DownloadCommand.h"

#include <algorithm>
#include <memory>
#include <set>

#include "platform/AtomicFile.h"
#include "platform/CacheFile.h"
#include "quotes/CsvFile.h"
#include "quotes/StockFile.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {
namespace {

// The source's part of a command: Begin at the start, End however it ends.
class SourceCommand {
public:
    SourceCommand(market::QuoteSource& source, market::SourceContext& context) : source_(source), context_(context) {
        source_.Begin(context_);
    }
    ~SourceCommand() { source_.End(context_); }
    SourceCommand(const SourceCommand&) = delete;
    SourceCommand& operator=(const SourceCommand&) = delete;

private:
    market::QuoteSource& source_;
    market::SourceContext& context_;
};

market::SourceContext ContextOf(platform::Fetcher& client, const DownloadOptions& options,
                                const platform::Progress& progress) {
    client.SetAccess(options.ConnectionMode, options.Proxy);
    return {client, options.TempFolder, options.ConnectionMode, options.Proxy, progress};
}

// Which days the command is about: the data date and the business-day rule behind it.
struct Plan {
    platform::Date Day;
    platform::BusinessDayRule Rule;
};

bool IsWeekday(const platform::Date& day) {
    const int weekday = platform::Weekday(day);
    return weekday != 0 && weekday != 6;
}

// The calendar differences not reported before; they are remembered as reported from now on,
// in a small file of the source's in the temporary folder.
std::vector<calendar::CalendarDifference> NotYetReported(std::vector<calendar::CalendarDifference> differences,
                                                         const fs::path& folder, std::string_view source) {
    const std::string name = std::string(source) + "-calendar-reported.txt";
    const std::string firstLine = "#" + std::string(source) + "-calendar-reported";
    std::set<std::string> reported;
    std::string text = firstLine + "\n";
    if (auto rows = platform::ReadCache(folder / name, firstLine, 1)) {
        for (const auto& row : *rows) {
            reported.insert(row[0]);
            text += row[0] + "\n";
        }
    }
    std::vector<calendar::CalendarDifference> fresh;
    for (const calendar::CalendarDifference& difference : differences) {
        const std::string ymd = platform::FormatYmd(difference.Day);
        if (!reported.insert(ymd).second) continue;
        fresh.push_back(difference);
        text += ymd + "\n";
    }
    if (!fresh.empty()) platform::WriteCache(folder, name, text);
    return fresh;
}

Plan MakePlan(market::QuoteSource& source, market::SourceContext& context, const DownloadOptions& options,
              std::vector<calendar::CalendarDifference>& differences) {
    if (options.BuiltinBusinessDay && options.Now) {
        const platform::DateTime now = options.Now();
        if (auto exchange = source.TradingCalendar(now.Day.Year, now.Day, context)) {
            differences = NotYetReported(CompareCalendars(*exchange, options.BuiltinBusinessDay), options.TempFolder,
                                         source.SettingName());
            Plan plan{{}, calendar::ExchangeFirst(*exchange, options.BuiltinBusinessDay)};
            auto day = platform::DataDateUnder(now, plan.Rule);
            if (!day) throw market::SourceFailure("データ日付を決められません");
            plan.Day = *day;
            return plan;
        }
    }
    if (!options.DataDate) throw market::SourceFailure("データ日付を決められません");
    return {options.DataDate(), options.BuiltinBusinessDay ? options.BuiltinBusinessDay : platform::BusinessDayRule(IsWeekday)};
}

// A day with fewer issues than the minimum, after every pass the source may make.
class IncompleteDay : public market::SourceFailure {
public:
    using market::SourceFailure::SourceFailure;
};

// One day fetched whole: again while incomplete, for a source that asks again, up to the limit.
void FetchWholeDay(market::QuoteSource& source, market::SourceContext& context, const DownloadOptions& options,
                   const platform::Date& day, market::FetchedDay& fetched) {
    context.MaxPasses = source.AsksAgainWhenIncomplete() ? std::max(options.MaxPasses, 1) : 1;
    for (context.Pass = 1;; ++context.Pass) {
        context.Progress.Show("ダウンロード－開始");
        source.FetchDay(day, context, fetched);
        const int issues = fetched.Day.IssueCount();
        if (!IsIncomplete(options, issues)) return;
        if (context.Pass >= context.MaxPasses) {
            throw IncompleteDay(IncompleteDownloadText(issues, options.MinimumIssues));
        }
    }
}

// Pages that listed fewer issues than their request asked for and than the previous day had.
// Blocks are asked by numeric code, so only the previous day's numeric codes count.
void FindShortPages(const std::vector<market::CodeBlock>& blocks, const std::set<market::IssueCode>& before,
                    DownloadOutcome& outcome) {
    std::vector<int> numeric;
    for (const market::IssueCode& code : before) {
        if (code.IsNumeric()) numeric.push_back(std::stoi(code.Text()));
    }
    std::sort(numeric.begin(), numeric.end());
    for (const market::CodeBlock& block : blocks) {
        const auto previous = std::lower_bound(numeric.begin(), numeric.end(), block.First + block.Count) -
                              std::lower_bound(numeric.begin(), numeric.end(), block.First);
        if (block.Listed < block.Count && block.Listed < previous) {
            outcome.ShortPages.push_back({block.First, block.Count, block.Listed, static_cast<int>(previous)});
        }
    }
}

// The missed days in order, each saved once fetched whole; the progress bar counts `steps`.
void CatchUpDays(market::QuoteSource& source, market::SourceContext& context, const DownloadOptions& options,
                 const std::vector<platform::Date>& days, int steps, FilingReport& filing,
                 std::vector<platform::Date>& done) {
    for (const platform::Date& day : days) {
        market::FetchedDay fetched;
        try {
            FetchWholeDay(source, context, options, day, fetched);
        } catch (const IncompleteDay& e) {
            throw market::SourceFailure(std::string(e.what()) + " " + platform::FormatSlashed(day));
        }
        // A caught-up day is kept whole: its CSV and its filing, whatever the options say.
        DailyCsvStore(options.CsvFolder).Add(fetched.Day, {});
        FileDay(fetched.Day, options.StockFolder, context.Progress, &filing);
        for (market::DayStore* store : options.MoreStores) store->Add(fetched.Day, context.Progress);
        done.push_back(day);
        context.Progress.Step(static_cast<int>(done.size()), steps);
    }
}

// The business days before `day` that the history files lack, by the built-in calendar.
std::vector<platform::Date> DaysBefore(const DownloadOptions& options, const platform::Date& day) {
    if (!options.BuiltinBusinessDay) return {};
    return FindMissedDays(options.StockFolder, platform::AddDays(day, -1), options.BuiltinBusinessDay).Days;
}

void EnsureFolders(const DownloadOptions& options) {
    platform::EnsureFolder(options.TempFolder);
    if (options.AutoCsvSave) platform::EnsureFolder(options.CsvFolder);
    if (options.AutoDataSave) platform::EnsureFolder(options.StockFolder);
}

}  // namespace

MissedDays FindMissedDays(const fs::path& stockFolder, const platform::Date& through,
                          const platform::BusinessDayRule& isBusiness, int maxDays) {
    MissedDays missed;
    const std::optional<platform::Date> newest = NewestHistoryDate(stockFolder);
    if (!newest) return missed;
    missed.Days = calendar::BusinessDaysBetween(*newest, through, isBusiness);
    const size_t keep = static_cast<size_t>(std::max(maxDays, 0));
    if (missed.Days.size() > keep) {
        const auto cut = missed.Days.end() - static_cast<std::ptrdiff_t>(keep);
        missed.Older.assign(missed.Days.begin(), cut);
        missed.Days.erase(missed.Days.begin(), cut);
    }
    return missed;
}

std::vector<platform::Date> DaysTheSiteCannotGive(const DownloadOptions& options) {
    if (!options.BuiltinBusinessDay || !options.DataDate) return {};
    return DaysBefore(options, options.DataDate());
}

DownloadOutcome RunDownload(market::QuoteSource& source, platform::Fetcher& client, const DownloadOptions& options,
                            const platform::Progress& progress) {
    // A folder that cannot be made is reported before the source is asked for anything.
    EnsureFolders(options);
    DownloadOutcome outcome;
    // The bar is filled at the end to the last total the steps counted to.
    auto lastTotal = std::make_shared<int>(0);
    platform::Progress counted = progress;
    if (progress.Advance) {
        counted.Advance = [advance = progress.Advance, lastTotal](int done, int total) {
            *lastTotal = total;
            advance(done, total);
        };
    }
    market::SourceContext context = ContextOf(client, options, counted);
    market::FetchedDay fetched;
    try {
        SourceCommand command(source, context);
        const Plan plan = MakePlan(source, context, options, outcome.CalendarDifferences);
        outcome.Day.Day = plan.Day;
        int steps = 1;
        if (!source.ServesPastDays()) {
            // Found before the day is filed, which would make the newest history day the data date.
            outcome.MissingDays = DaysBefore(options, plan.Day);
        } else if (options.CatchUp && options.BuiltinBusinessDay) {
            MissedDays missed = FindMissedDays(options.StockFolder, platform::AddDays(plan.Day, -1), plan.Rule,
                                               options.MaxCatchUpDays);
            outcome.NotCaughtUp = missed.Older;
            steps += static_cast<int>(missed.Days.size());
            CatchUpDays(source, context, options, missed.Days, steps, outcome.Filing, outcome.CaughtUp);
        }
        FetchWholeDay(source, context, options, plan.Day, fetched);
        const int total = *lastTotal > 0 ? *lastTotal : steps;
        progress.Step(total, total);
    } catch (const market::SourceFailure& e) {
        outcome.Day = std::move(fetched.Day);
        outcome.Issues = outcome.Day.IssueCount();
        outcome.Status = e.what();
        outcome.Detail = e.Detail();
        outcome.Cancelled = e.Cancelled();
        progress.ShowOutcome(outcome.Status);
        return outcome;
    }
    outcome.Day = std::move(fetched.Day);
    outcome.Issues = outcome.Day.IssueCount();
    if (options.FetchingDone) options.FetchingDone();
    if (auto before = CompareWithPreviousDay(outcome.Day, options, outcome)) FindShortPages(fetched.Blocks, *before, outcome);
    if (!SaveDayOrTell(outcome.Day, options, progress, outcome)) {
        progress.ShowOutcome(outcome.Status);
        return outcome;
    }
    outcome.Status = DayRemarks(outcome);
    progress.ShowOutcome(outcome.Status);
    outcome.Ok = true;
    return outcome;
}

CatchUpOutcome CatchUpMissedDays(market::QuoteSource& source, platform::Fetcher& client, const DownloadOptions& options,
                                 const platform::Progress& progress) {
    CatchUpOutcome outcome;
    market::SourceContext context = ContextOf(client, options, progress);
    try {
        SourceCommand command(source, context);
        std::vector<calendar::CalendarDifference> differences;
        const Plan plan = MakePlan(source, context, options, differences);
        MissedDays missed = FindMissedDays(options.StockFolder, plan.Day, plan.Rule, options.MaxCatchUpDays);
        outcome.NotCaughtUp = missed.Older;
        CatchUpDays(source, context, options, missed.Days, static_cast<int>(missed.Days.size()), outcome.Filing,
                    outcome.Days);
    } catch (const market::SourceFailure& e) {
        outcome.Status = e.what();
    }
    progress.ShowOutcome(outcome.Status);
    outcome.Ok = outcome.Status.empty();
    return outcome;
}

}  // namespace mirolanda::quotes
