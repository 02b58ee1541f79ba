#include "tools/Market.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace mirolanda::tools {
namespace {

constexpr int kFirstCode = 1000;
constexpr int kLastCode = 9999;

// Name pieces. Half-width katakana, ㈱ and full-width digits appear on the real site and
// each takes a different path through EUC-JP, Shift_JIS and the per-issue name field.
constexpr std::array<std::string_view, 24> kStems = {
    "日本", "東京", "大和", "三井", "住友", "極洋", "北海道", "中部", "関西", "九州", "富士", "旭",
    "新日本", "東洋", "太平洋", "丸紅", "明治", "昭和", "大成", "清水", "鹿島", "平和", "山陽", "信越"};
constexpr std::array<std::string_view, 24> kTrades = {
    "水産", "建設", "電気", "化学", "工業", "製作所", "製薬", "銀行", "証券", "商事", "物産", "鉄道",
    "電力", "ガス", "食品", "製紙", "海運", "不動産", "精機", "電子", "通信", "倉庫", "紡績", "興業"};
constexpr std::array<std::string_view, 6> kKanaSuffixes = {"ﾎｰﾙﾃﾞｨﾝｸﾞｽ", "ｼｽﾃﾑｽﾞ", "ｴﾚｸﾄﾛﾆｸｽ",
                                                           "ﾌｰｽﾞ",       "ﾃｸﾉﾛｼﾞｰ", "ｸﾞﾙｰﾌﾟ"};
constexpr std::array<std::string_view, 10> kWideDigits = {"０", "１", "２", "３", "４",
                                                          "５", "６", "７", "８", "９"};

std::string WideNumber(uint64_t value) {
    std::string out;
    for (char c : std::to_string(value)) out += kWideDigits[static_cast<size_t>(c - '0')];
    return out;
}

std::string MakeName(uint64_t h) {
    std::string stem(kStems[(h >> 8) % kStems.size()]);
    std::string trade(kTrades[(h >> 16) % kTrades.size()]);
    switch ((h >> 24) % 16) {
    case 0: case 1: case 2: case 3: return "㈱" + stem + trade;
    case 4: return stem + trade + "㈱";
    case 5: case 6: return stem + std::string(kKanaSuffixes[(h >> 32) % kKanaSuffixes.size()]);
    case 7: return "㈱" + stem + std::string(kKanaSuffixes[(h >> 32) % kKanaSuffixes.size()]);
    case 8: return "第" + WideNumber(1 + (h >> 40) % 150) + trade;
    case 9: return WideNumber(10 + (h >> 40) % 90) + trade;
    case 10: return "  " + stem + trade + "  ";
    case 11: return " ㈱" + stem + trade + " ";
    case 12: return "　" + stem + trade;
    default: return stem + trade;
    }
}

// The market suffix of the site's link code: mostly Tokyo, some Osaka, Nagoya, Fukuoka.
const char* LinkSuffix(uint64_t h) {
    uint64_t r = (h >> 44) % 100;
    return r < 90 ? ".t" : r < 96 ? ".o" : r < 99 ? ".n" : ".f";
}

int64_t Between(uint64_t h, int64_t low, int64_t high) {
    return low + static_cast<int64_t>(h % static_cast<uint64_t>(high - low + 1));
}

int64_t MakeBasePrice(uint64_t h) {
    switch (h % 10) {
    case 0: return Between(h >> 4, 30, 300);
    case 1: case 2: case 3: return Between(h >> 4, 300, 1000);
    case 4: case 5: case 6: return Between(h >> 4, 1000, 3000);
    case 7: case 8: return Between(h >> 4, 3000, 10000);
    default: return Between(h >> 4, 10000, 60000);
    }
}

// A few issues trade billions of shares a day, past what 32 bits hold.
int64_t MakeBaseVolume(uint64_t h) {
    if (h % 400 == 0) return Between(h >> 9, 1200000000, 3000000000);
    static constexpr std::array<int64_t, 7> kBands = {100, 5000, 50000, 500000, 5000000, 50000000, 300000000};
    size_t band = (h >> 9) % 6;
    return Between(h >> 12, kBands[band], kBands[band + 1]) / 100 * 100;
}

// A triangle wave in −1000…1000 with the given period, for slow trends.
int64_t Triangle(long x, long period) {
    long t = x % period;
    if (t < 0) t += period;
    int64_t v = 4000 * static_cast<int64_t>(t) / period;  // 0 … 4000
    if (v <= 1000) return v;
    if (v <= 3000) return 2000 - v;
    return v - 4000;
}

}  // namespace

