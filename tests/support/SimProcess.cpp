#include "support/SimProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/Folders.h"

extern char** environ;

namespace mirolanda::testing {
namespace {

// Reads the child's first line, waiting at most `timeoutMs` in all.
std::string ReadFirstLine(int fd, int timeoutMs) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (line.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[256];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<size_t>(n));
    }
    return line.substr(0, line.find('\n'));
}

// Waits up to `timeoutMs` for the child; true when it was reaped.
bool Reap(pid_t pid, int timeoutMs, int& status) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return true;
        if (r < 0 && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

SimProcess::SimProcess(std::vector<std::string> args) {
    std::string program = (platform::ExecutableFolder() / "mirolanda-sim").string();
    std::vector<std::string> all = {program, "--port", "0"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    int err = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    output_ = pipeFds[0];
    if (err != 0) {
        ::close(output_);
        throw std::runtime_error("cannot start " + program);
    }
    std::string line = ReadFirstLine(output_, 10000);
    if (line.rfind("port ", 0) != 0 || (port_ = std::atoi(line.c_str() + 5)) <= 0) {
        Stop();
        ::close(output_);
        throw std::runtime_error("mirolanda-sim did not report its port (\"" + line + "\")");
    }
}

SimProcess::~SimProcess() {
    Stop();
    if (output_ >= 0) ::close(output_);
}

int SimProcess::Stop() {
    if (pid_ <= 0) return -1;
    int status = 0;
    ::kill(pid_, SIGTERM);
    bool reaped = Reap(pid_, 5000, status);
    if (!reaped) {
        ::kill(pid_, SIGKILL);
        Reap(pid_, 5000, status);
    }
    pid_ = -1;
    if (!reaped) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

RawReply RawGet(int port, const std::string& target, int timeoutMs) {
    RawReply reply;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return reply;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return reply;
    }
    reply.Connected = true;
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) {
            reply.TimedOut = true;
            break;
        }
        char buffer[4096];
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0) {
            reply.Reset = errno == ECONNRESET;
            break;
        }
        if (n == 0) break;
        reply.Bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (reply.Bytes.rfind("HTTP/1.", 0) == 0 && reply.Bytes.size() > 12) reply.Status = std::atoi(reply.Bytes.c_str() + 9);
    size_t head = reply.Bytes.find("\r\n\r\n");
    if (head != std::string::npos) reply.Body = reply.Bytes.substr(head + 4);
    return reply;
}

}  // namespace mirolanda::testing
