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
    // The command's last word, its outcome («Internet Error(…)», the day's remarks): a driver that
    // reports the outcome itself (the CLI, one line per failure) takes it here; unset, it is a
    // status text like any other (the window's status line keeps showing it).
    std::function<void(const std::string&)> Outcome;

    void Show(const std::string& text) const {
        if (Status) Status(text);
    }
    void ShowOutcome(const std::string& text) const {
        if (Outcome) Outcome(text);
        else Show(text);
    }
    void RunPending() const {
        if (Pump) Pump();
    }
    void Step(int done, int total) const {
        if (Advance) Advance(done, total);
    }
};

}  // namespace mirolanda::platform
