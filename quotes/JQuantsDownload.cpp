#include "quotes/JQuantsDownload.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <unordered_map>

#include "platform/AtomicFile.h"
#include "platform/FetchFailure.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotes/CsvFile.h"
#include "market/IssueCode.h"
#include "quotes/JQuantsAnswers.h"
#include "quotes/QuotePage.h"
#include "quotes/StockFile.h"

namespace fs = std::filesystem;

namespace mirolanda::quotes {
namespace {

constexpr int kMaxPages = 200;            // a day's market is a few pages of about 5 MB at most
constexpr size_t kMaxCacheBytes = 8u << 20;
constexpr long kMasterCacheDays = 31;     // older master caches are removed

const std::string kMasterCachePrefix = "jquants-master-";
const std::string kReportedFile = "jquants-calendar-reported.txt";

std::string CalendarCacheName(int year) {
    return "jquants-calendar-" + std::to_string(year) + ".txt";
}

// Everything but unreserved characters as %XX: the pagination key is the server's text.
std::string PercentEncode(std::string_view text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// A text the server made, with the key taken out should the server echo it.
std::string WithoutKey(std::string text, const std::string& key) {
    if (key.empty()) return text;
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) text.replace(at, key.size(), "***");
    return text;
}

// The requests of one command: the key header set for their length and cleared after, so no
// later request through the same fetcher (the quote site's) carries it.
class ApiSession {
public:
    ApiSession(platform::Fetcher& client, const DownloadOptions& options)
        : client_(client), base_(platform::TrimTrailingSlashes(options.JQuants.ApiUrl)), key_(options.JQuants.ApiKey) {
        if (key_.empty()) throw JQuantsFailure(kJQuantsNoKeyText);
        client_.SetAccess(options.ConnectionMode, options.Proxy);
        try {
            client_.SetRequestHeaders({{"x-api-key", key_}});
        } catch (const platform::Error&) {
            throw JQuantsFailure(kJQuantsBadKeyText);  // a line break in the key
        }
    }
    ~ApiSession() {
        try {
            client_.SetRequestHeaders({});
        } catch (...) {  // clearing never fails; a destructor must not throw regardless
        }
    }
    ApiSession(const ApiSession&) = delete;
    ApiSession& operator=(const ApiSession&) = delete;

    // Every page of path?query, the pagination key followed to the end.
    template <typename Row, typename Parse>
    std::vector<Row> GetAll(const std::string& pathAndQuery, const std::string& what, const Parse& parse,
                            const platform::Progress& progress) {
        std::vector<Row> rows;
        std::string pageKey;
        for (int page = 1;; ++page) {
            if (page > kMaxPages) throw JQuantsAnswerError("J-Quants API の応答が正しくありません(ページが多すぎます)");
            const std::string label = what + (page > 1 ? " (" + std::to_string(page) + ")" : "");
            progress.Show("ダウンロード－要求 " + label);
            const std::string body =
                Get(pathAndQuery + (pageKey.empty() ? "" : "&pagination_key=" + PercentEncode(pageKey)));
            progress.Show("ダウンロード－解析 " + label);
            JQuantsPage<Row> answer = parse(body);
            std::move(answer.Rows.begin(), answer.Rows.end(), std::back_inserter(rows));
            if (answer.PaginationKey.empty()) return rows;
            if (answer.PaginationKey == pageKey) {
                throw JQuantsAnswerError("J-Quants API の応答が正しくありません(pagination_key が変わりません)");
            }
            pageKey = std::move(answer.PaginationKey);
        }
    }

private:
    std::string Get(const std::string& pathAndQuery) {
        const platform::FetchResult answer = client_.Fetch(base_ + pathAndQuery);
        const std::string message = WithoutKey(JQuantsErrorMessage(answer.Body), key_);
        if (answer.Status == 401 || answer.Status == 403) {
            throw JQuantsFailure(std::string(kJQuantsBadKeyText) + (message.empty() ? "" : "(" + message + ")"));
        }
        if (answer.Status == 429) {
            throw JQuantsFailure("J-Quants API の利用回数の上限を超えました。しばらく待ってからやり直してください(HTTP 429)");
        }
        if (answer.Status >= 400) {
            throw JQuantsFailure("J-Quants API エラー(HTTP " + std::to_string(answer.Status) +
                                 (message.empty() ? "" : ": " + message) + ")");
        }
        if (!answer.Ok) {
            throw JQuantsFailure(WithoutKey(platform::InternetErrorText(answer), key_),
                                 WithoutKey(answer.Description, key_), platform::WasCancelled(answer));
        }
        // A redirect is not followed while the key is set; nor is any other answer but 200 data.
        if (answer.Status != 200 && answer.Status != 0) {
            throw JQuantsAnswerError("J-Quants API の応答が正しくありません(HTTP " + std::to_string(answer.Status) + ")");
        }
        return answer.Body;
    }

