#include "support/LoopbackServer.h"

#include <httplib.h>

#include <cstdlib>
#include <stdexcept>

namespace mirolanda::testing {

LoopbackServer::LoopbackServer() : http_(std::make_unique<httplib::Server>()) {
    // The library's default closes a kept-alive connection after 5 requests; the client's
    // connection reuse is what the tests look at, so allow many.
    http_->set_keep_alive_max_count(100000);
    // Answers go out as headers and body in two writes; without this each answer waits
    // for the client's delayed acknowledgement (about 40 ms).
    http_->set_tcp_nodelay(true);
    http_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        ++requests_;
        std::lock_guard<std::mutex> lock(mutex_);
        clientPorts_.insert(req.remote_port);
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

LoopbackServer::~LoopbackServer() {
    Stop();
}

int LoopbackServer::Start() {
    port_ = http_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
    thread_ = std::thread([this] {
        http_->listen_after_bind();
        finished_ = true;
    });
    // stop() only takes effect once the accept loop runs; wait for it so Stop() never hangs.
    while (!http_->is_running() && !finished_) std::this_thread::yield();
    return port_;
}

void LoopbackServer::Stop() {
    if (!thread_.joinable()) return;
    http_->stop();
    thread_.join();
}

std::string LoopbackServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

long LoopbackServer::Connections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<long>(clientPorts_.size());
}

namespace {

// Splits "http://host:port/rest" into its parts; false for anything else.
bool SplitTarget(const std::string& target, std::string& host, int& port, std::string& rest) {
    const std::string scheme = "http://";
    if (target.compare(0, scheme.size(), scheme) != 0) return false;
    const size_t slash = target.find('/', scheme.size());
    const std::string authority = target.substr(scheme.size(), slash - scheme.size());
    rest = slash == std::string::npos ? "/" : target.substr(slash);
    const size_t colon = authority.rfind(':');
    host = authority.substr(0, colon);
    port = colon == std::string::npos ? 80 : std::atoi(authority.c_str() + colon + 1);
    return true;
}

}  // namespace

ForwardingProxy::ForwardingProxy() {
    server_.Http().Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        std::string host, rest;
        int port = 0;
        // Never reach beyond this machine, whatever the request names.
        if (!SplitTarget(req.target, host, port, rest) || (host != "127.0.0.1" && host != "localhost")) {
            res.status = 502;
            return;
        }
        httplib::Client upstream(host, port);
        upstream.set_url_encode(false);  // forward the path and query byte for byte
        auto answer = upstream.Get(rest);
        if (!answer) {
            res.status = 502;
            return;
        }
        ++forwarded_;
        res.status = answer->status;
        res.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
    });
}

int ForwardingProxy::Start() {
    return server_.Start();
}

std::string ForwardingProxy::Address() const {
    return "127.0.0.1:" + std::to_string(server_.Port());
}

}  // namespace mirolanda::testing
