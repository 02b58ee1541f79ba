// The market simulator for end-to-end tests: mirolanda-sim started as a child process on a
// free loopback port and stopped again, and a raw HTTP GET that shows what a fault did to a
// connection. Tests that want the server in their own process use tools::SimServer instead.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace mirolanda::testing {

class SimProcess {
public:
    // Runs `mirolanda-sim --port 0 args…` from the folder of the running test executable
    // and waits (up to ten seconds) for its "port N" line. Throws std::runtime_error.
    explicit SimProcess(std::vector<std::string> args = {});
    // Stops the simulator if it still runs (SIGTERM, then SIGKILL after five seconds).
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    pid_t Pid() const { return pid_; }

    // Sends SIGTERM and reaps the process; returns its exit status, or 128 + the signal
    // that ended it, or -1 when it had to be killed.
    int Stop();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    int port_ = 0;
};

// What one GET brought back, byte for byte, and how the connection ended.
struct RawReply {
    bool Connected = false;
    std::string Bytes;      // everything received, the head included
    int Status = 0;         // from the status line; 0 when no status line came
    std::string Body;       // what followed the head
    bool Reset = false;     // the server reset the connection
    bool TimedOut = false;  // nothing arrived for the timeout
};

// One "Connection: close" GET of `target` (path and query) on 127.0.0.1:port, read until the
// server closes or resets the connection or falls silent for timeoutMs.
RawReply RawGet(int port, const std::string& target, int timeoutMs = 5000);

}  // namespace mirolanda::testing
