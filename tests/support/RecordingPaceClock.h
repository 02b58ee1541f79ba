// A pace clock for tests: time moves only when a wait is recorded, so paced requests and 429
// waits run at once and the waits can be asserted. Test-only.
#pragma once

#include <functional>
#include <vector>

#include "platform/PacedFetcher.h"

namespace mirolanda::testing {

class RecordingPaceClock final : public platform::PaceClock {
public:
    int64_t now = 0;
    std::vector<int64_t> waits;
    std::function<void()> duringWait;  // runs inside each wait, before time moves
    bool interrupted = false;

    int64_t NowMs() override { return now; }
    bool Wait(int64_t ms) override {
        waits.push_back(ms);
        if (duringWait) duringWait();
        if (interrupted) return false;
        now += ms;
        return true;
    }
    void Interrupt() override { interrupted = true; }
    void Rearm() override { interrupted = false; }
};

}  // namespace mirolanda::testing
