// mirolanda-cli download: the whole daily download without a window.
#include <cstdio>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/FailureLine.h"
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
            throw UsageError{"--retry-waits には 0 から 3600 までの秒数を10個まで、1,4,16 のように指定してください"};
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
            if (seconds < 1 || seconds > 3600) throw UsageError{"--stall-timeout には 1 から 3600 までの秒数を指定してください"};
            d.limits.StallTimeoutMs = seconds * 1000;
        } else if (a == "--retry-waits" && i + 1 < args.size()) {
            d.retries.Waits = RetryWaits(args[++i]);
        } else {
            throw UsageError{"そのようなオプションはありません: " + a};
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
                throw platform::Error("株価サイトからは過去の日の株価を取得できません(データ取得元を J-Quants API にしてください)" +
                                      (missing.empty() ? "" : ": " + missing));
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
        PrintFailure(outcome.Status, RequestFailureDetail(outcome.Detail));
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
    "  設定のデータ取得元 (\"QuoteSource\") から、すべての銘柄のその日の株価をダウンロードします: 株価サイト\n"
    "  (\"QuoteSiteUrl\"、コード 1000 から 9999) または J-Quants API (\"JQuantsApiUrl\"。キーは\n"
    "  'setting JQuantsApiKey -' で設定し、要求の間隔は \"JQuantsRequestsPerMinute\" に従います)。銘柄数を\n"
    "  確かめてから、データ日付の日別CSVを保存し (\"AutoCsvSave\"、--no-csv なら保存しません)、銘柄別データに\n"
    "  記録します (\"AutoDataSave\"、--no-file なら記録しません)。CSVファイルのパスと銘柄数を表示します。\n"
    "  前日の日別CSVと比べて欠けている銘柄と、壊れた銘柄別データは標準エラーに表示します。J-Quants では、\n"
    "  銘柄別データの最新日のあとに欠けている営業日 (最大 20 日) を先に古い順に取得し、それぞれ保存して\n"
    "  記録します。当日分しか取得できない株価サイトでは、欠けている日を表示します。\n"
    "  保存した日はすべて市場データベースにも格納します ('db' を参照)。格納できなかったときは標準エラーと\n"
    "  実行記録にそう書き、ダウンロードは完了として扱います。\n"
    "  --catch-up: 欠けている日だけを取得します (J-Quants API)。\n"
    "  時間切れ、接続のリセット、5xx や 429 の応答 (または途中で切れたページ) の要求は、1、4、16 秒後\n"
    "  (またはサーバーの Retry-After、最大 5 分) に 3 回まで要求し直します。実行記録に1行残します\n"
    "  ('log' を参照)。\n"
    "  --stall-timeout: この秒数のあいだ1バイトも届かなければ要求をあきらめます (既定 30)。\n"
    "  --retry-waits: 再試行の前に待つ秒数 (0,0,0 ならすぐに再試行します)。\n"
    "  終了ステータス: 成功なら 0。完了したが壊れた銘柄別データをそのまま残したとき 4 (それぞれ標準エラーに\n"
    "  表示します)。失敗したとき 1 (エラーの内容を表示します)。ほかの処理が --wait の間ずっとプログラムの\n"
    "  データを書き込んでいたとき 5 (何もダウンロードも書き込みもしていません)。",
    Run,
};

}  // namespace mirolanda::cli
