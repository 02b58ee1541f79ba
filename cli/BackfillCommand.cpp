// backfill: past business days of the whole market from the J-Quants API into the database.
#include <cstdio>
#include <unistd.h>

#include "calendar/ExchangeCalendar.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "cli/MarketStore.h"
#include "cli/Terminal.h"
#include "cli/WriterLock.h"
#include "jquants/JQuantsSource.h"
#include "marketdb/Backfill.h"
#include "platform/AtomicFile.h"
#include "platform/HttpClient.h"
#include "quotes/SourceClient.h"
#include "settings/CommandOptions.h"
#include "settings/QuoteSources.h"

namespace mirolanda::cli {
namespace {

struct Range {
    platform::Date From;
    std::optional<platform::Date> To;
};

Range ParseRange(const Args& args) {
    std::optional<platform::Date> from, to;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a != "--from" && a != "--to") || i + 1 >= args.size()) throw UsageError{"unknown option: " + a};
        const auto day = platform::ParseSlashed(args[++i]);
        if (!day) throw UsageError{a + " takes a date as yyyy/mm/dd, not " + args[i]};
        (a == "--from" ? from : to) = day;
    }
    if (!from) throw UsageError{"backfill needs --from yyyy/mm/dd"};
    return {*from, to};
}

// «残り 約 3 分» from the estimate of the seconds left.
std::string TimeLeftText(std::optional<long> seconds) {
    if (!seconds) return "";
    if (*seconds < 60) return ", 残り 約 " + std::to_string(*seconds) + " 秒";
    return ", 残り 約 " + std::to_string((*seconds + 59) / 60) + " 分";
}

// The source's Begin at the start of the run and its End however the run ends.
class SourceRun {
public:
    SourceRun(market::QuoteSource& source, market::SourceContext& context) : source_(source), context_(context) {
        source_.Begin(context_);
    }
    ~SourceRun() { source_.End(context_); }
    SourceRun(const SourceRun&) = delete;
    SourceRun& operator=(const SourceRun&) = delete;

private:
    market::QuoteSource& source_;
    market::SourceContext& context_;
};

int Run(CliContext& context, const Args& args) {
    const Range range = ParseRange(args);
    const platform::FolderLock lock = LockForWriting(context);
    quotes::DownloadOptions options = settings::DownloadOptionsFrom(context.Settings());
    settings::SetMarketCalendar(options, LoadHolidayList(context.programFolder), *context.clock);
    const platform::Date to = range.To ? *range.To : options.DataDate();
    const std::vector<platform::Date> days =
        calendar::BusinessDaysBetween(platform::AddDays(range.From, -1), to, options.BuiltinBusinessDay);

    const auto source = settings::SourceNamed(context.Settings(), jquants::kSettingName, context.secrets->ApiKey());
    platform::RunRecord record;
    record.Start = context.clock->Now();
    record.Command = "backfill";
    record.Source = source->Address();
    const bool tty = ::isatty(STDERR_FILENO) != 0;
    // On a terminal the requests show on the bar's line; a log gets one line per day stored.
    const platform::Progress progress = tty ? TerminalProgress(true) : platform::Progress{};
    quotes::SourceClient client(std::make_unique<platform::HttpClient>(), TerminalRetries(platform::RetryOptions{}.Waits));
    client.BeginCommand(*source);
    client.SetAccess(options.ConnectionMode, options.Proxy);
    market::SourceContext sourceContext{client, options.TempFolder, options.ConnectionMode, options.Proxy, progress};
    platform::EnsureFolder(options.TempFolder);
    const std::unique_ptr<marketdb::MarketDb> db = OpenMarketDb(context);

    auto fetch = [&](const platform::Date& day) {
        market::FetchedDay fetched;
        try {
            source->FetchDay(day, sourceContext, fetched);
        } catch (const jquants::JQuantsPlanRefusal& e) {
            throw marketdb::PlanRefusal(e.what(), e.PlanFirst());
        }
        return fetched.Day;
    };
    auto report = [&](const marketdb::BackfillStatus& s) {
        const std::string text = platform::FormatSlashed(s.Day) + " を記録しました (" + std::to_string(s.Done) + " 日済み, 残り " +
                                 std::to_string(s.Left) + " 日" + TimeLeftText(s.SecondsLeft) + ")";
        if (tty) {
            progress.Show(text);
            progress.Step(s.Done, s.Done + s.Left);
        } else {
            std::fprintf(stderr, "%s\n", text.c_str());
        }
    };
    marketdb::BackfillResult result;
    try {
        SourceRun run(*source, sourceContext);
        result = marketdb::Backfill(*db, jquants::kSettingName, days, fetch, *context.clock, report);
    } catch (const std::exception& e) {
        record.Outcome = "failed";
        record.Error = e.what();
        record.Requests = client.Requests();
        record.Retries = client.Retries();
        LogRun(context, record);
        if (tty) std::fprintf(stderr, "\r\033[K");
        throw;
    }
    if (tty) std::fprintf(stderr, "\r\033[K");
    record.Outcome = result.Stop.empty() ? "ok" : "failed";
    record.Error = result.Stop;
    record.Requests = client.Requests();
    record.Retries = client.Retries();
    record.Notes.push_back("取得 " + std::to_string(result.Fetched) + " 日, 取得済み " + std::to_string(result.Skipped) + " 日");
    LogRun(context, record);
    std::printf("%d 日を取得しました (%d 日は取得済みでした)\n", result.Fetched, result.Skipped);
    if (!result.Stop.empty()) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", result.Stop.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

const Command kBackfillCommand = {
    "backfill",
    "backfill --from yyyy/mm/dd [--to yyyy/mm/dd]\n"
    "Stores past business days (by the holiday list) of the whole market from the J-Quants API\n"
    "(\"JQuantsApiUrl\", the key set with 'setting JQuantsApiKey -') in the market database (see\n"
    "'db'), one day after the other, each kept as it arrives, paced to \"JQuantsRequestsPerMinute\".\n"
    "--to defaults to the data date. Days already stored from J-Quants are skipped, so a backfill\n"
    "that was stopped continues where it stopped. Prints each day stored with the days done, the\n"
    "days left and the time left on stderr, then the days fetched on stdout. The daily CSV and\n"
    "history files are not touched.\n"
    "Exit 0 when every day is stored; 1 on failure, or when the API refuses a date for the plan\n"
    "(the message names the plan's first date; the days stored stay); 5 when another command\n"
    "kept the program's data for the whole --wait.",
    Run,
};

}  // namespace mirolanda::cli
