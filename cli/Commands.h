// The sub-commands of mirolanda-cli, one file each.
#pragma once

#include "cli/CliContext.h"

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

}  // namespace mirolanda::cli