    platform::Fetcher& client_;
    std::string base_;
    std::string key_;
};

// --- Small cache files in the temporary folder (UTF-8, LF): a first line naming what and
// when, then tab-separated fields. A file that does not read back exactly is fetched anew.

std::optional<std::vector<std::vector<std::string>>> ReadCache(const fs::path& path, const std::string& firstLine,
                                                              size_t fields) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kMaxCacheBytes || ec) return std::nullopt;
    std::vector<std::string> lines;
    try {
        lines = platform::SplitLines(platform::ReadFileBytes(path));
    } catch (const platform::Error&) {
        return std::nullopt;
    }
    if (lines.empty() || lines[0] != firstLine) return std::nullopt;
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> row;
        size_t start = 0;
        for (size_t tab; (tab = lines[i].find('\t', start)) != std::string::npos; start = tab + 1) {
            row.push_back(lines[i].substr(start, tab - start));
        }
        row.push_back(lines[i].substr(start));
        if (row.size() != fields) return std::nullopt;
        rows.push_back(std::move(row));
    }
    return rows;
}

// A cache that cannot be written only costs a request next time, so it never ends a command.
void WriteCache(const fs::path& folder, const std::string& name, const std::string& text) {
    try {
        platform::EnsureFolder(folder);
        platform::ReplaceFile(folder / name, text);
    } catch (const platform::FileError&) {
    }
}

void RemoveOldMasterCaches(const fs::path& folder, const platform::Date& day) {
    const long oldest = platform::DaysFromCivil(day) - kMasterCacheDays;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kMasterCachePrefix, 0) != 0 || name.size() != kMasterCachePrefix.size() + 12) continue;
        auto cached = platform::ParseYmd(name.substr(kMasterCachePrefix.size(), 8));
        if (cached && platform::DaysFromCivil(*cached) < oldest) fs::remove(it->path(), ec);
    }
}

// Names by code from the master of the day: the day's cache file, else the API.
std::unordered_map<std::string, std::string> IssueNames(ApiSession& api, const DownloadOptions& options,
                                                        const platform::Date& day, const platform::Progress& progress) {
    const std::string ymd = platform::FormatYmd(day);
    const std::string cacheName = kMasterCachePrefix + ymd + ".txt";
    const std::string firstLine = "#jquants-master " + ymd;
    std::unordered_map<std::string, std::string> names;
    if (auto rows = ReadCache(options.TempFolder / cacheName, firstLine, 2)) {
        const bool valid = std::all_of(rows->begin(), rows->end(), [](const auto& row) { return market::IsIssueCode(row[0]); });
        if (valid) {
            for (auto& row : *rows) names.emplace(row[0], row[1]);
            return names;
        }
    }
    std::vector<JQuantsIssue> issues = api.GetAll<JQuantsIssue>(
        "/equities/master?date=" + ymd, "銘柄一覧 " + platform::FormatSlashed(day), ParseMasterPage, progress);
    std::string text = firstLine + "\n";
    for (JQuantsIssue& issue : issues) {
        // Names were cleaned of control characters, so a tab cannot split a cache line.
        text += issue.Code + "\t" + issue.Name + "\n";
        names.emplace(std::move(issue.Code), std::move(issue.Name));
    }
    WriteCache(options.TempFolder, cacheName, text);
    RemoveOldMasterCaches(options.TempFolder, day);
    return names;
}

void FetchDay(ApiSession& api, platform::Table& grid, const DownloadOptions& options, const platform::Date& day,
              const platform::Progress& progress) {
    ResetResultGrid(grid);
    progress.Show("ダウンロード－開始");
    const std::unordered_map<std::string, std::string> names = IssueNames(api, options, day, progress);
    const std::string ymd = platform::FormatYmd(day);
    std::vector<JQuantsBar> bars = api.GetAll<JQuantsBar>(
        "/equities/bars/daily?date=" + ymd, "株価 " + platform::FormatSlashed(day),
        [&day](std::string_view body) { return ParseBarsPage(body, day); }, progress);
    // Nothing at all for a business day: the plan's delay has not let the day out yet.
    if (bars.empty()) throw JQuantsFailure(kJQuantsNotYetText);
    // The program's code order: numeric codes as numbers, a code with letters after the numeric
    // ones of its prefix. An issue the answer repeats is taken once.
    std::stable_sort(bars.begin(), bars.end(), [](const JQuantsBar& a, const JQuantsBar& b) { return a.Code < b.Code; });
    bars.erase(std::unique(bars.begin(), bars.end(), [](const auto& a, const auto& b) { return a.Code == b.Code; }),
               bars.end());
    for (const JQuantsBar& bar : bars) {
        auto name = names.find(bar.Code);
        grid.AddRow({bar.Code, name == names.end() ? std::string() : name->second, std::to_string(bar.Open),
                     std::to_string(bar.High), std::to_string(bar.Low), std::to_string(bar.Close),
                     std::to_string(bar.Volume)});
    }
}

