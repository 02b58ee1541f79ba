// The pure rules of the automatic daily download, kept free of Qt so they are tested as
// tables: whether a tick starts the download, and the start-time check and normalisation.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Date.h"

namespace mirolanda::app {

struct AutoTick {
    bool AutoOn = false;        // `ChkAuto` ticked
    int DownloadState = 0;      // the network commands' state
    std::string LastAuto;       // "LastAutoDownLoad"
    std::string DataDate;       // the data date now, "yyyymmdd"
    std::string StartTime;      // the start-time box as it reads
    platform::DateTime Now;
    // After a failed automatic try for this data date: no new try before this time.
    std::optional<platform::DateTime> RetryAt;
};

// True when this tick must start the download: automatic mode on, no command running (the
// outcome of the last manual command does not matter), the data date not yet downloaded
// automatically, the start time reached and the wait after a failed try over. A start time
// before 09:00 belongs to the night after the data date, so on the data date itself it waits
// for midnight.
bool IsAutoDownloadDue(const AutoTick& tick);

// How long the automation waits after its n-th failed try (n ≥ 1) of one data date: 5, 10,
// 20, 40 … minutes, at most two hours, so a site that is down is not hammered all evening.
int RetryDelayMinutes(int failures);

// The start time as "hh:nn", or nothing when it is not valid: four digits "hhnn", or hours
// and minutes around a colon (at most two minute digits are read), hours 0 to 24, minutes
// 0 to 59. Letters, empty parts and signs are refused.
std::optional<std::string> NormaliseStartTime(std::string_view text);

}  // namespace mirolanda::app
