// The sub-commands of mirolanda-cli, one file each.
#pragma once

#include "cli/CliContext.h"
#include "platform/RunLog.h"

namespace mirolanda::cli {

// Each sub-command's entry; main.cpp lists them in its command table.
extern const Command kConvertCommand;   // convert SOURCE TARGET
extern const Command kParseCommand;     // parse FILE [--link]
extern const Command kFileCommand;      // file CSV...
extern const Command kIssueCommand;     // issue CODE
extern const Command kDataDateCommand;  // datadate
extern const Command kHolidayCommand;   // holiday yyyy/mm/dd
extern const Command kCalendarCommand;  // calendar YYYY
extern const Command kDownloadCommand;  // download [--no-csv] [--no-file]
extern const Command kSettingCommand;   // setting KEY [VALUE]
extern const Command kHoldingsCommand;  // holdings
extern const Command kLogCommand;       // log [--lines N]
extern const Command kDbCommand;        // db import|check|rebuild|splits
extern const Command kSplitCommand;     // split CODE yyyy/mm/dd RATIO
extern const Command kExportCommand;    // export CODE [--from] [--to] [--adjusted] [--period]
extern const Command kChartCommand;     // chart CODE --png FILE [...]
extern const Command kBackfillCommand;  // backfill --from yyyy/mm/dd [--to yyyy/mm/dd]
extern const Command kMoversCommand;    // movers RANKING [--top N] [--date yyyy/mm/dd]

// Exit status of a command that did its work but left some history files alone (damaged);
// 0 is complete success, 1 failure, 2 wrong arguments, 3 a marked holding.
inline constexpr int kExitSkipped = 4;

// Appends the record to the run log with the present time as its end; a log that cannot be
// written is reported on stderr and does not fail the command.
void LogRun(const CliContext& context, platform::RunRecord record);

}  // namespace mirolanda::cli
