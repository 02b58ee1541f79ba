// Runs mirolanda-cli (from the test executable's folder) as a child process with extra
// environment variables, and collects its exit status, stdout and stderr.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace mirolanda::testing {

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                 const std::map<std::string, std::string>& env = {});

}  // namespace mirolanda::testing
