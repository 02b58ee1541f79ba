// mirolanda-cli download: the whole daily download without a window.
#include <cstdio>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "cli/MarketStore.h"
#include "cli/Terminal.h"
#include "cli/WriterLock.h"
#include "platform/HttpClient.h"
#include "platform/Numbers.h"
#include "platform/Retry.h"
#include "quotes/DownloadCommand.h"
#include "quotes/SourceClient.h"
#include "quotes/StockFile.h"
#include "settings/CommandOptions.h"
#include "settings/QuoteSources.h"

namespace mirolanda::cli {
namespace {

// "1,4,16": one wait in seconds per retry.
std::vector<platform::Milliseconds> RetryWaits(const std::string& text) {
    std::vector<platform::Milliseconds> waits;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string piece = text.substr(start, comma - start);
        const long seconds = platform::LeadingInteger(piece, -1);
        if (piece.empty() || seconds < 0 || seconds > 3600 || std::to_string(seconds) != piece || waits.size() >= 10)
            throw UsageError{"--retry-waits takes up to ten waits of 0 to 3600 seconds, such as 1,4,16"};
        waits.emplace_back(seconds * 1000);
        start = comma + 1;
    }
    return waits;
}

struct DownloadArgs {
    bool noCsv = false, noFile = false, catchUpOnly = false;
    platform::HttpLimits limits;
    platform::RetryOptions retries = TerminalRetries(platform::RetryOptions{}.Waits);
};

DownloadArgs ParseArgs(const Args& args) {
    DownloadArgs d;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--no-csv") {
            d.noCsv = true;
        } else if (a == "--no-file") {
            d.noFile = true;
        } else if (a == "--catch-up") {
            d.catchUpOnly = true;
        } else if (a == "--stall-timeout" && i + 1 < args.size()) {
            const long seconds = platform::LeadingInteger(args[++i], -1);
            if (seconds < 1 || seconds > 3600) throw UsageError{"--stall-timeout takes 1 to 3600 seconds"};
            d.limits.StallTimeoutMs = seconds * 1000;
        } else if (a == "--retry-waits" && i + 1 < args.size()) {
            d.retries.Waits = RetryWaits(args[++i]);
        } else {
            throw UsageError{"unknown option: " + a};
        }
    }
    return d;
}