uint64_t Mix(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    auto step = [](uint64_t x) {
        x += 0x9E3779B97F4A7C15ull;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    };
    return step(step(step(step(a) ^ b) ^ c) ^ d);
}

int64_t RoundToTick(int64_t price) {
    int64_t tick = price <= 3000 ? 1 : price <= 5000 ? 5 : price <= 30000 ? 10 : price <= 50000 ? 50 : 100;
    int64_t rounded = (price + tick / 2) / tick * tick;
    return std::max<int64_t>(rounded, 1);
}

Market::Market(MarketOptions options) : options_(options), indexByCode_(kLastCode + 1, -1) {
    int count = std::clamp(options_.Issues, 0, kLastCode - kFirstCode + 1);
    options_.Issues = count;
    // The listed codes are those with the smallest keys, so the set is fixed by the seed.
    std::vector<std::pair<uint64_t, int>> keys;
    for (int code = kFirstCode; code <= kLastCode; ++code) keys.emplace_back(Mix(options_.Seed, code, 11), code);
    std::nth_element(keys.begin(), keys.begin() + count, keys.end());
    keys.resize(static_cast<size_t>(count));
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    for (const auto& [key, code] : keys) {
        indexByCode_[static_cast<size_t>(code)] = static_cast<int>(issues_.size());
        issues_.push_back(MakeIssue(code, std::to_string(code), static_cast<uint64_t>(code)));
    }
    // Numbered as the exchange numbers them: 130A, 131A, … 999A, then 130C (B is never used).
    const int letters = std::clamp(options_.LetterIssues, 0, 300);
    options_.LetterIssues = letters;
    for (int n = 0; n < letters; ++n) {
        std::string symbol = std::to_string(130 + n % 870) + (n < 870 ? "A" : "C");
        letterIssues_.push_back(MakeIssue(0, std::move(symbol), static_cast<uint64_t>(10000 + n)));
    }
}

Issue Market::MakeIssue(int code, std::string symbol, uint64_t key) const {
    uint64_t h = Mix(options_.Seed, key, 12);
    Issue issue;
    issue.Code = code;
    issue.Symbol = std::move(symbol);
    issue.Key = key;
    issue.Name = MakeName(h);
    issue.Link = issue.Symbol + LinkSuffix(h);
    issue.BasePrice = MakeBasePrice(Mix(h, 1));
    issue.BaseVolume = MakeBaseVolume(Mix(h, 2));
    return issue;
}

const Issue* Market::Find(int code) const {
    if (code < kFirstCode || code > kLastCode) return nullptr;
    int index = indexByCode_[static_cast<size_t>(code)];
    return index < 0 ? nullptr : &issues_[static_cast<size_t>(index)];
}

int64_t Market::CloseOn(const Issue& issue, long day) const {
    uint64_t h = Mix(options_.Seed, issue.Key, 13);
    long period = 60 + static_cast<long>(h % 180);
    int64_t amplitude = 50 + static_cast<int64_t>((h >> 8) % 250);  // ‰ of the base price
    long phase = static_cast<long>((h >> 20) % static_cast<uint64_t>(period));
    int64_t trend = amplitude * Triangle(day + phase, period) / 1000;
    int64_t noise = static_cast<int64_t>(Mix(options_.Seed, issue.Key, static_cast<uint64_t>(day), 1) % 61) - 30;
    return RoundToTick(issue.BasePrice * (1000 + trend + noise) / 1000);
}

DayQuote Market::Quote(const Issue& issue, const platform::Date& date) const {
    long day = platform::DaysFromCivil(date);
    auto mix = [&](uint64_t salt) { return Mix(options_.Seed, issue.Key, static_cast<uint64_t>(day), salt); };
    DayQuote q;
    int64_t previous = CloseOn(issue, day - 1);
    if (mix(7) % 89 == 0) {
        q.Traded = false;
        q.Close = previous;
        return q;
    }
    q.Close = CloseOn(issue, day);
    q.Open = RoundToTick(previous * (990 + static_cast<int64_t>(mix(2) % 21)) / 1000);
    int64_t top = std::max(q.Open, q.Close);
    int64_t bottom = std::min(q.Open, q.Close);
    q.High = std::max(top, RoundToTick(top * (1000 + static_cast<int64_t>(mix(3) % 16)) / 1000));
    q.Low = std::min(bottom, RoundToTick(bottom * (1000 - static_cast<int64_t>(mix(4) % 16)) / 1000));
    int64_t volume = issue.BaseVolume * (300 + static_cast<int64_t>(mix(5) % 1400)) / 1000;
    q.Volume = std::max<int64_t>(100, volume / 100 * 100);
    return q;
}

}  // namespace mirolanda::tools
