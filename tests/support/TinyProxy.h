// tinyproxy, a common forwarding proxy that closes the client's connection after each answer,
// run on a free loopback port for one test with its own configuration in a scratch folder.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace mirolanda::testing {

class TinyProxy {
public:
    // True when the tinyproxy program is installed (scripts/setup-debian.sh installs it).
    static bool Available();
    // Starts it in the foreground on 127.0.0.1 and waits (up to ten seconds) until it accepts
    // connections. Throws std::runtime_error.
    explicit TinyProxy(const std::filesystem::path& scratch);
    ~TinyProxy();  // SIGTERM, then SIGKILL after five seconds
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;

    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    int Port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace mirolanda::testing
