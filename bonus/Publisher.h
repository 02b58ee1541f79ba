// The publisher's server: the list request and the image request with their query texts,
// receiving a list into the bonus list files, and one scrambled image into a JPEG file.
// Used by the window's bonus tab on a worker thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "bonus/Omake.h"
#include "platform/HttpClient.h"
#include "platform/Progress.h"
#include "platform/Table.h"

namespace mirolanda::bonus {

struct PublisherSetup {
    std::string PublisherUrl;  // base such as "http://127.0.0.1:8787"
    int ConnectionMode = 0;    // "ConnectionMode" as stored
    std::string Proxy;         // server + ":" + port, used by mode 2
    std::string User;          // as typed; blanks at both ends are dropped
    std::string Sign;
    std::filesystem::path OmakeFolder;
};

// "USER=…&SIGN=…&REQ=List&MODE=…", user and sign trimmed, nothing escaped.
std::string PublisherListQuery(std::string_view user, std::string_view sign, std::string_view mode);
// "USER=…&SIGN=…&REQ=Image&MODE=…&DATE=yyyymmdd&NUM=n".
std::string PublisherImageQuery(std::string_view user, std::string_view sign, std::string_view mode,
                                std::string_view date8, int number);
// base (without trailing '/') + "/cgi-bin/Mirolanda.cgi?" + query.
std::string PublisherAddress(std::string_view base, std::string_view query);

// True when the bytes start as a JPEG file does (FF D8).
bool IsJpeg(std::string_view bytes);

struct ListOutcome {
    bool Ok = false;
    std::string Status;  // on failure "Internet Error(…)"
    std::string Detail;  // on failure the HTTP library's own text
    bool Cancelled = false;  // the failure was the user's cancel
    int SkippedLines = 0;  // server lines not in the list's form
};

// Fetches the mode's list, stores it as "DownList.txt", rebuilds "CurrentList.txt" and fills
// `table` from it. A failed request changes no file and leaves the table alone. Status texts
// "インターネット接続", "センター接続中", "リスト保存中 " go to progress, then "" or the failure.
ListOutcome RequestNewList(platform::Fetcher& client, const PublisherSetup& setup, std::string_view mode,
                           platform::Table& table, const platform::Progress& progress = {});

// Fetches image `number` of a chart date ("yyyymmdd"), unscrambles it and replaces the file at
// `path` with it, whatever status the server answered with. A failed request leaves the file
// untouched and gives Size 0. A date that is not eight digits is not requested.
ImageFetch ImageDownload(platform::Fetcher& client, const PublisherSetup& setup, std::string_view mode,
                         std::string_view date8, int number, const std::filesystem::path& path,
                         const platform::Progress& progress = {});

}  // namespace mirolanda::bonus