ExchangeCalendar LoadCalendar(ApiSession& api, const DownloadOptions& options, int year, const platform::Date& today,
                              const platform::Progress& progress) {
    const std::string firstLine = "#jquants-calendar " + std::to_string(year) + " " + platform::FormatYmd(today);
    std::vector<ExchangeDay> days;
    if (auto rows = ReadCache(options.TempFolder / CalendarCacheName(year), firstLine, 2)) {
        bool valid = true;
        for (const auto& row : *rows) {
            auto day = platform::ParseYmd(row[0]);
            valid = valid && day && row[1].size() == 1 && row[1][0] >= '0' && row[1][0] <= '3';
            if (!valid) break;
            days.push_back({*day, row[1][0] - '0'});
        }
        if (valid) return ExchangeCalendar(days);
        days.clear();
    }
    const std::string y = std::to_string(year);
    days = api.GetAll<ExchangeDay>("/markets/calendar?from=" + y + "0101&to=" + y + "1231", "取引カレンダー " + y,
                                   ParseCalendarPage, progress);
    std::string text = firstLine + "\n";
    for (const ExchangeDay& day : days) text += platform::FormatYmd(day.Day) + "\t" + std::to_string(day.HolDiv) + "\n";
    WriteCache(options.TempFolder, CalendarCacheName(year), text);
    return ExchangeCalendar(days);
}

// The differences not reported before; they are remembered as reported from now on.
std::vector<CalendarDifference> NotYetReported(std::vector<CalendarDifference> differences, const fs::path& folder) {
    std::set<std::string> reported;
    std::string text = "#jquants-calendar-reported\n";
    if (auto rows = ReadCache(folder / kReportedFile, "#jquants-calendar-reported", 1)) {
        for (const auto& row : *rows) {
            reported.insert(row[0]);
            text += row[0] + "\n";
        }
    }
    std::vector<CalendarDifference> fresh;
    for (const CalendarDifference& difference : differences) {
        const std::string ymd = platform::FormatYmd(difference.Day);
        if (!reported.insert(ymd).second) continue;
        fresh.push_back(difference);
        text += ymd + "\n";
    }
    if (!fresh.empty()) WriteCache(folder, kReportedFile, text);
    return fresh;
}

// Which days the command is about: the data date and the business-day rule behind it.
struct Plan {
    platform::Date Day;
    BusinessDayRule Rule;
};

bool IsWeekday(const platform::Date& day) {
    const int weekday = platform::Weekday(day);
    return weekday != 0 && weekday != 6;
}

Plan MakePlan(ApiSession& api, const DownloadOptions& options, const platform::Progress& progress,
              std::vector<CalendarDifference>& differences) {
    const JQuantsSettings& settings = options.JQuants;
    if (!options.BuiltinBusinessDay || !settings.Now) {
        auto day = platform::ParseYmd(options.DataDate ? options.DataDate() : std::string());
        if (!day) throw JQuantsFailure("データ日付を決められません");
        return {*day, options.BuiltinBusinessDay ? options.BuiltinBusinessDay : BusinessDayRule(IsWeekday)};
    }
    const platform::DateTime now = settings.Now();
    const ExchangeCalendar exchange = LoadCalendar(api, options, now.Day.Year, now.Day, progress);
    differences = NotYetReported(CompareCalendars(exchange, options.BuiltinBusinessDay), options.TempFolder);
    Plan plan{{}, ExchangeFirst(exchange, options.BuiltinBusinessDay)};
    auto day = platform::DataDateUnder(now, plan.Rule);
    if (!day) throw JQuantsFailure("データ日付を決められません");
    plan.Day = *day;
    return plan;
}

// One missed day: fetched, checked, saved as its CSV and filed, damaged history files left alone.
void CatchUpDay(ApiSession& api, const DownloadOptions& options, const platform::Date& day,
                const platform::Progress& progress, FilingReport& filing) {
    platform::Table grid;
    FetchDay(api, grid, options, day, progress);
    if (IsIncomplete(options, grid.RowCount())) {
        throw JQuantsFailure(IncompleteDownloadText(grid.RowCount(), options.MinimumIssues) + " " +
                             platform::FormatSlashed(day));
    }
    const fs::path csv = SaveDailyCsv(grid, options.CsvFolder, platform::FormatYmd(day));
    ConvertCsvToIssueFiles(csv, options.StockFolder, progress, &filing);
}

