// Why a fetch failed, in words a user reads: the status line shows "Internet Error(接続できません)"
// and the HTTP library's own text stays for a tooltip and the log. Every network command
// composes its failure text here, so the same failure reads the same everywhere.
#pragma once

#include <string>
#include <string_view>

#include "platform/HttpClient.h"

namespace mirolanda::platform {

// True when the fetch ended because it was cancelled.
bool WasCancelled(const FetchResult& result);

// The Japanese reason of a failed fetch: the client's own Reason when it gives one, else
// 「接続できません」「応答がありません」「サーバーエラー (HTTP 500)」… from libcurl's code or the
// status; 「通信エラー」 when nothing more is known.
std::string FailureReason(const FetchResult& result);

// "Internet Error(" + FailureReason + ")", the status text of a failed network command.
std::string InternetErrorText(const FetchResult& result);

}  // namespace mirolanda::platform
