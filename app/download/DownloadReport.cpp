#include "app/download/DownloadReport.h"

#include <charconv>

#include "app/widgets/QtText.h"
#include "platform/Date.h"

namespace mirolanda::app {
namespace {

constexpr std::string_view kFailed = "NG";
constexpr size_t kWhenSize = 16;  // "yyyy/mm/dd hh:nn"

}  // namespace

std::string FormatLastDownload(const LastDownload& last) {
    if (last.Ok) return last.When + " " + std::to_string(last.Issues);
    return last.When + " " + std::string(kFailed) + (last.Failure.empty() ? "" : " " + last.Failure);
}

std::optional<LastDownload> ParseLastDownload(std::string_view stored) {
    if (stored.size() < kWhenSize + 2 || stored[kWhenSize] != ' ') return std::nullopt;
    for (size_t i = 0; i < kWhenSize; ++i) {
        const char c = stored[i];
        const bool ok = i == 4 || i == 7 ? c == '/' : i == 10 ? c == ' ' : i == 13 ? c == ':' : c >= '0' && c <= '9';
        if (!ok) return std::nullopt;
    }
    LastDownload last;
    last.When = std::string(stored.substr(0, kWhenSize));
    const std::string_view rest = stored.substr(kWhenSize + 1);
    if (rest.substr(0, kFailed.size()) == kFailed) {
        last.Failure = std::string(rest.size() > kFailed.size() + 1 ? rest.substr(kFailed.size() + 1) : "");
        return last;
    }
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), last.Issues);
    if (ec != std::errc() || end != rest.data() + rest.size() || last.Issues < 0) return std::nullopt;
    last.Ok = true;
    return last;
}

QString GroupedCount(int count) {
    QString digits = QString::number(count < 0 ? -count : count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

QString DownloadDoneText(int issues, bool saved) {
    return GroupedCount(issues) + (saved ? QStringLiteral("銘柄を保存しました") : QStringLiteral("銘柄をダウンロードしました"));
}

QString StatusAreaText(std::string_view dataDate, const std::optional<LastDownload>& last) {
    QString text;
    if (auto day = platform::ParseYmd(dataDate)) text = QStringLiteral("データ日付 ") + Q(platform::FormatSlashed(*day));
    if (!last) return text;
    if (!text.isEmpty()) text += QStringLiteral("　");
    text += QStringLiteral("最終ダウンロード ") + Q(last->When) + QLatin1Char(' ');
    if (last->Ok) return text + GroupedCount(last->Issues) + QStringLiteral("銘柄");
    return text + QStringLiteral("失敗") + (last->Failure.empty() ? QString() : QStringLiteral(" (") + Q(last->Failure) + QLatin1Char(')'));
}

}  // namespace mirolanda::app
