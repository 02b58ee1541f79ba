#include "quotesite/QuotePage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <limits>
#include <system_error>
#include <thread>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"
#include "quotesite/CodeConvert.h"
#include "market/IssueCode.h"

namespace fs = std::filesystem;

namespace mirolanda::quotesite {
namespace {

constexpr std::string_view kNoMatch = "一致する銘柄はありません";
constexpr size_t kRowLines = 10;
constexpr size_t kMaxLinkCode = 32;

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

using platform::TrimBlanks;

// The code of a quote page's code cell: four digits from 1000 to 9999 (blanks around them
// allowed), the only codes the page lists; 0 when the cell holds anything else.
int NumericCodeOfCell(std::string_view cell) {
    const std::optional<market::IssueCode> code = market::IssueCode::Parse(TrimBlanks(cell));
    return code && code->IsNumeric() ? std::stoi(code->Text()) : 0;
}

// The link code names a chart image's address and file, so an unsafe one becomes "" and the
// row keeps its prices without a chart.
std::string SafeLinkCode(std::string_view text) {
    return IsSafeLinkCode(text) ? std::string(text) : std::string();
}

bool FitsPrice(int64_t value) {
    return value <= std::numeric_limits<int32_t>::max();
}

void RemoveOnce(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) throw platform::FileError(path, "ファイルを削除できません(" + ec.message() + ")");
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw platform::FileError(path, "ファイルを作成できません(" + platform::ErrnoText(errno) + ")");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw platform::FileError(path, "ファイルを書き込めません");
}

}  // namespace

std::string QuoteRequestPath(int first, int count) {
    std::vector<int> codes;
    for (int i = 0; i < count; ++i) codes.push_back(first + i);
    return QuoteRequestPath(codes);
}

std::string QuoteRequestPath(const std::vector<int>& codes) {
    std::string path = "/q?s=";
    for (size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) path += '+';
        path += std::to_string(codes[i]);
    }
    return path + "&d=v2";
}

void ParseQuoteFile(platform::Table& grid, const fs::path& path) {
    LineReader file(platform::ReadSjisLines(path));
    ParseQuoteLines(grid, file);
}

void ParseQuoteLines(platform::Table& grid, LineReader& file) {
    FindLine(file, "現在の日時");
    while (!file.AtEnd()) {
        if (!FindLine(file, "<tr align=right>").empty()) ParseQuoteRow(grid, file);
    }
}

void ParseQuoteRow(platform::Table& grid, LineReader& file) {
    // cells[i] is line i + 1 after the row start.
    std::array<std::string, kRowLines> cells;
    for (size_t i = 0; i < kRowLines; ++i) {
        // A page cut inside a row: the row is incomplete, so it adds nothing.
        if (file.AtEnd()) return;
        cells[i] = file.ReadLine();
        // The site answers an unknown code with a two-line no-match row; skip it.
        if (i == 1 && StripTags(cells[1]).find(kNoMatch) != std::string::npos) return;
    }
    int code = NumericCodeOfCell(StripTags(cells[0]));
    if (code == 0) return;
    std::string name = StripTags(cells[1]);
    // Rows travel as TAB-separated text (grid rows, the CLI), so a TAB in a name would shift columns.
    std::replace(name.begin(), name.end(), '\t', ' ');
    int64_t close = ParseNumber(StripTags(cells[3]));
    int64_t volume = ParseNumber(StripTags(cells[6]));
    int64_t open = ParseNumber(StripTags(cells[7]));
    int64_t high = ParseNumber(StripTags(cells[8]));
    int64_t low = ParseNumber(StripTags(cells[9]));
    // Prices are 32-bit everywhere downstream; a volume that saturated is no count either.
    if (!FitsPrice(open) || !FitsPrice(high) || !FitsPrice(low) || !FitsPrice(close)) return;
    if (volume == std::numeric_limits<int64_t>::max()) return;

    platform::Table::Row row = {std::to_string(code),  std::move(name),        std::to_string(open),
                                std::to_string(high),  std::to_string(low),    std::to_string(close),
                                std::to_string(volume)};
    if (grid.ColumnCount() == kResultColumns) {
        grid.AddRow(std::move(row));
    } else if (grid.ColumnCount() == kQuoteColumns) {
        row.push_back(SafeLinkCode(TextBetween(cells[0], "s=", "&d=")));
        grid.AddRow(std::move(row));
    }
}

std::string QuotePageCutShort(std::string_view page) {
    // The markers are ASCII, which EUC-JP never uses inside a character: the raw bytes do.
    const size_t row = FindLastNoCase(page, "<tr align=right>");
    const size_t table = FindLastNoCase(page, "<table");
    size_t opened = std::string::npos;
    if (row != std::string::npos) opened = row;
    if (table != std::string::npos && (opened == std::string::npos || table > opened)) opened = table;
    if (opened == std::string::npos || FindNoCase(page, "</table", opened) != std::string::npos) return {};
    return "ページが途中で切れています";
}

std::string NotAQuotePage(std::string_view page) {
    constexpr std::string_view kDateLineEucJp = "\xB8\xBD\xBA\xDF\xA4\xCE\xC6\xFC\xBB\xFE";  // 現在の日時
    const size_t dateLine = page.find(kDateLineEucJp);
    if (dateLine != std::string_view::npos && FindNoCase(page, "<table", dateLine) != std::string_view::npos)
        return {};
    return "株価ページではありません";
}

std::string CheckQuotePage(std::string_view page) {
    std::string cut = QuotePageCutShort(page);
    return cut.empty() ? NotAQuotePage(page) : cut;
}

bool IsSafeLinkCode(std::string_view link) {
    if (link.empty() || link.size() > kMaxLinkCode || !IsAsciiAlnum(link.front())) return false;
    for (char c : link) {
        if (!IsAsciiAlnum(c) && c != '.') return false;
    }
    return true;
}

void DeleteTempFile(const fs::path& path, const platform::Progress& progress, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    std::error_code ec;
    while (true) {
        progress.RunPending();
        ec.clear();
        if (!fs::exists(path, ec) && !ec) return;
        fs::remove(path, ec);
        if (!ec) return;
        if (Clock::now() >= deadline) break;
        // Another process may hold the file for a moment; give it time to let go.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw platform::FileError(path, "一時ファイルを削除できません(" + ec.message() + ")");
}

void ImportQuotePage(platform::Table& grid, std::string_view response, const fs::path& tempFolder,
                     const platform::Progress& progress) {
    platform::EnsureFolder(tempFolder);
    const fs::path euc = tempFolder / "result.euc";
    const fs::path sjis = tempFolder / "result.sjis";
    // A stale page must not survive in the tail of a shorter new one.
    std::error_code ec;
    if (fs::exists(euc, ec)) RemoveOnce(euc);
    try {
        WriteBytes(euc, response);
        ConvertToShiftJis(euc, sjis);
        ParseQuoteFile(grid, sjis);
    } catch (...) {
        // Leave no temporary file behind on failure either; the first error is the one to report.
        try {
            DeleteTempFile(euc, progress);
            DeleteTempFile(sjis, progress);
        } catch (...) {
        }
        throw;
    }
    DeleteTempFile(euc, progress);
    DeleteTempFile(sjis, progress);
}

}  // namespace mirolanda::quotesite
