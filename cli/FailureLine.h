// How mirolanda-cli tells a failure: exactly one line on stderr, «mirolanda-cli: <what failed>:
// <detail>», so that a cron mail or the journal holds one line per failure.
#pragma once

#include <string>
#include <string_view>

namespace mirolanda::cli {

// «mirolanda-cli: what: detail» (the detail left out when empty), line breaks and tabs inside
// either turned into blanks, without the final line break.
std::string FailureLine(std::string_view what, std::string_view detail = {});
// Prints FailureLine on stderr.
void PrintFailure(std::string_view what, std::string_view detail = {});

// The detail of a failed request: the HTTP library's own words, or, when it is the simulator's
// default address that refuses the connection, that mirolanda-sim is not running there.
std::string RequestFailureDetail(std::string_view detail);

}  // namespace mirolanda::cli
