#include "support/CliRun.h"

#include <fcntl.h>
#include <signal.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Folders.h"
#include "support/TempFolder.h"

namespace mirolanda::testing {

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& scratch,
            const std::map<std::string, std::string>& env, const std::string& input = {}) {
    const auto cli = platform::ExecutableFolder() / "mirolanda-cli";
    const auto outPath = scratch / "cli.out", errPath = scratch / "cli.err", inPath = scratch / "cli.in";
    WriteAll(inPath, input);
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open(inPath.c_str(), O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const auto& [name, value] : env) {
            if (value.empty()) ::unsetenv(name.c_str());
            else ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        std::string program = cli.string();
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

CliResult Collect(int status, const std::filesystem::path& scratch) {
    const auto outPath = scratch / "cli.out", errPath = scratch / "cli.err";
    CliResult result;
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.Out = ReadAll(outPath);
    result.Err = ReadAll(errPath);
    return result;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                 const std::map<std::string, std::string>& env, const std::string& input) {
    const pid_t pid = Spawn(args, scratch, env, input);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return Collect(status, scratch);
}

CliChild StartCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                  const std::map<std::string, std::string>& env) {
    return CliChild{Spawn(args, scratch, env), scratch};
}

CliResult CliChild::Finish() {
    int status = 0;
    ::waitpid(Pid, &status, 0);
    return Collect(status, Scratch);
}

CliResult RunCliKilledWhen(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                           const std::function<bool()>& when) {
    const pid_t pid = Spawn(args, scratch, {});
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (when()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        ::usleep(1000);
    }
    return Collect(status, scratch);
}

}  // namespace mirolanda::testing
