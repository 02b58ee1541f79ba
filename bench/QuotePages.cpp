#include "bench/QuotePages.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <random>
#include <stdexcept>

namespace mirolanda::bench {
namespace {

// UTF-8 text of the page skeleton to EUC-JP; the generator's own texts all have an EUC form.
std::string Euc(const std::string& utf8) {
    iconv_t cd = iconv_open("EUC-JP-MS", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open EUC-JP-MS");
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) throw std::runtime_error("no EUC-JP form: " + utf8);
    out.resize(out.size() - outLeft);
    return out;
}

// "1,234,567"
std::string Grouped(long long value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

struct Words {
    std::vector<std::string> places, trades, katakana, marks;
};

const Words& NameWords() {
    static const Words words = [] {
        Words w;
        for (const char* s : {"日本", "東洋", "大和", "三井", "住友", "富士", "北海道", "東京", "大阪", "中部", "関西",
                              "新日本", "第一", "山陽", "九州", "極東", "太平洋", "明治", "昭和", "丸紅"})
            w.places.push_back(Euc(s));
        for (const char* s : {"製作所", "電機", "化学", "建設", "工業", "商事", "銀行", "証券", "不動産", "製薬",
                              "食品", "物産", "鉄道", "ホールディングス", "システム", "電子", "精機", "紙業", "海運",
                              "興産", "産業", "通信", "ガス", "電力"})
            w.trades.push_back(Euc(s));
        for (const char* s : {"ｿﾌﾄ", "ﾃｸﾉ", "ﾈｯﾄ", "ﾒﾃﾞｨｱ", "ｼｽﾃﾑ", "ｴﾝｼﾞﾆｱﾘﾝｸﾞ"}) w.katakana.push_back(Euc(s));
        w.marks = {Euc("㈱"), Euc("１"), Euc("２１"), Euc("ＮＥＴ")};
        return w;
    }();
    return words;
}

class PageWriter {
public:
    explicit PageWriter(unsigned seed) : random_(seed) {}

    std::string Page(int firstCode, int& listed);

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    std::string Name();
    void Row(std::string& page, int code);

    std::mt19937 random_;
};

std::string PageWriter::Name() {
    const Words& w = NameWords();
    std::string name;
    if (Chance(8)) name += w.marks[0];  // ㈱ before the name
    // IBM kanji 髙 (row 92) and 﨑 (row 89), as Microsoft's EUC writes them.
    if (Chance(2)) name += "\xFC\xE2";
    name += w.places[static_cast<size_t>(Pick(static_cast<int>(w.places.size())))];
    if (Chance(2)) name += "\xF9\xF5";
    if (Chance(12)) name += w.katakana[static_cast<size_t>(Pick(static_cast<int>(w.katakana.size())))];
    else name += w.trades[static_cast<size_t>(Pick(static_cast<int>(w.trades.size())))];
    if (Chance(5)) name += w.marks[static_cast<size_t>(1 + Pick(3))];
    return name;
}

void PageWriter::Row(std::string& page, int code) {
    static const std::array<const char*, 4> markets = {".t", ".o", ".n", ".q"};
    const long long close = 50 + Pick(30000);
    const long long change = Pick(201) - 100;
    const long long low = close - Pick(static_cast<int>(close / 20 + 1));
    const long long high = close + Pick(static_cast<int>(close / 20 + 1));
    const long long open = low + Pick(static_cast<int>(high - low + 1));
    const long long volume = Chance(5) ? 0 : 1000LL * (1 + Pick(50000));
    const std::string colour = change > 0 ? "#ff0000" : change < 0 ? "#0000ff" : "#000000";
    const std::string sign = change > 0 ? "+" : "";
    page += "<tr align=right>\n";
    page += "<td nowrap><a href=\"/q?s=" + std::to_string(code) + markets[static_cast<size_t>(Pick(4))] +
            "&d=t\">" + std::to_string(code) + "</a></td>\n";
    page += "<td nowrap align=left><small>" + Name() + "</small></td>\n";
    page += "<td nowrap><small>15:00</small></td>\n";
    page += "<td nowrap><b>" + Grouped(close) + "</b></td>\n";
    page += "<td nowrap><font color=" + colour + ">" + sign + std::to_string(change) + "</font></td>\n";
    char percent[32];
    std::snprintf(percent, sizeof percent, "%s%.2f%%", sign.c_str(), 100.0 * static_cast<double>(change) / static_cast<double>(close));
    page += "<td nowrap><font color=" + colour + ">" + percent + "</font></td>\n";
    page += "<td nowrap>" + Grouped(volume) + "</td>\n";
    page += "<td nowrap>" + Grouped(open) + "</td>\n";
    page += "<td nowrap>" + Grouped(high) + "</td>\n";
    page += "<td nowrap>" + Grouped(low) + "</td>\n";
    page += "</tr>\n";
}

std::string PageWriter::Page(int firstCode, int& listed) {
    static const std::string head = Euc(
        "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-jp\">\n"
        "<title>株価検索 - ファイナンス</title>\n"
        "<style type=\"text/css\">\n<!--\na:link { color: #0000cc }\na:visited { color: #551a8b }\n"
        "td { font-size: 12px; font-family: \"ＭＳ Ｐゴシック\", sans-serif }\n-->\n</style>\n</head>\n"
        "<body bgcolor=#ffffff>\n<center>\n"
        "<table border=0 cellpadding=0 cellspacing=0 width=\"100%\">\n"
        "<tr><td><a href=\"/\">ファイナンス</a> &gt; 株価検索</td>\n"
        "<td align=right><a href=\"/help/\">ヘルプ</a> - <a href=\"/news/\">ニュース</a> - "
        "<a href=\"/market/\">市況</a> - <a href=\"/rank/\">ランキング</a></td></tr>\n</table>\n"
        "<form action=\"/q\" method=get>\n<input type=text name=s size=30> <input type=submit value=\"株価検索\">\n"
        "<input type=hidden name=d value=v2>\n</form>\n"
        "<table border=0 cellpadding=0 cellspacing=0 width=\"100%\">\n"
        "<tr><td align=right><small>現在の日時：12月7日 15時20分</small></td></tr>\n</table>\n"
        "<table border=1 cellpadding=2 cellspacing=0 width=\"100%\">\n"
        "<tr bgcolor=#dcdcdc>\n<th nowrap>コード</th>\n<th nowrap>名称</th>\n<th nowrap>時刻</th>\n"
        "<th nowrap>取引値</th>\n<th nowrap>前日比</th>\n<th nowrap>騰落率</th>\n<th nowrap>出来高</th>\n"
        "<th nowrap>始値</th>\n<th nowrap>高値</th>\n<th nowrap>安値</th>\n</tr>\n");
    static const std::string noMatch = Euc("一致する銘柄はありません");
    static const std::string tail = Euc(
        "</table>\n<br>\n<small>株価は20分以上遅れて表示しています。掲載情報の正確性は保証しません。</small>\n"
        "<hr size=1 noshade>\n<small>Copyright (C) 2026 Finance Data. All Rights Reserved.</small>\n"
        "</center>\n</body>\n</html>\n");
    std::string page = head;
    for (int code = firstCode; code < firstCode + kCodesPerPage; ++code) {
        if (Chance(40)) {
            Row(page, code);
            ++listed;
        } else {
            page += "<tr align=right>\n<td nowrap>" + std::to_string(code) + "</td>\n";
            page += "<td nowrap align=left colspan=9>" + noMatch + "</td>\n</tr>\n";
        }
    }
    return page + tail;
}

}  // namespace

QuotePages MakeQuotePages(unsigned seed) {
    PageWriter writer(seed);
    QuotePages result;
    for (int i = 0; i < kPageCount; ++i) {
        result.pages.push_back(writer.Page(1000 + i * kCodesPerPage, result.listed));
        result.bytes += result.pages.back().size();
    }
    return result;
}

std::vector<std::filesystem::path> WriteQuotePages(const std::filesystem::path& folder, const QuotePages& pages) {
    std::vector<std::filesystem::path> paths;
    for (size_t i = 0; i < pages.pages.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%03zu.euc", i);
        paths.push_back(folder / name);
        std::ofstream out(paths.back(), std::ios::binary | std::ios::trunc);
        out.write(pages.pages[i].data(), static_cast<std::streamsize>(pages.pages[i].size()));
        if (!out) throw std::runtime_error("cannot write " + paths.back().string());
    }
    return paths;
}

}  // namespace mirolanda::bench
