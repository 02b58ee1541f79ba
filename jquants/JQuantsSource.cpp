#include "jquants/JQuantsSource.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <unordered_map>

#include "jquants/JQuantsAnswers.h"
#include "platform/CacheFile.h"
#include "platform/FetchFailure.h"
#include "platform/Numbers.h"
#include "platform/TextFields.h"

namespace fs = std::filesystem;

namespace mirolanda::jquants {
namespace {

constexpr int kMaxPages = 200;            // a day's market is a few pages of about 5 MB at most
constexpr long kMasterCacheDays = 31;     // older master caches are removed
// The API asks a client that got 429 to wait at least a minute.
constexpr int64_t kTooManyWaitMs = 60'000;

const std::string kMasterCachePrefix = "jquants-master-";

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

// The requests of one command: the key header set for their length and cleared after.
class ApiSession {
public:
    ApiSession(platform::Fetcher& client, const JQuantsSettings& settings)
        : client_(client), base_(platform::TrimTrailingSlashes(settings.ApiUrl)), key_(settings.ApiKey) {
        if (key_.empty()) throw JQuantsFailure(kJQuantsNoKeyText);
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
        if (answer.Status == 400 && IsPlanRefusal(message)) {
            throw JQuantsPlanRefusal("J-Quants API: プランの範囲外の日付です (" + message + ")", PlanFirstDate(message));
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

// The master of the day by code: the day's cache file, else the API.
std::unordered_map<std::string, JQuantsIssue> IssueMaster(ApiSession& api, const fs::path& tempFolder,
                                                          const platform::Date& day, const platform::Progress& progress) {
    const std::string ymd = platform::FormatYmd(day);
    const std::string cacheName = kMasterCachePrefix + ymd + ".txt";
    const std::string firstLine = "#jquants-master " + ymd + " code name segment sector";
    std::unordered_map<std::string, JQuantsIssue> master;
    if (auto rows = platform::ReadCache(tempFolder / cacheName, firstLine, 4)) {
        const bool valid = std::all_of(rows->begin(), rows->end(), [](const auto& row) { return market::IsIssueCode(row[0]); });
        if (valid) {
            for (auto& row : *rows) master.emplace(row[0], JQuantsIssue{row[0], row[1], row[2], row[3]});
            return master;
        }
    }
    std::vector<JQuantsIssue> issues = api.GetAll<JQuantsIssue>(
        "/equities/master?date=" + ymd, "銘柄一覧 " + platform::FormatSlashed(day), ParseMasterPage, progress);
    std::string text = firstLine + "\n";
    for (JQuantsIssue& issue : issues) {
        // Names were cleaned of control characters, so a tab cannot split a cache line.
        text += issue.Code + "\t" + issue.Name + "\t" + issue.Segment + "\t" + issue.Sector + "\n";
        std::string code = issue.Code;
        master.emplace(std::move(code), std::move(issue));
    }
    platform::WriteCache(tempFolder, cacheName, text);
    RemoveOldMasterCaches(tempFolder, day);
    return master;
}

}  // namespace

class JQuantsSource::Session : public ApiSession {
public:
    using ApiSession::ApiSession;
};

JQuantsSource::JQuantsSource(JQuantsSettings settings) : settings_(std::move(settings)) {}
JQuantsSource::~JQuantsSource() = default;

std::string JQuantsSource::Address() const {
    return "J-Quants " + std::string(platform::TrimTrailingSlashes(settings_.ApiUrl));
}

market::SourcePace JQuantsSource::Pace() const { return {settings_.RequestsPerMinute, kTooManyWaitMs}; }

void JQuantsSource::Begin(market::SourceContext& context) {
    context.Progress.Show("ダウンロード－開始");
    session_ = std::make_unique<Session>(context.Client, settings_);
}

void JQuantsSource::End(market::SourceContext&) noexcept { session_.reset(); }

std::optional<calendar::ExchangeCalendar> JQuantsSource::TradingCalendar(int year, const platform::Date& today,
                                                                         market::SourceContext& context) {
    const std::string firstLine = "#jquants-calendar " + std::to_string(year) + " " + platform::FormatYmd(today);
    std::vector<calendar::ExchangeDay> days;
    if (auto rows = platform::ReadCache(context.TempFolder / CalendarCacheName(year), firstLine, 2)) {
        bool valid = true;
        for (const auto& row : *rows) {
            auto day = platform::ParseYmd(row[0]);
            valid = valid && day && row[1].size() == 1 && row[1][0] >= '0' && row[1][0] <= '3';
            if (!valid) break;
            days.push_back({*day, row[1][0] - '0'});
        }
        if (valid) return calendar::ExchangeCalendar(days);
        days.clear();
    }
    const std::string y = std::to_string(year);
    days = session_->GetAll<calendar::ExchangeDay>("/markets/calendar?from=" + y + "0101&to=" + y + "1231",
                                                   "取引カレンダー " + y, ParseCalendarPage, context.Progress);
    std::string text = firstLine + "\n";
    for (const calendar::ExchangeDay& day : days) text += platform::FormatYmd(day.Day) + "\t" + std::to_string(day.HolDiv) + "\n";
    platform::WriteCache(context.TempFolder, CalendarCacheName(year), text);
    return calendar::ExchangeCalendar(days);
}

void JQuantsSource::FetchDay(const platform::Date& day, market::SourceContext& context, market::FetchedDay& into) {
    into = market::EmptyDay(day, kSettingName);
    const platform::Progress& progress = context.Progress;
    const auto master = IssueMaster(*session_, context.TempFolder, day, progress);
    const std::string ymd = platform::FormatYmd(day);
    std::vector<market::SnapshotRow> rows = session_->GetAll<market::SnapshotRow>(
        "/equities/bars/daily?date=" + ymd, "株価 " + platform::FormatSlashed(day),
        [&day](std::string_view body) { return ParseBarsPage(body, day); }, progress);
    // Nothing at all for a business day: the plan's delay has not let the day out yet.
    if (rows.empty()) throw JQuantsFailure(kJQuantsNotYetText);
    for (market::SnapshotRow& row : rows) {
        auto issue = master.find(row.Code.Text());
        if (issue == master.end()) continue;
        row.Name = issue->second.Name;
        row.Segment = issue->second.Segment;
        row.Sector = issue->second.Sector;
    }
    into.Day.Rows = std::move(rows);
    market::Normalize(into.Day);
}

market::SourceEntry Entry() {
    return {kSettingName, "J-Quants API", [](const market::SourceSetup& setup) {
                JQuantsSettings settings;
                settings.ApiUrl = setup.Setting(kApiUrlKey);
                settings.ApiKey = setup.Secret;
                settings.RequestsPerMinute =
                    static_cast<int>(platform::WholeInteger(setup.Setting(kRequestsPerMinuteKey), 1, 10000).value_or(5));
                return std::make_unique<JQuantsSource>(std::move(settings));
            }};
}

}  // namespace mirolanda::jquants
