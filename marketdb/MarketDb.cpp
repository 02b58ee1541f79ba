#include "marketdb/MarketDb.h"

#include "marketdb/Adjust.h"
#include "marketdb/Schema.h"
#include "platform/AtomicFile.h"

namespace mirolanda::marketdb {
namespace {

constexpr int kStepRows = 256;  // progress is told every so many rows

market::Bar ReadBar(const Statement& s, int first, int64_t day) {
    market::Bar bar;
    bar.Day = DateOfKey(day);
    bar.Open = s.Int(first);
    bar.High = s.Int(first + 1);
    bar.Low = s.Int(first + 2);
    bar.Close = s.Int(first + 3);
    bar.Volume = s.Int(first + 4);
    if (!s.IsNull(first + 5)) bar.Turnover = s.Int(first + 5);
    bar.AdjustmentFactor = s.Real(first + 6);
    return bar;
}

constexpr std::string_view kBarColumns = "open, high, low, close, volume, turnover, factor";

std::unique_ptr<Connection> OpenFile(const std::filesystem::path& file) {
    if (file.has_parent_path()) platform::EnsureFolder(file.parent_path());
    auto db = std::make_unique<Connection>(file, true);
    PrepareSchema(*db);
    return db;
}

}  // namespace

MarketDb::MarketDb(const std::filesystem::path& file) : db_(OpenFile(file)) {}

MarketDb::~MarketDb() = default;

int64_t MarketDb::SourceId(const std::string& name) {
    if (auto found = sources_.find(name); found != sources_.end()) return found->second;
    Statement(*db_, "INSERT OR IGNORE INTO sources(name) VALUES(?1)").Bind(1, name).Run();
    Statement s(*db_, "SELECT id FROM sources WHERE name = ?1");
    s.Bind(1, name).Step();
    return sources_[name] = s.Int(0);
}

void MarketDb::RemoveDay(int64_t day) {
    // Bars are keyed by code first: one seek per known issue beats scanning every bar.
    Statement remove(*db_, "DELETE FROM bars WHERE code = ?1 AND day = ?2");
    Statement codes(*db_, "SELECT code FROM issues");
    while (codes.Step()) remove.Bind(1, codes.Text(0)).Bind(2, day).Run();
}

void MarketDb::Add(const market::DaySnapshot& day, const platform::Progress& progress) {
    // Inside a caller's transaction (an import's batch of days) the day commits with the batch.
    std::optional<Transaction> t;
    if (!db_->InTransaction()) t.emplace(*db_);
    const int64_t key = DayKey(day.Day);
    if (Statement(*db_, "SELECT 1 FROM days WHERE day = ?1").Bind(1, key).Step()) RemoveDay(key);
    AddRows(day, SourceId(day.Source), progress);
    Statement(*db_, "INSERT OR REPLACE INTO days(day, source, issues) VALUES(?1, ?2, ?3)")
        .Bind(1, key)
        .Bind(2, SourceId(day.Source))
        .Bind(3, int64_t{day.IssueCount()})
        .Run();
    if (t) t->Commit();
}

void MarketDb::AddRows(const market::DaySnapshot& day, int64_t source, const platform::Progress& progress) {
    const int64_t key = DayKey(day.Day);
    Statement bar(*db_,
                  "INSERT OR REPLACE INTO bars(code, day, open, high, low, close, volume, turnover, factor, source) "
                  "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    // The latest day seen names the issue; a source without segments leaves the known ones.
    Statement issue(*db_,
                    "INSERT INTO issues(code, name, segment, sector, first, last) VALUES(?1, ?2, ?3, ?4, ?5, ?5) "
                    "ON CONFLICT(code) DO UPDATE SET "
                    "name = iif(excluded.last >= last, excluded.name, name), "
                    "segment = iif(excluded.last >= last AND excluded.segment <> '', excluded.segment, segment), "
                    "sector = iif(excluded.last >= last AND excluded.sector <> '', excluded.sector, sector), "
                    "first = min(first, excluded.first), last = max(last, excluded.last)");
    const int total = day.IssueCount();
    int done = 0;
    for (const auto& row : day.Rows) {
        const market::Bar& b = row.Prices;
        bar.Bind(1, row.Code.Text()).Bind(2, key).Bind(3, b.Open).Bind(4, b.High).Bind(5, b.Low).Bind(6, b.Close);
        bar.Bind(7, b.Volume).Bind(9, b.AdjustmentFactor).Bind(10, source);
        if (b.Turnover) bar.Bind(8, *b.Turnover);
        bar.Run();
        issue.Bind(1, row.Code.Text()).Bind(2, row.Name).Bind(3, row.Segment).Bind(4, row.Sector).Bind(5, key).Run();
        if (b.AdjustmentFactor != 1.0 && b.AdjustmentFactor > 0.0) {
            RecordSplit({row.Code, day.Day, RatioOfFactor(b.AdjustmentFactor), day.Source});
        }
        if (++done % kStepRows == 0) progress.Step(done, total);
    }
    progress.Step(total, total);
}

bool MarketDb::RecordSplit(const market::Split& split) {
    Statement(*db_, "INSERT OR IGNORE INTO splits(code, ex_date, ratio, origin) VALUES(?1, ?2, ?3, ?4)")
        .Bind(1, split.Code.Text())
        .Bind(2, DayKey(split.ExDate))
        .Bind(3, split.Ratio)
        .Bind(4, split.Origin)
        .Run();
    return db_->Changes() > 0;
}

market::BarSeries MarketDb::Series(const market::IssueCode& code, const platform::Date& from,
                                   const platform::Date& to, bool adjusted) const {
    market::BarSeries series{code, {}, {}};
    Statement name(*db_, "SELECT name FROM issues WHERE code = ?1");
    if (name.Bind(1, code.Text()).Step()) series.Name = name.Text(0);
    Statement s(*db_, "SELECT day, " + std::string(kBarColumns) +
                          " FROM bars WHERE code = ?1 AND day BETWEEN ?2 AND ?3 ORDER BY day");
    s.Bind(1, code.Text()).Bind(2, DayKey(from)).Bind(3, DayKey(to));
    while (s.Step()) series.Bars.push_back(ReadBar(s, 1, s.Int(0)));
    if (adjusted) AdjustSeries(series.Bars, Splits(code));
    return series;
}

std::vector<market::Split> MarketDb::Splits(const market::IssueCode& code) const {
    std::vector<market::Split> splits;
    Statement s(*db_, "SELECT ex_date, ratio, origin FROM splits WHERE code = ?1 ORDER BY ex_date");
    s.Bind(1, code.Text());
    while (s.Step()) splits.push_back({code, DateOfKey(s.Int(0)), s.Real(1), s.Text(2)});
    return splits;
}

std::vector<market::Split> MarketDb::AllSplits() const {
    std::vector<market::Split> splits;
    Statement s(*db_, "SELECT code, ex_date, ratio, origin FROM splits ORDER BY code, ex_date");
    while (s.Step()) splits.push_back({market::IssueCode::Parse(s.Text(0)).value_or(market::IssueCode()),
                                       DateOfKey(s.Int(1)), s.Real(2), s.Text(3)});
    return splits;
}

std::vector<market::IssueInfo> MarketDb::Issues() const {
    std::vector<market::IssueInfo> issues;
    Statement s(*db_, "SELECT code, name, segment, sector, first, last FROM issues ORDER BY code");
    while (s.Step()) {
        auto code = market::IssueCode::Parse(s.Text(0));
        if (!code) continue;  // written by hand with another tool: not ours to show
        issues.push_back({*code, s.Text(1), s.Text(2), s.Text(3), DateOfKey(s.Int(4)), DateOfKey(s.Int(5))});
    }
    return issues;
}

std::vector<platform::Date> MarketDb::TradingDays(const platform::Date& from, const platform::Date& to) const {
    std::vector<platform::Date> days;
    Statement s(*db_, "SELECT day FROM days WHERE day BETWEEN ?1 AND ?2 ORDER BY day");
    s.Bind(1, DayKey(from)).Bind(2, DayKey(to));
    while (s.Step()) days.push_back(DateOfKey(s.Int(0)));
    return days;
}

std::optional<market::DaySnapshot> MarketDb::Day(const platform::Date& day) const {
    const int64_t key = DayKey(day);
    auto source = DaySource(day);
    if (!source) return std::nullopt;
    market::DaySnapshot snapshot{day, *source, {}};
    // Issue by issue through the key (code, day): a few thousand seeks, no index on the day.
    Statement s(*db_, "SELECT i.code, i.name, i.segment, i.sector, " + std::string(kBarColumns) +
                          " FROM issues i CROSS JOIN bars b ON b.code = i.code AND b.day = ?1 ORDER BY i.code");
    s.Bind(1, key);
    while (s.Step()) {
        auto code = market::IssueCode::Parse(s.Text(0));
        if (!code) continue;
        snapshot.Rows.push_back({*code, s.Text(1), ReadBar(s, 4, key), s.Text(2), s.Text(3)});
    }
    return snapshot;
}

std::vector<market::IssueSpan> MarketDb::Spans(const platform::Date& from, const platform::Date& to) const {
    std::vector<market::IssueSpan> spans;
    // One statement: a range seek per issue through the key (code, day), summed up in SQLite,
    // so a year of the whole market never crosses into C++ bar by bar.
    Statement s(*db_,
                "SELECT i.code, count(*), max(b.close), coalesce(min(nullif(b.close, 0)), 0), sum(b.volume) "
                "FROM issues i CROSS JOIN bars b ON b.code = i.code AND b.day BETWEEN ?1 AND ?2 "
                "GROUP BY i.code ORDER BY i.code");
    s.Bind(1, DayKey(from)).Bind(2, DayKey(to));
    while (s.Step()) {
        auto code = market::IssueCode::Parse(s.Text(0));
        if (!code) continue;
        spans.push_back({*code, static_cast<int>(s.Int(1)), s.Int(2), s.Int(3), s.Int(4)});
    }
    return spans;
}

std::vector<market::IssueSpan> MarketDb::SpansOf(const platform::Date& from, const platform::Date& to,
                                                const std::vector<market::IssueCode>& codes) const {
    // The codes travel as one JSON array of texts (codes are letters and digits only), so the
    // statement stays one range seek per issue named.
    std::string list = "[";
    for (const market::IssueCode& code : codes) list += (list.size() > 1 ? ",\"" : "\"") + code.Text() + "\"";
    list += "]";
    std::vector<market::IssueSpan> spans;
    Statement s(*db_,
                "SELECT b.code, count(*), max(b.close), coalesce(min(nullif(b.close, 0)), 0), sum(b.volume) "
                "FROM json_each(?3) j CROSS JOIN bars b ON b.code = j.value AND b.day BETWEEN ?1 AND ?2 "
                "GROUP BY b.code ORDER BY b.code");
    s.Bind(1, DayKey(from)).Bind(2, DayKey(to)).Bind(3, std::string_view(list));
    while (s.Step()) {
        auto code = market::IssueCode::Parse(s.Text(0));
        if (!code) continue;
        spans.push_back({*code, static_cast<int>(s.Int(1)), s.Int(2), s.Int(3), s.Int(4)});
    }
    return spans;
}

std::vector<market::Split> MarketDb::SplitsBetween(const platform::Date& from, const platform::Date& to) const {
    std::vector<market::Split> splits;
    Statement s(*db_,
                "SELECT code, ex_date, ratio, origin FROM splits WHERE ex_date BETWEEN ?1 AND ?2 ORDER BY code, ex_date");
    s.Bind(1, DayKey(from)).Bind(2, DayKey(to));
    while (s.Step()) {
        auto code = market::IssueCode::Parse(s.Text(0));
        if (code) splits.push_back({*code, DateOfKey(s.Int(1)), s.Real(2), s.Text(3)});
    }
    return splits;
}

std::optional<std::string> MarketDb::DaySource(const platform::Date& day) const {
    Statement s(*db_, "SELECT s.name FROM days d JOIN sources s ON s.id = d.source WHERE d.day = ?1");
    if (!s.Bind(1, DayKey(day)).Step()) return std::nullopt;
    return s.Text(0);
}

Counts MarketDb::Count() const {
    Counts c;
    c.Issues = db_->Number("SELECT count(*) FROM issues").value_or(0);
    c.Days = db_->Number("SELECT count(*) FROM days").value_or(0);
    c.Bars = db_->Number("SELECT count(*) FROM bars").value_or(0);
    c.Splits = db_->Number("SELECT count(*) FROM splits").value_or(0);
    if (auto first = db_->Number("SELECT min(day) FROM days")) c.First = DateOfKey(*first);
    if (auto last = db_->Number("SELECT max(day) FROM days")) c.Last = DateOfKey(*last);
    return c;
}

}  // namespace mirolanda::marketdb
