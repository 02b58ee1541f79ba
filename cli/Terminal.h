// What a long command shows on stderr: status texts (with a progress bar on a terminal, each
// phase once in a log) and the retries of its requests.
#pragma once

#include <vector>

#include "platform/Progress.h"
#include "platform/Retry.h"

namespace mirolanda::cli {

// Status texts on stderr; on a terminal they share one line with a progress bar.
platform::Progress TerminalProgress(bool tty);

// Retries told on stderr, so a cron log shows why a night took longer.
platform::RetryOptions TerminalRetries(std::vector<platform::Milliseconds> waits);

}  // namespace mirolanda::cli
