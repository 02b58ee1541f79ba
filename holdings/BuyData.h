// The holdings file "売買情報.txt" in the settings folder and the holdings table it is read
// into: one purchase per row, five text cells (code, name, purchase date, price, shares).
// Used by the window at start-up and after every change, and by the command-line tool.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Table.h"

namespace mirolanda::holdings {

inline constexpr std::string_view kBuyDataFileName = "売買情報.txt";
inline constexpr int kBuyColumns = 5;
enum BuyColumn { kBuyCode = 0, kBuyName = 1, kBuyDate = 2, kBuyPrice = 3, kBuyShares = 4 };

std::filesystem::path BuyDataPath(const std::filesystem::path& settingFolder);

// One line of the file that could not be read; it was left out of the table.
struct BuyDataProblem {
    int Line = 0;        // 1-based
    std::string Reason;  // Japanese
};

struct BuyDataLoad {
    std::filesystem::path Path;
    std::vector<BuyDataProblem> Problems;
    // One Japanese message naming the file and every skipped line; empty without problems.
    std::string Message() const;
};

// Fills `table` (emptied first, five columns) from the file. A missing file gives an empty
// table. A malformed line (too few or too many fields, a code that is no issue code, text
// where a number belongs, an unclosed quote) is skipped and reported in the result; the
// good lines load. Nothing is written. Throws FileError when the file cannot be read.
BuyDataLoad LoadBuyData(platform::Table& table, const std::filesystem::path& settingFolder);

// The file's bytes for a table: one CR LF line per row, Shift_JIS, empty for no rows.
// Never fails on a cell the purchase dialog accepts: numbers are the cells' leading numbers
// rounded half to even (350.5 → 350, "350円" → 350); names and dates lose blanks around
// them, a double quote becomes "＂" and a control character a blank, so the text reads
// back as written.
std::string EncodeBuyData(const platform::Table& table);

// Creates the settings folder (one level) when missing and replaces the file atomically
// with EncodeBuyData(table). Throws FileError.
void SaveBuyData(const platform::Table& table, const std::filesystem::path& settingFolder);

}  // namespace mirolanda::holdings
