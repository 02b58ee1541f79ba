// The texts that tell the user what the last download did: the count of issues it stored for
// the status line, and the status-bar area with the data date and the last download's
// outcome, which the settings keep across restarts.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace mirolanda::app {

struct LastDownload {
    std::string When;     // "yyyy/mm/dd hh:nn"
    int Issues = 0;       // issues downloaded, when it went through
    bool Ok = false;
    std::string Failure;  // the status text of a failed one
};

// The stored form: "2026/12/07 16:05 3600" or "2026/12/07 16:05 NG Internet Error(…)".
std::string FormatLastDownload(const LastDownload& last);
// Nothing for a text that is not in the stored form (an old or hand-edited file).
std::optional<LastDownload> ParseLastDownload(std::string_view stored);

// A count with digit grouping: 3600 → "3,600".
QString GroupedCount(int count);
// The status line after a download: «3,600銘柄を保存しました» when the day's files were
// written, «3,600銘柄をダウンロードしました» when nothing was saved.
QString DownloadDoneText(int issues, bool saved);
// «データ日付 2026/12/07　最終ダウンロード 2026/12/07 16:05 3,600銘柄», or «… 失敗 (…)».
QString StatusAreaText(std::string_view dataDate, const std::optional<LastDownload>& last);

}  // namespace mirolanda::app
