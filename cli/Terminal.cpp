#include "cli/Terminal.h"

#include <cstdio>
#include <memory>
#include <string>

namespace mirolanda::cli {

platform::Progress TerminalProgress(bool tty) {
    struct State {
        int done = 0, total = 1;
        std::string text;
    };
    auto state = std::make_shared<State>();
    auto draw = [state] {
        constexpr int kWidth = 30;
        const int filled = state->total > 0 ? state->done * kWidth / state->total : 0;
        std::fprintf(stderr, "\r\033[K[%s%s] %s", std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), '.').c_str(), state->text.c_str());
        std::fflush(stderr);
    };
    platform::Progress progress;
    // The outcome is told once at the end, a failure as one «mirolanda-cli:» line.
    progress.Outcome = [](const std::string&) {};
    if (tty) {
        progress.Status = [state, draw](const std::string& text) {
            state->text = text;
            draw();
        };
        progress.Advance = [state, draw](int done, int total) {
            state->done = done;
            state->total = total;
            draw();
        };
    } else {
        // In a log, each phase once per pass: a text whose phase (the part before its first
        // blank or parenthesis) was printed already in this pass is left out.
        progress.Status = [state](const std::string& text) {
            const std::string phase = text.substr(0, text.find_first_of(" ("));
            if (text.empty() || state->text.find("\n" + phase + "\n") != std::string::npos) return;
            if (phase == "ダウンロード－開始") state->text.clear();
            state->text += "\n" + phase + "\n";
            std::fprintf(stderr, "%s\n", text.c_str());
        };
    }
    return progress;
}

platform::RetryOptions TerminalRetries(std::vector<platform::Milliseconds> waits) {
    platform::RetryOptions options;
    options.Waits = std::move(waits);
    options.Retrying = [](int retry, platform::Milliseconds wait, const platform::FetchResult& failure) {
        std::fprintf(stderr, "再試行 %d (%lld秒後): %s\n", retry, static_cast<long long>(wait.count() / 1000),
                     failure.Description.c_str());
    };
    return options;
}

}  // namespace mirolanda::cli
