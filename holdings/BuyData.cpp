#include "holdings/BuyData.h"

#include <cstdint>
#include <optional>

#include "holdings/History.h"
#include "platform/Numbers.h"
#include "platform/AtomicFile.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace mirolanda::holdings {

namespace {

// Turns the fields of one record into a table row, or gives the reason it cannot.
std::optional<std::string> ReadRecord(std::string_view line, platform::Table::Row& row) {
    auto fields = platform::SplitFields(line);
    if (!fields) return "引用符（\"）が閉じていません";
    if (fields->size() < kBuyColumns) return "項目が足りません（5項目必要です）";
    if (fields->size() > kBuyColumns) return "項目が多すぎます（5項目のはずです）";
    const auto& f = *fields;

    // A code with letters as written; a numeric code as the whole number it must be.
    std::optional<std::string> code;
    if (auto letters = market::IssueCode::Parse(platform::TrimBlanks(f[kBuyCode]))) code = letters->Text();
    auto number = platform::WholeNumber(f[kBuyCode]);
    if (auto value = number ? platform::RoundHalfEven(*number, 1000, 9999) : std::nullopt; !code && value) {
        code = std::to_string(*value);
    }
    if (!code) return "銘柄コードが正しくありません（1000～9999、または 130A のような英字入りのコード）";
    auto price = platform::WholeNumber(f[kBuyPrice]);
    if (!price || !platform::RoundHalfEven(*price, INT32_MIN, INT32_MAX)) return "購入時株価が数値ではありません";
    auto shares = platform::WholeNumber(f[kBuyShares]);
    auto sharesValue = shares ? platform::RoundHalfEven(*shares, INT32_MIN, INT32_MAX) : std::nullopt;
    if (!sharesValue) return "購入株数が数値ではありません";

    row = {*code, f[kBuyName], f[kBuyDate], platform::FormatNumber(*price),
           std::to_string(*sharesValue)};
    return std::nullopt;
}

// A text field as the file can hold it: no blanks around it, no double quote (the format
// has no escape for one), no control character (it would split the line).
std::string FileText(std::string_view cell) {
    return std::string(platform::TrimBlanks(platform::QuotableText(cell)));
}

}  // namespace

std::filesystem::path BuyDataPath(const std::filesystem::path& settingFolder) {
    return settingFolder / std::filesystem::path(std::u8string(kBuyDataFileName.begin(), kBuyDataFileName.end()));
}

std::string BuyDataLoad::Message() const {
    if (Problems.empty()) return {};
    std::string text = "持株ファイル " + Path.string() + " に読めない行があり、読み飛ばしました。";
    for (const auto& problem : Problems) {
        text += '\n';
        text += std::to_string(problem.Line);
        text += "行目: ";
        text += problem.Reason;
    }
    text += "\n持株を変更して保存すると、これらの行はファイルから除かれます。";
    return text;
}

BuyDataLoad LoadBuyData(platform::Table& table, const std::filesystem::path& settingFolder) {
    table.Clear();
    table.SetColumnCount(kBuyColumns);
    BuyDataLoad result;
    result.Path = BuyDataPath(settingFolder);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(result.Path, ec)) return result;

    auto lines = platform::ReadSjisLines(result.Path);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (platform::TrimBlanks(lines[i]).empty()) continue;  // a blank line holds no purchase
        platform::Table::Row row;
        if (auto reason = ReadRecord(lines[i], row)) {
            result.Problems.push_back({static_cast<int>(i + 1), *reason});
        } else {
            table.AddRow(std::move(row));
        }
    }
    return result;
}

std::string EncodeBuyData(const platform::Table& table) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(table.RowCount()));
    for (const auto& row : table.Rows()) {
        auto cell = [&](int column) -> std::string_view {
            return column < static_cast<int>(row.size()) ? std::string_view(row[static_cast<size_t>(column)])
                                                         : std::string_view();
        };
        lines.push_back(market::CodeOfCell(cell(kBuyCode)).Text() + ",\"" + FileText(cell(kBuyName)) + "\",\"" +
                        FileText(cell(kBuyDate)) + "\"," + std::to_string(platform::CellToInt32(cell(kBuyPrice))) + "," +
                        std::to_string(platform::CellToInt32(cell(kBuyShares))));
    }
    return platform::EncodeSjisLines(lines);
}

void SaveBuyData(const platform::Table& table, const std::filesystem::path& settingFolder) {
    platform::EnsureFolder(settingFolder);
    platform::ReplaceFile(BuyDataPath(settingFolder), EncodeBuyData(table));
}

}  // namespace mirolanda::holdings
