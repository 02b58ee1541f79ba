#include "platform/FetchFailure.h"

#include <curl/curl.h>

namespace mirolanda::platform {
namespace {

std::string WithStatus(const char* words, long status) { return std::string(words) + " (HTTP " + std::to_string(status) + ")"; }

std::string HttpReason(long status) {
    if (status >= 500) return WithStatus("サーバーエラー", status);
    if (status == 404 || status == 410) return WithStatus("ページが見つかりません", status);
    if (status == 407) return WithStatus("プロキシサーバーの認証が必要です", status);
    if (status == 401 || status == 403) return WithStatus("アクセスが拒否されました", status);
    return WithStatus("要求が受け付けられませんでした", status);
}

const char* CurlReason(int code) {
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: return "アドレスが正しくありません";
    case CURLE_COULDNT_RESOLVE_PROXY: return "プロキシサーバーが見つかりません";
    case CURLE_COULDNT_RESOLVE_HOST: return "サーバーが見つかりません";
    case CURLE_COULDNT_CONNECT: return "接続できません";
    case CURLE_OPERATION_TIMEDOUT: return "応答がありません";
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: return "接続が切れました";
    case CURLE_WRITE_ERROR:
    case CURLE_FILESIZE_EXCEEDED: return "応答が大きすぎます";
    case CURLE_TOO_MANY_REDIRECTS: return "転送先が多すぎます";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return "安全な接続を確立できません";
    default: return nullptr;
    }
}

}  // namespace

bool WasCancelled(const FetchResult& result) {
    return !result.Ok && (result.CurlCode == CURLE_ABORTED_BY_CALLBACK || result.Description == kCancelledDescription);
}

std::string FailureReason(const FetchResult& result) {
    if (WasCancelled(result)) return "中止しました";
    if (!result.Reason.empty()) return result.Reason;
    if (result.CurlCode != CURLE_OK) {
        if (const char* reason = CurlReason(result.CurlCode)) return reason;
    } else if (result.Status >= 400) {
        return HttpReason(result.Status);
    }
    return "通信エラー";
}

std::string InternetErrorText(const FetchResult& result) { return "Internet Error(" + FailureReason(result) + ")"; }

}  // namespace mirolanda::platform
