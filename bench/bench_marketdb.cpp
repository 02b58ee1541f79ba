// The market history database, timed once each (these are seconds-long runs, not micro ones):
// (a) two years of daily CSV files (490 days × 3,600 issues) imported with `mirolanda-cli db
//     import`, against the sqlite3 shell's .import of the same rows into the same schema;
// (b) one issue's ten-year adjusted daily series, against the same series raw;
// (c) a whole-market day read back, against reading that day's CSV file;
// (d) adding the evening's day to the two years, against writing that day's CSV bytes.
// Prints each time and its ratio, measured in this run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "bench/BenchSupport.h"
#include "marketdb/MarketDb.h"
#include "marketdb/Schema.h"
#include "platform/AtomicFile.h"
#include "platform/Folders.h"
#include "quotes/CsvFile.h"

namespace fs = std::filesystem;
using namespace mirolanda;

namespace {

constexpr int kDays = 490, kIssues = 3600;

double Seconds(const std::function<void()>& work, int times = 1) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i) work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / times;
}

platform::Date Weekday(int n) {  // the n-th weekday from 2014-01-06
    return platform::AddDays({2014, 1, 6}, n / 5 * 7 + n % 5);
}

market::Tenths CloseOf(int issue, int day) { return 1000 + (issue * 37 + day * 11) % 50000; }

// Every day's CSV in the folder, and the same rows as one CSV for the shell.
void WriteMarket(const fs::path& folder, const fs::path& rows) {
    fs::create_directories(folder);
    std::ofstream all(rows, std::ios::binary);
    for (int d = 0; d < kDays; ++d) {
        const platform::Date day = Weekday(d);
        const std::string key = platform::FormatYmd(day);
        std::string csv;
        for (int i = 0; i < kIssues; ++i) {
            const int code = 1300 + 2 * i;
            const market::Tenths close = CloseOf(i, d);
            const int64_t yen = close / 10, volume = 1000 + (i * 13 + d) % 900000;
            const std::string prices = std::to_string(yen - 3) + "," + std::to_string(yen + 9) + "," +
                                       std::to_string(yen - 9) + "," + std::to_string(yen) + "," + std::to_string(volume);
            csv += std::to_string(code) + ",\"N" + std::to_string(code) + "\"," + prices + "\r\n";
            all << code << ',' << key << ',' << (yen - 3) * 10 << ',' << (yen + 9) * 10 << ',' << (yen - 9) * 10 << ','
                << yen * 10 << ',' << volume << ",,1,1\n";
        }
        platform::ReplaceFile(folder / (key + ".csv"), csv);
    }
}

int Run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status != 0) std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
    return status;
}

}  // namespace

int main() {
    bench::ScratchFolder scratch;
    const fs::path csvFolder = scratch / "CsvData", rows = scratch / "rows.csv";
    WriteMarket(csvFolder, rows);
    const std::string cli = (platform::ExecutableFolder() / "mirolanda-cli").string();

    // (a) The same schema for the shell, made by the program, then filled by .import.
    { marketdb::MarketDb empty(scratch / "shell.sqlite3"); }
    const double shell = Seconds([&] {
        Run("sqlite3 " + (scratch / "shell.sqlite3").string() + " '.mode csv' '.import " + rows.string() + " bars'");
    });
    const fs::path db = scratch / "Market.sqlite3";
    const std::string settings = (scratch / "settings.ini").string();
    std::ofstream(settings) << "[Parameters]\nMarketDatabase=" << db.string() << "\n";
    const double ours = Seconds([&] {
        Run(cli + " --settings " + settings + " --program-folder " + scratch.Path().string() + " db import " +
            csvFolder.string() + " > /dev/null 2>&1");
    });
    std::printf("(a) import of %d days × %d issues: %.2f s; sqlite3 .import of the same rows: %.2f s; ratio %.2f\n",
                kDays, kIssues, ours, shell, ours / shell);
    std::printf("    file size %.1f MB, %.1f bytes a bar\n", static_cast<double>(fs::file_size(db)) / 1e6,
                static_cast<double>(fs::file_size(db)) / (kDays * double{kIssues}));

    // (b) Ten years of one issue among 50, with three splits.
    {
        marketdb::MarketDb ten(scratch / "ten.sqlite3");
        for (int d = 0; d < 2450; ++d) {
            market::DaySnapshot day{Weekday(d), "jquants", {}};
            for (int i = 0; i < 50; ++i) {
                const market::Tenths c = CloseOf(i, d);
                day.Rows.push_back({1300 + 2 * i, "N", {day.Day, c - 30, c + 90, c - 90, c, 1000 + d, 12345678, 1.0}, "", ""});
            }
            ten.Add(day, {});
        }
        for (int n : {600, 1200, 2000}) ten.RecordSplit({1320, Weekday(n), 2, marketdb::kUserOrigin});
        const platform::Date from{2000, 1, 1}, to{2099, 12, 31};
        size_t bars = 0;
        const double adjusted = Seconds([&] { bars = ten.Series(1320, from, to, true).Bars.size(); }, 200);
        const double raw = Seconds([&] { ten.Series(1320, from, to, false); }, 200);
        std::printf("(b) ten-year adjusted series (%zu days): %.3f ms; raw: %.3f ms; ratio %.2f\n", bars, adjusted * 1e3,
                    raw * 1e3, adjusted / raw);
    }

    // (c) and (d) on the two years imported.
    marketdb::MarketDb two(db);
    const platform::Date middle = Weekday(kDays / 2);
    const fs::path middleCsv = csvFolder / (platform::FormatYmd(middle) + ".csv");
    size_t issues = 0;
    const double day = Seconds([&] { issues = two.Day(middle)->Rows.size(); }, 50);
    const double csv = Seconds([&] { quotes::ReadDailyCsv(middleCsv); }, 50);
    std::printf("(c) a whole-market day (%zu issues): %.2f ms; its CSV read: %.2f ms; ratio %.2f\n", issues, day * 1e3,
                csv * 1e3, day / csv);

    market::DaySnapshot evening = *two.Day(middle);
    evening.Day = Weekday(kDays);
    for (auto& row : evening.Rows) row.Prices.Day = evening.Day;
    const std::string bytes = [&] {
        std::string text;
        for (int i = 0; i < kIssues; ++i) text += std::string(40, 'x') + "\r\n";
        return text;
    }();
    const double add = Seconds([&] { two.Add(evening, {}); });
    const double write = Seconds([&] { platform::ReplaceFile(scratch / "evening.csv", bytes); });
    std::printf("(d) adding the evening's day: %.1f ms; writing its CSV bytes: %.1f ms; ratio %.2f\n", add * 1e3,
                write * 1e3, add / write);
    return 0;
}
