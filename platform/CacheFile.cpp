#include "platform/CacheFile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/SjisText.h"
#include "platform/TextFields.h"

namespace fs = std::filesystem;

namespace mirolanda::platform {
namespace {

constexpr uintmax_t kMaxCacheBytes = 8u << 20;

}  // namespace

std::optional<std::vector<std::vector<std::string>>> ReadCache(const fs::path& path, const std::string& firstLine,
                                                              size_t fields) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kMaxCacheBytes || ec) return std::nullopt;
    std::vector<std::string> lines;
    try {
        lines = SplitLines(ReadFileBytes(path));
    } catch (const Error&) {
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

void WriteCache(const fs::path& folder, const std::string& name, const std::string& text) {
    try {
        EnsureFolder(folder);
        ReplaceFile(folder / name, text);
    } catch (const FileError&) {
    }
}

}  // namespace mirolanda::platform
