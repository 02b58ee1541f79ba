#include "bonus/Publisher.h"

#include <algorithm>
#include <limits>

#include "bonus/Scramble.h"
#include "platform/AtomicFile.h"
#include "platform/FetchFailure.h"
#include "platform/HttpClient.h"
#include "platform/TextFields.h"

namespace mirolanda::bonus {

namespace {

std::string Trimmed(std::string_view text) { return std::string(platform::TrimBlanks(text)); }

void Connect(platform::Fetcher& client, const PublisherSetup& setup, const platform::Progress& progress) {
    progress.Show("インターネット接続");
    client.SetAccess(setup.ConnectionMode, setup.Proxy);
}

}  // namespace

std::string PublisherListQuery(std::string_view user, std::string_view sign, std::string_view mode) {
    return "USER=" + Trimmed(user) + "&SIGN=" + Trimmed(sign) + "&REQ=List&MODE=" + std::string(mode);
}

std::string PublisherImageQuery(std::string_view user, std::string_view sign, std::string_view mode,
                                std::string_view date8, int number) {
    return "USER=" + Trimmed(user) + "&SIGN=" + Trimmed(sign) + "&REQ=Image&MODE=" + std::string(mode) + "&DATE=" +
           std::string(date8) + "&NUM=" + std::to_string(number);
}

std::string PublisherAddress(std::string_view base, std::string_view query) {
    return std::string(platform::TrimTrailingSlashes(base)) + "/cgi-bin/Mirolanda.cgi?" + std::string(query);
}

bool IsJpeg(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8;
}

ListOutcome RequestNewList(platform::Fetcher& client, const PublisherSetup& setup, std::string_view mode,
                           platform::Table& table, const platform::Progress& progress) {
    ListOutcome outcome;
    Connect(client, setup, progress);
    const std::string url = PublisherAddress(setup.PublisherUrl, PublisherListQuery(setup.User, setup.Sign, mode));
    progress.Show("センター接続中");
    platform::FetchResult answer = client.Fetch(url);
    if (!answer.Ok) {
        outcome.Status = platform::InternetErrorText(answer);
        outcome.Detail = answer.Description;
        outcome.Cancelled = platform::WasCancelled(answer);
        progress.Show(outcome.Status);
        return outcome;
    }
    progress.Show("リスト保存中 ");
    SaveDownList(setup.OmakeFolder, mode, answer.Body);
    outcome.SkippedLines = BuildCurrentList(setup.OmakeFolder, mode);
    ShowCurrentList(setup.OmakeFolder, mode, table);
    progress.Show("");
    outcome.Ok = true;
    return outcome;
}

ImageFetch ImageDownload(platform::Fetcher& client, const PublisherSetup& setup, std::string_view mode,
                         std::string_view date8, int number, const std::filesystem::path& path,
                         const platform::Progress& progress) {
    ImageFetch fetch;
    if (!IsDate8(date8)) {
        progress.Show("日付が正しくないため要求しません");
        return fetch;
    }
    Connect(client, setup, progress);
    progress.Show("センター接続中 (" + SlashedDate8(date8) + "-" + std::to_string(number) + ")");
    const std::string url =
        PublisherAddress(setup.PublisherUrl, PublisherImageQuery(setup.User, setup.Sign, mode, date8, number));
    platform::FetchResult answer = client.Fetch(url);
    if (!answer.Ok) {
        progress.Show(platform::InternetErrorText(answer));
        return fetch;
    }
    progress.Show("チャート保存中");
    ScrambleBytes(answer.Body);
    platform::ReplaceFile(path, answer.Body);
    fetch.Ok = true;
    fetch.Jpeg = IsJpeg(answer.Body);
    const size_t size = answer.Body.empty() ? 0 : answer.Body.size() - 1;
    fetch.Size = static_cast<int32_t>(std::min<size_t>(size, std::numeric_limits<int32_t>::max()));
    progress.Show("");
    return fetch;
}

}  // namespace mirolanda::bonus
