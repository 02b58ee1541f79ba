#include "platform/RunLog.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"

namespace fs = std::filesystem;

namespace mirolanda::platform {
namespace {

const char* const kHidden = "***";

// A value on one line of the log: TABs and line ends would split or shift its fields.
std::string OneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return out.empty() ? "-" : out;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : " / ") + item;
    return OneLine(out);
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

fs::path Generation(const fs::path& programFolder, int n) {
    std::string name(kRunLogName);
    if (n > 0) name += "." + std::to_string(n);
    return programFolder / name;
}

void Rotate(const fs::path& programFolder) {
    std::error_code ec;
    fs::remove(Generation(programFolder, kRunLogGenerations), ec);
    for (int n = kRunLogGenerations - 1; n >= 0; --n) {
        if (fs::exists(Generation(programFolder, n), ec)) fs::rename(Generation(programFolder, n), Generation(programFolder, n + 1), ec);
    }
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string FormatLogTime(const DateTime& time) {
    return std::to_string(time.Day.Year) + "-" + TwoDigits(time.Day.Month) + "-" + TwoDigits(time.Day.Day) + " " +
           TwoDigits(time.Hour) + ":" + TwoDigits(time.Minute) + ":" + TwoDigits(time.Second);
}

std::string RedactSecrets(std::string_view text) {
    // Built once: the patterns are fixed, and compiling them is the costly part.
    static const std::regex userInfo(R"re(([^\s:@/()"'=]+):([^\s@/()"']+)@)re");
    static const std::regex pair(
        R"re(\b((?:api|access|id|refresh|x-api)?[_-]?(?:key|token)|apikey|password|passwd|pwd|secret|sign)=([^&\s"']+))re",
        std::regex::icase);
    static const std::regex member(R"re("([A-Za-z_]*(?:key|token|password|secret)[A-Za-z_]*)"\s*:\s*"[^"]*")re",
                                   std::regex::icase);
    static const std::regex authorization(R"re((authorization\s*:\s*(?:(?:bearer|basic|token)\s+)?)[^\s"']+)re",
                                          std::regex::icase);
    std::string out(text);
    out = std::regex_replace(out, userInfo, std::string("$1:") + kHidden + "@");
    out = std::regex_replace(out, pair, std::string("$1=") + kHidden);
    out = std::regex_replace(out, member, std::string("\"$1\":\"") + kHidden + "\"");
    out = std::regex_replace(out, authorization, std::string("$1") + kHidden);
    return out;
}

std::string FormatRunRecord(const RunRecord& r) {
    std::string line = FormatLogTime(r.Start) + "\t" + FormatLogTime(r.End) + "\t" + OneLine(r.Command) +
                       "\tsource=" + OneLine(r.Source) + "\toutcome=" + OneLine(r.Outcome) +
                       "\trequests=" + std::to_string(r.Requests) + "\tretries=" + std::to_string(r.Retries) +
                       "\tstored=" + std::to_string(r.Stored) + "\tskipped=" + Joined(r.Skipped) +
                       "\tnotes=" + Joined(r.Notes) + "\terror=" + OneLine(r.Error);
    return RedactSecrets(line);
}

void AppendRunRecord(const fs::path& programFolder, const RunRecord& record) {
    AppendRunLogLine(programFolder, FormatRunRecord(record));
}

void AppendRunLogLine(const fs::path& programFolder, std::string_view line) {
    EnsureFolder(programFolder);
    const std::string text = RedactSecrets(line) + "\n";
    const fs::path path = Generation(programFolder, 0);
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!ec && size > 0 && size + text.size() > kRunLogRotateBytes) Rotate(programFolder);
    // One write with O_APPEND: a window and a cron job logging at once never mix their lines.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) throw FileError(path, "ログファイルを開けません(" + ErrnoText(errno) + ")");
    const ssize_t written = ::write(fd, text.data(), text.size());
    const int err = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(text.size())) throw FileError(path, "ログファイルに書き込めません(" + ErrnoText(err) + ")");
}

std::vector<std::string> ReadRunLogTail(const fs::path& programFolder, size_t count) {
    std::vector<std::string> lines;
    for (int n = 0; n <= kRunLogGenerations && lines.size() < count; ++n) {
        std::vector<std::string> older = ReadLines(Generation(programFolder, n));
        older.insert(older.end(), lines.begin(), lines.end());
        lines = std::move(older);
    }
    if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
}

}  // namespace mirolanda::platform
