// The window's line in the run log for each network or filing command: the record begun when
// the command starts, ended and written when it ends. A log that cannot be written never
// undoes the command's work nor hides its outcome in the status line: that line is lost.
#pragma once

#include <string>

#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"
#include "platform/RunLog.h"

namespace mirolanda::app {

inline platform::RunRecord BeginRunRecord(const WindowServices& services, std::string command) {
    platform::RunRecord record;
    record.Start = services.Clock().Now();
    record.Command = std::move(command);
    return record;
}

// Writes the record with the present time as its end.
inline void EndRunRecord(const WindowServices& services, platform::RunRecord record) {
    record.End = services.Clock().Now();
    try {
        platform::AppendRunRecord(services.ProgramFolder(), record);
    } catch (const std::exception&) {
        // The command's work stands and its outcome stays in the status line.
    }
}

// Ends a network command's record: the outcome as the domain describes it, or the error that
// stopped it, with the requests and retries its fetcher counted.
template <typename Outcome, typename Counter>
void EndNetworkRecord(const WindowServices& services, platform::RunRecord record, const Outcome& outcome,
                      std::exception_ptr error, const Counter& fetcher) {
    if (error) {
        record.Outcome = "failed";
        record.Error = ErrorText(error).toStdString();
    } else {
        DescribeInRunRecord(outcome, record);
    }
    record.Requests = fetcher.Requests();
    record.Retries = fetcher.Retries();
    EndRunRecord(services, std::move(record));
}

}  // namespace mirolanda::app
