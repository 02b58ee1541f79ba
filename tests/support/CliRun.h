// Runs mirolanda-cli (from the test executable's folder) as a child process with extra
// environment variables, and collects its exit status, stdout and stderr.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mirolanda::testing {

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// `input` is the program's standard input (empty: an empty one).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                 const std::map<std::string, std::string>& env = {}, const std::string& input = {});

// A child started and not yet waited for, so that several run at once (each with its own
// scratch folder). Finish waits for it.
struct CliChild {
    int Pid = -1;
    std::filesystem::path Scratch;
    CliResult Finish();
};
CliChild StartCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                  const std::map<std::string, std::string>& env = {});

// The same, but the child is killed with SIGKILL as soon as `when` says so (asked every
// millisecond or so while it runs); Status is then 128 + 9, or its exit status when it ended first.
CliResult RunCliKilledWhen(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                           const std::function<bool()>& when);

}  // namespace mirolanda::testing
