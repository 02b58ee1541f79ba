// How long-running domain commands report to whoever drives them: a status text (the
// window's status line, the CLI's stderr) and a pump that lets pending window events run.
#pragma once

#include <functional>
#include <string>

namespace mirolanda::platform {

struct Progress {
    std::function<void(const std::string&)> Status;
    std::function<void()> Pump;
    // Steps done out of a total, for a progress bar.
    std::function<void(int done, int total)> Advance;

    void Show(const std::string& text) const {
        if (Status) Status(text);
    }
    void RunPending() const {
        if (Pump) Pump();
    }
    void Step(int done, int total) const {
        if (Advance) Advance(done, total);
    }
};

}  // namespace mirolanda::platform
