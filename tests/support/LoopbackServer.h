// A cpp-httplib server on 127.0.0.1 and an ephemeral port, served from a thread for the
// length of a test, and a tiny forwarding HTTP proxy built on it. Test-only helpers.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace mirolanda::testing {

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();  // stops the server and joins its thread
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Register handlers here before Start().
    httplib::Server& Http() { return *http_; }

    // Binds 127.0.0.1 on a free port and serves from a thread. Connections are accepted
    // from the moment it returns, so no waiting is needed. Returns the port.
    int Start();
    // Handlers still blocked inside must be released before this is called.
    void Stop();

    int Port() const { return port_; }
    std::string BaseUrl() const;  // "http://127.0.0.1:<port>"

    // Requests that reached the server, and the distinct TCP connections they came on.
    long Requests() const { return requests_.load(); }
    long Connections() const;

private:
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
    int port_ = 0;
    std::atomic<long> requests_{0};
    mutable std::mutex mutex_;
    std::set<int> clientPorts_;
};

// An HTTP proxy on loopback that forwards absolute-form GET requests to 127.0.0.1 only
// (anything else gets 502), passing status and body through, and counts what it forwarded.
class ForwardingProxy {
public:
    ForwardingProxy();
    int Start();
    std::string Address() const;  // "127.0.0.1:<port>", the form a proxy setting takes
    long Forwarded() const { return forwarded_.load(); }
    LoopbackServer& Server() { return server_; }

private:
    std::atomic<long> forwarded_{0};
    LoopbackServer server_;
};

}  // namespace mirolanda::testing
