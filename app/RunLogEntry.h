// The window's line in the run log for each network or filing command: the record begun when
// the command starts, ended and written when it ends. A log that cannot be written never
// undoes the command's work; the window says so in the status line's detail instead.
#pragma once

#include <string>

#include "app/WindowServices.h"
#include "platform/RunLog.h"

namespace mirolanda::app {

inline platform::RunRecord BeginRunRecord(const WindowServices& services, std::string command) {
    platform::RunRecord record;
    record.Start = services.Clock().Now();
    record.Command = std::move(command);
    return record;
}

// Writes the record with the present time as its end; false when the log cannot be written.
inline bool EndRunRecord(const WindowServices& services, platform::RunRecord record) {
    record.End = services.Clock().Now();
    try {
        platform::AppendRunRecord(services.ProgramFolder(), record);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace mirolanda::app
