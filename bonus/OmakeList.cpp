// The bonus list files: server list, downloaded record, current list and the list table.
#include <algorithm>
#include <unordered_map>

#include "bonus/Omake.h"
#include "platform/Numbers.h"
#include "platform/AtomicFile.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace fs = std::filesystem;

namespace mirolanda::bonus {

namespace {

constexpr size_t kDateWidth = 10;
constexpr size_t kStampWidth = 8;

std::vector<std::string> ReadLinesIfAny(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    return platform::ReadSjisLines(path);
}

}  // namespace

std::string ModeWord(int index) { return index == 0 ? "Short" : "Long"; }

fs::path ListFilePathOf(const fs::path& omakeFolder, std::string_view mode, std::string_view kind) {
    const fs::path list = omakeFolder / mode / "List";
    if (kind == "List") return list / "CurrentList.txt";
    if (kind == "Down") return list / "DownList.txt";
    return list / "Downloaded.txt";
}

fs::path GetListFilePath(const fs::path& omakeFolder, std::string_view mode, std::string_view kind) {
    platform::EnsureFolder(omakeFolder);
    platform::EnsureFolder(omakeFolder / mode);
    platform::EnsureFolder(omakeFolder / mode / "List");
    return ListFilePathOf(omakeFolder, mode, kind);
}

void SaveDownList(const fs::path& omakeFolder, std::string_view mode, std::string_view bytes) {
    platform::ReplaceFile(GetListFilePath(omakeFolder, mode, "Down"), bytes);
}

DownloadedTable LoadDownloaded(const fs::path& omakeFolder, std::string_view mode) {
    DownloadedTable table;
    for (const std::string& line : ReadLinesIfAny(ListFilePathOf(omakeFolder, mode, "Download"))) {
        auto fields = platform::SplitFields(line);
        if (!fields || fields->size() != 3) continue;
        auto count = platform::WholeInteger((*fields)[1], -32768, 32767);
        if (!count) continue;
        table.Entries.push_back({platform::FitChars((*fields)[0], kDateWidth), static_cast<int16_t>(*count),
                                 platform::FitChars((*fields)[2], kStampWidth)});
    }
    return table;
}

void SaveDownloaded(const fs::path& omakeFolder, std::string_view mode, const DownloadedTable& table) {
    if (table.Entries.empty()) return;
    std::vector<std::string> lines;
    for (const DownloadedEntry& e : table.Entries) {
        lines.push_back(platform::QuoteField(platform::TrimBlanks(e.ChartDate)) + "," + std::to_string(e.ChartCount) + "," +
                        platform::QuoteField(platform::TrimBlanks(e.UpdateStamp)));
    }
    platform::WriteSjisLines(GetListFilePath(omakeFolder, mode, "Download"), lines);
}

std::string FindDownloaded(const DownloadedTable& table, std::string_view date) {
    for (const DownloadedEntry& e : table.Entries) {
        if (e.ChartDate == date) return e.UpdateStamp;
    }
    return "";
}

void SetDownloaded(DownloadedTable& table, std::string_view date, int16_t count, std::string_view stamp) {
    const std::string key = platform::FitChars(date, kDateWidth);
    for (DownloadedEntry& e : table.Entries) {
        if (e.ChartDate == key) {
            e.ChartCount = count;
            e.UpdateStamp = platform::FitChars(stamp, kStampWidth);
            return;
        }
    }
    table.Entries.push_back({key, count, platform::FitChars(stamp, kStampWidth)});
}

std::optional<ServerListLine> ParseServerListLine(std::string_view line) {
    auto fields = platform::SplitFields(line);
    if (!fields || fields->size() != 4) return std::nullopt;
    const std::string& date = (*fields)[0];
    if (!IsDate8(date)) return std::nullopt;
    auto flag = platform::WholeInteger((*fields)[1], -999999999, 999999999);
    auto count = platform::WholeInteger((*fields)[2], 0, 32767);
    if (!flag || !count) return std::nullopt;
    return ServerListLine{date, *flag, static_cast<int16_t>(*count), (*fields)[3]};
}

namespace {

// The state of a line given the downloaded stamp of its date ("" when none).
std::string StateFor(const ServerListLine& line, const std::string& stamp) {
    if (line.Flag != 1) return std::string(kStateUnavailable);
    if (stamp.empty()) return std::string(kStateAvailable);
    // Stamps compare as texts: the same or a later stamp means the charts are current. The
    // record holds a stamp cut to its 8 characters, so the server's is cut the same way;
    // compared whole, a longer stamp would ask for the same charts again at every update.
    return stamp >= platform::FitChars(line.Stamp, kStampWidth) ? std::string(kStateCreated) : std::string(kStateUpdatable);
}

}  // namespace

std::string ChartState(const ServerListLine& line, const DownloadedTable& downloaded) {
    return StateFor(line, FindDownloaded(downloaded, platform::FitChars(SlashedDate8(line.Date8), kDateWidth)));
}

int BuildCurrentList(const fs::path& omakeFolder, std::string_view mode) {
    DownloadedTable downloaded = LoadDownloaded(omakeFolder, mode);
    const fs::path downList = GetListFilePath(omakeFolder, mode, "Down");
    std::string body;
    std::error_code ec;
    if (fs::is_regular_file(downList, ec)) body = platform::ReadFileBytes(downList);
    // Years of downloaded dates against a long list: look each date up once, first entry wins.
    std::unordered_map<std::string, std::string> stamps;
    for (const DownloadedEntry& e : downloaded.Entries) stamps.emplace(e.ChartDate, e.UpdateStamp);
    std::vector<std::string> lines;
    int skipped = 0;
    for (const std::string& text : platform::SplitLines(platform::SjisToUtf8(body))) {
        auto line = ParseServerListLine(text);
        if (!line) {
            if (!platform::TrimBlanks(text).empty()) ++skipped;
            continue;
        }
        auto found = stamps.find(platform::FitChars(SlashedDate8(line->Date8), kDateWidth));
        const std::string state = StateFor(*line, found == stamps.end() ? std::string() : found->second);
        lines.push_back(platform::QuoteField(SlashedDate8(line->Date8)) + "," + platform::QuoteField(state) + "," +
                        std::to_string(line->Count) + "," + platform::QuoteField(line->Stamp));
    }
    platform::WriteSjisLines(GetListFilePath(omakeFolder, mode, "List"), lines);
    SaveDownloaded(omakeFolder, mode, downloaded);
    return skipped;
}

void ResetListTable(platform::Table& table) {
    table.Clear();
    table.SetColumnCount(kListColumns);
    table.SetHeading({"日付", "状態", "数", "更新日"});
}

void ShowCurrentList(const fs::path& omakeFolder, std::string_view mode, platform::Table& table) {
    ResetListTable(table);
    for (const std::string& line : ReadLinesIfAny(ListFilePathOf(omakeFolder, mode, "List"))) {
        auto fields = platform::SplitFields(line);
        if (!fields || fields->size() < 4) continue;
        table.AddRow({(*fields)[0], (*fields)[1], std::to_string(platform::CellToInt16((*fields)[2])), (*fields)[3]});
    }
    std::stable_sort(table.MutableRows().begin(), table.MutableRows().end(),
                     [](const platform::Table::Row& a, const platform::Table::Row& b) { return a[0] > b[0]; });
}

}  // namespace mirolanda::bonus