int Run(CliContext& context, const Args& args) {
    DownloadArgs d = ParseArgs(args);
    const platform::FolderLock lock = LockForWriting(context);
    platform::RunRecord record;
    record.Start = context.clock->Now();
    record.Command = d.catchUpOnly ? "download --catch-up" : "download";

    quotes::DownloadOptions options = settings::DownloadOptionsFrom(context.Settings());
    options.AutoCsvSave = options.AutoCsvSave && !d.noCsv;
    options.AutoDataSave = options.AutoDataSave && !d.noFile;
    settings::SetMarketCalendar(options, LoadHolidayList(context.programFolder), *context.clock);
    const std::unique_ptr<market::QuoteSource> source = settings::SourceFrom(context.Settings(), context.secrets->ApiKey());
    record.Source = source->Address();
    // Every day saved goes into the market database too; it never stops the saves.
    marketdb::SideStore database = MarketSideStore(context);
    options.MoreStores.push_back(&database);

    const bool tty = ::isatty(STDERR_FILENO) != 0;
    const platform::Progress progress = TerminalProgress(tty);
    quotes::SourceClient client(std::make_unique<platform::HttpClient>(d.limits), d.retries);
    client.BeginCommand(*source);
    client.Pace().OnWait = [&progress](int64_t ms) { progress.Show(quotes::PaceWaitText(ms)); };
    quotes::DownloadOutcome outcome;
    try {
        if (d.catchUpOnly) {
            if (!source->ServesPastDays()) {
                const std::string missing = quotes::SiteMissingDaysText(quotes::DaysTheSiteCannotGive(options));
                if (!missing.empty()) std::fprintf(stderr, "%s\n", missing.c_str());
                throw platform::Error("株価サイトからは過去の日の株価を取得できません(データ取得元を J-Quants API にしてください)");
            }
            const quotes::CatchUpOutcome caught = quotes::CatchUpMissedDays(*source, client, options, progress);
            outcome.Ok = caught.Ok;
            outcome.CaughtUp = caught.Days;
            outcome.NotCaughtUp = caught.NotCaughtUp;
            outcome.Filing = caught.Filing;
            outcome.Status = caught.Ok ? quotes::DayRemarks(outcome) : caught.Status;
        } else {
            outcome = quotes::RunDownload(*source, client, options, progress);
        }
    } catch (const std::exception& e) {
        record.Outcome = "failed";
        record.Requests = client.Requests();
        record.Retries = client.Retries();
        record.Error = e.what();
        TellNotices(database, record);
        LogRun(context, record);
        throw;
    }
    if (tty) std::fprintf(stderr, "\r\033[K");
    quotes::DescribeInRunRecord(outcome, record);
    TellNotices(database, record);
    record.Requests = client.Requests();
    record.Retries = client.Retries();
    LogRun(context, record);
    if (!outcome.Ok) {
        // The reason in Japanese, then the HTTP library's own words for whoever reads the log.
        std::fprintf(stderr, "%s%s%s\n", outcome.Status.c_str(), outcome.Detail.empty() ? "" : ": ", outcome.Detail.c_str());
        return 1;
    }
    if (!outcome.Status.empty()) std::fprintf(stderr, "%s\n", outcome.Status.c_str());
    if (d.catchUpOnly) {
        if (outcome.CaughtUp.empty()) std::fprintf(stderr, "欠けている営業日はありません\n");
    } else {
        std::printf("%s\t%d\n", outcome.CsvPath ? outcome.CsvPath->c_str() : "-", outcome.Issues);
    }
    return outcome.Filing.Skipped.empty() ? 0 : kExitSkipped;
}

}  // namespace

const Command kDownloadCommand = {
    "download",
    "download [--no-csv] [--no-file] [--catch-up] [--stall-timeout SECONDS] [--retry-waits S,S,S]\n"
    "  Downloads the day's prices of every issue from the source of the settings (\"QuoteSource\"):\n"
    "  the quote site (\"QuoteSiteUrl\", codes 1000 to 9999) or the J-Quants API (\"JQuantsApiUrl\",\n"
    "  the key set with 'setting JQuantsApiKey -', paced to \"JQuantsRequestsPerMinute\"), with the\n"
    "  completeness check, then saves the daily CSV of the data date (\"AutoCsvSave\", unless\n"
    "  --no-csv) and files it into the history files (\"AutoDataSave\", unless --no-file). Prints\n"
    "  the CSV path and the issue count; issues missing against the previous daily CSV and damaged\n"
    "  history files are told on stderr. With J-Quants, business days missed since the history\n"
    "  files' newest day (at most 20) are fetched first, oldest first, each saved and filed; with\n"
    "  the quote site, which serves only today, the missing days are named.\n"
    "  Every day saved is also stored in the market database (see 'db'); when that fails, it is\n"
    "  said on stderr and in the run log, and the download still counts as done.\n"
    "  --catch-up: only the missed days (J-Quants API).\n"
    "  A request that times out, is reset, or gets a 5xx or 429 answer (or a page cut short)\n"
    "  is asked again up to three times, after 1, 4 and 16 seconds (or the server's\n"
    "  Retry-After, up to 5 minutes). Leaves a line in the run log (see 'log').\n"
    "  --stall-timeout: give up on a request when no byte arrives for this long (default 30).\n"
    "  --retry-waits: the waits before each retry, in seconds (0,0,0 retries at once).\n"
    "  Exit 0 on success; 4 when done but some damaged history files were left as they were\n"
    "  (each named on stderr); 1 with the error text on failure; 5 when another command kept\n"
    "  the program's data for the whole --wait (nothing downloaded or written).",
    Run,
};

}  // namespace mirolanda::cli