// The missed days in order, each added to `done` once filed; the progress bar counts `steps`.
void CatchUpDays(ApiSession& api, const DownloadOptions& options, const std::vector<platform::Date>& days, int steps,
                 const platform::Progress& progress, FilingReport& filing, std::vector<platform::Date>& done) {
    for (const platform::Date& day : days) {
        CatchUpDay(api, options, day, progress, filing);
        done.push_back(day);
        progress.Step(static_cast<int>(done.size()), steps);
    }
}

}  // namespace

std::string JQuantsWaitText(int64_t waitMs) {
    return "ダウンロード－待機 " + std::to_string((waitMs + 999) / 1000) + "秒 (1分あたりの回数制限)";
}

void FetchJQuantsDay(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                     const platform::Date& day, const platform::Progress& progress) {
    ApiSession api(client, options);
    FetchDay(api, grid, options, day, progress);
}

MissedDays FindMissedDays(const fs::path& stockFolder, const platform::Date& through, const BusinessDayRule& isBusiness,
                          int maxDays) {
    MissedDays missed;
    const std::optional<platform::Date> newest = NewestHistoryDate(stockFolder);
    if (!newest) return missed;
    missed.Days = BusinessDaysBetween(*newest, through, isBusiness);
    const size_t keep = static_cast<size_t>(std::max(maxDays, 0));
    if (missed.Days.size() > keep) {
        const auto cut = missed.Days.end() - static_cast<std::ptrdiff_t>(keep);
        missed.Older.assign(missed.Days.begin(), cut);
        missed.Days.erase(missed.Days.begin(), cut);
    }
    return missed;
}

DownloadOutcome RunJQuantsDownload(platform::Table& grid, platform::Fetcher& client, const DownloadOptions& options,
                                   const platform::Progress& progress) {
    DownloadOutcome outcome;
    std::string failure;
    ResetResultGrid(grid);
    progress.Show("ダウンロード－開始");
    try {
        ApiSession api(client, options);
        const Plan plan = MakePlan(api, options, progress, outcome.CalendarDifferences);
        MissedDays missed;
        if (options.JQuants.CatchUp && options.BuiltinBusinessDay) {
            missed = FindMissedDays(options.StockFolder, platform::AddDays(plan.Day, -1), plan.Rule,
                                    options.JQuants.MaxCatchUpDays);
        }
        outcome.NotCaughtUp = missed.Older;
        const int steps = static_cast<int>(missed.Days.size()) + 1;
        CatchUpDays(api, options, missed.Days, steps, progress, outcome.Filing, outcome.CaughtUp);
        FetchDay(api, grid, options, plan.Day, progress);
        outcome.Issues = grid.RowCount();
        if (IsIncomplete(options, outcome.Issues)) throw JQuantsFailure(IncompleteDownloadText(outcome.Issues, options.MinimumIssues));
        progress.Step(steps, steps);
        if (options.FetchingDone) options.FetchingDone();
        const std::string dataDate = platform::FormatYmd(plan.Day);
        CompareWithPreviousDay(grid, options, dataDate, outcome);
        SaveDownloadResults(grid, options, dataDate, progress, outcome);
    } catch (const JQuantsFailure& e) {
        failure = e.what();
        outcome.Detail = e.Detail();
        outcome.Cancelled = e.Cancelled();
    } catch (const JQuantsAnswerError& e) {
        failure = e.what();
    }
    outcome.Issues = grid.RowCount();
    outcome.Ok = failure.empty();
    outcome.Status = outcome.Ok ? DayRemarks(outcome) : failure;
    progress.Show(outcome.Status);
    return outcome;
}

CatchUpOutcome CatchUpMissedDays(platform::Fetcher& client, const DownloadOptions& options,
                                 const platform::Progress& progress) {
    CatchUpOutcome outcome;
    try {
        ApiSession api(client, options);
        std::vector<CalendarDifference> differences;
        const Plan plan = MakePlan(api, options, progress, differences);
        MissedDays missed = FindMissedDays(options.StockFolder, plan.Day, plan.Rule, options.JQuants.MaxCatchUpDays);
        outcome.NotCaughtUp = missed.Older;
        CatchUpDays(api, options, missed.Days, static_cast<int>(missed.Days.size()), progress, outcome.Filing, outcome.Days);
    } catch (const JQuantsFailure& e) {
        outcome.Status = e.what();
    } catch (const JQuantsAnswerError& e) {
        outcome.Status = e.what();
    }
    progress.Show(outcome.Status);
    outcome.Ok = outcome.Status.empty();
    return outcome;
}

ExchangeCalendar LoadExchangeCalendar(platform::Fetcher& client, const DownloadOptions& options, int year,
                                      const platform::Date& today, const platform::Progress& progress) {
    ApiSession api(client, options);
    return LoadCalendar(api, options, year, today, progress);
}

}  // namespace mirolanda::quotes
