#include "platform/RunLog.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
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

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'; }
bool EndsValue(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '&' || c == '"' || c == '\'' || c == ';' || c == ','; }

// Names whose values are secrets: API keys, tokens, passwords, the publisher's sign.
bool IsSecretName(std::string_view name) {
    const std::string n = Lower(name);
    const auto has = [&n](std::string_view part) { return n.find(part) != std::string::npos; };
    return (n.size() >= 3 && n.compare(n.size() - 3, 3, "key") == 0) || has("token") || has("passw") || has("secret") ||
           n == "pwd" || n == "sign";
}

// Replaces text[from, to) by the mark; returns the index just after it.
size_t Hide(std::string& text, size_t from, size_t to) {
    text.replace(from, to - from, kHidden);
    return from + std::string_view(kHidden).size();
}

// "user:password@host" (in an address or alone): the password goes.
void HideUserInfoPasswords(std::string& text) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        size_t start = at;
        while (start > 0 && !std::isspace(static_cast<unsigned char>(text[start - 1])) &&
               std::string_view("\"'()<>/@=").find(text[start - 1]) == std::string_view::npos)
            --start;
        const size_t colon = text.find(':', start);
        if (colon == std::string::npos || colon <= start || colon + 1 >= at) continue;
        at = Hide(text, colon + 1, at);
    }
}

// name=value with a secret name: the value goes.
void HideSecretPairs(std::string& text) {
    for (size_t eq = text.find('='); eq != std::string::npos; eq = text.find('=', eq + 1)) {
        size_t start = eq;
        while (start > 0 && IsNameChar(text[start - 1])) --start;
        if (start == eq || !IsSecretName(std::string_view(text).substr(start, eq - start))) continue;
        size_t end = eq + 1;
        while (end < text.size() && !EndsValue(text[end])) ++end;
        if (end > eq + 1) eq = Hide(text, eq + 1, end) - 1;
    }
}

// "name": "value" in JSON with a secret name: the value goes.
void HideSecretMembers(std::string& text) {
    for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open + 1)) {
        const size_t close = text.find('"', open + 1);
        if (close == std::string::npos) return;
        size_t colon = close + 1;
        while (colon < text.size() && text[colon] == ' ') ++colon;
        if (colon >= text.size() || text[colon] != ':' ||
            !IsSecretName(std::string_view(text).substr(open + 1, close - open - 1))) {
            open = close;  // the next quoted text starts after this one
            continue;
        }
        size_t quote = colon + 1;
        while (quote < text.size() && text[quote] == ' ') ++quote;
        if (quote >= text.size() || text[quote] != '"') {
            open = close;
            continue;
        }
        const size_t end = text.find('"', quote + 1);
        if (end == std::string::npos) return;
        open = Hide(text, quote + 1, end);  // the closing quote of the value
    }
}

// "Authorization: Bearer credentials": the credentials go.
void HideAuthorization(std::string& text) {
    const std::string lower = Lower(text);
    size_t from = 0;
    std::string result;
    for (size_t at = lower.find("authorization"); at != std::string::npos; at = lower.find("authorization", at + 1)) {
        size_t i = at + 13;
        while (i < text.size() && text[i] == ' ') ++i;
        if (i >= text.size() || text[i] != ':') continue;
        ++i;
        while (i < text.size() && text[i] == ' ') ++i;
        for (std::string_view scheme : {"bearer ", "basic ", "token "}) {
            if (lower.compare(i, scheme.size(), scheme) == 0) i += scheme.size();
        }
        while (i < text.size() && text[i] == ' ') ++i;
        size_t end = i;
        while (end < text.size() && !EndsValue(text[end])) ++end;
        if (end == i) continue;
        result.append(text, from, i - from);
        result += kHidden;
        from = end;
        at = end - 1;
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
}

}  // namespace

std::string FormatLogTime(const DateTime& time) {
    return std::to_string(time.Day.Year) + "-" + TwoDigits(time.Day.Month) + "-" + TwoDigits(time.Day.Day) + " " +
           TwoDigits(time.Hour) + ":" + TwoDigits(time.Minute) + ":" + TwoDigits(time.Second);
}

std::string RedactSecrets(std::string_view text) {
    std::string out(text);
    HideUserInfoPasswords(out);
    HideSecretPairs(out);
    HideSecretMembers(out);
    HideAuthorization(out);
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

std::optional<RunLogLine> ParseRunLogLine(std::string_view line) {
    std::vector<std::string_view> cells;
    for (size_t from = 0;;) {
        const size_t tab = line.find('\t', from);
        cells.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
        if (tab == std::string_view::npos) break;
        from = tab + 1;
    }
    static constexpr std::string_view kKeys[] = {"source=", "outcome=", "requests=", "retries=",
                                                 "stored=", "skipped=", "notes=", "error="};
    if (cells.size() != 3 + std::size(kKeys)) return std::nullopt;
    std::string values[std::size(kKeys)];
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        if (!cells[3 + i].starts_with(kKeys[i])) return std::nullopt;
        values[i] = std::string(cells[3 + i].substr(kKeys[i].size()));
    }
    return RunLogLine{std::string(cells[0]), std::string(cells[1]), std::string(cells[2]), values[0], values[1],
                      values[2], values[3], values[4], values[5], values[6], values[7]};
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
