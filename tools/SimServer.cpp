#include "tools/SimServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>

#include "tools/Encoding.h"
#include "tools/GifImage.h"
#include "tools/SimPublisher.h"
#include "tools/SimQuotePage.h"

namespace mirolanda::tools {
namespace {

constexpr size_t kWorkerThreads = 16;
// Delays are bounded so that no setting can keep a worker thread, or a test, for ever.
constexpr int kMaxLatencyMs = 60000;
constexpr int kMaxStallSeconds = 600;
constexpr size_t kHugeBytes = 10u << 20;
constexpr size_t kLongHeaderBytes = 100u << 10;

// Counts accepted connections on their way to the worker threads.
class CountingQueue final : public httplib::TaskQueue {
public:
    explicit CountingQueue(std::atomic<long>& accepted) : pool_(kWorkerThreads), accepted_(accepted) {}
    void enqueue(std::function<void()> fn) override {
        ++accepted_;
        pool_.enqueue(std::move(fn));
    }
    void shutdown() override { pool_.shutdown(); }

private:
    httplib::ThreadPool pool_;
    std::atomic<long>& accepted_;
};

int PortOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The server's socket of the connection a request came on: the library does not hand it
// to handlers, so find it among our descriptors by its two ports. −1 when not found.
int FindConnectionSocket(int localPort, int remotePort) {
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return -1;
    int found = -1;
    while (dirent* entry = ::readdir(dir)) {
        char* end = nullptr;
        long fd = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || fd == ::dirfd(dir)) continue;
        struct stat st {};
        if (::fstat(static_cast<int>(fd), &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
        sockaddr_storage local{}, peer{};
        socklen_t localLength = sizeof local, peerLength = sizeof peer;
        if (::getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localLength) != 0) continue;
        if (::getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) continue;
        if (PortOf(local) == localPort && PortOf(peer) == remotePort) {
            found = static_cast<int>(fd);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Sends a TCP reset now: disconnecting an established socket aborts it. The library's own
// close of the descriptor afterwards is harmless.
void ResetSocket(int fd) {
    linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    ::connect(fd, &unspecified, sizeof unspecified);
}

// The value of a query parameter exactly as sent (nothing decoded); nothing when absent.
std::optional<std::string> RawParam(const std::string& target, std::string_view name) {
    size_t question = target.find('?');
    if (question == std::string::npos) return std::nullopt;
    std::string_view query(target);
    query.remove_prefix(question + 1);
    while (!query.empty()) {
        size_t amp = query.find('&');
        std::string_view piece = query.substr(0, amp);
        if (piece.size() > name.size() && piece.substr(0, name.size()) == name && piece[name.size()] == '=') {
            return std::string(piece.substr(name.size() + 1));
        }
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

bool AllDigits(std::string_view text, size_t maxLength) {
    return !text.empty() && text.size() <= maxLength && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string GarbageBytes(uint64_t seed, long request) {
    std::string bytes(4096, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(Mix(seed, static_cast<uint64_t>(request), i) & 0xFF);
    return bytes;
}

// An answer before the transport faults are applied to it.
struct Answer {
    int Status = 200;
    std::string ContentType = "text/html";
    std::string Body;
    bool Shaped = false;  // the builder already cut or thinned the body for the fault
    std::string RetryAfter;
};

Answer JsonAnswer(int status, std::string body) {
    return {status, "application/json", std::move(body), false, {}};
}

// A date parameter of the API: YYYYMMDD or YYYY-MM-DD.
std::optional<platform::Date> ApiDateParam(const std::string& text) {
    return text.size() == 10 ? platform::ParseDashed(text) : platform::ParseYmd(text);
}

Answer Error(int status, const std::string& text) {
    return {status, "text/html", "<html><body>" + std::to_string(status) + " " + text + "</body></html>\n", false, {}};
}

}  // namespace

std::string StatsJson(const SimStats& s) {
    return "{\"requests\":" + std::to_string(s.Requests) + ",\"connections\":" + std::to_string(s.Connections) +
           ",\"accepted\":" + std::to_string(s.Accepted) + ",\"quotes\":" + std::to_string(s.Quotes) +
           ",\"charts\":" + std::to_string(s.Charts) + ",\"publisher\":" + std::to_string(s.Publisher) +
           ",\"faults\":" + std::to_string(s.Faults) + "}\n";
}

struct SimServer::Impl {
    explicit Impl(SimOptions o) : options(std::move(o)), market(options.Market) {}

    SimOptions options;  // Day, LatencyMs, Faults and StallSeconds change under `mutex`
    const Market market;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<long> accepted{0};

    mutable std::mutex mutex;
    SimStats counts;
    std::set<std::string> peers;
    std::set<int> dropped;  // client ports of connections a "drop" closed
    std::deque<std::chrono::steady_clock::time_point> apiRequests;  // the J-Quants requests of the last minute

    struct Turn {
        long Number = 0;
        FaultKind Fault = FaultKind::None;
        platform::Date Day;
        int LatencyMs = 0;
        int StallSeconds = 0;
        int DripMs = 0;
    };

    Turn Count(const httplib::Request& req, long SimStats::*endpoint) {
        std::lock_guard lock(mutex);
        Turn turn{++counts.Requests, FaultKind::None, options.Day, options.LatencyMs, options.StallSeconds, options.DripMs};
        turn.Fault = options.Faults.At(turn.Number);
        ++(counts.*endpoint);
        if (turn.Fault != FaultKind::None) ++counts.Faults;
        peers.insert(req.remote_addr + ":" + std::to_string(req.remote_port));
        counts.Connections = static_cast<long>(peers.size());
        return turn;
    }

    // Answers a counted request: the latency, then the fault of its number, then the body.
    void Serve(const httplib::Request& req, httplib::Response& res, long SimStats::*endpoint,
               const std::function<Answer(const Turn&)>& build) {
        if (Dropped(req.remote_port)) {
            // A request that slipped onto a connection "drop" closed: it never reached the site.
            int fd = FindConnectionSocket(port, req.remote_port);
            if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
            res.status = 500;
            return;
        }
        Turn turn = Count(req, endpoint);
        if (turn.LatencyMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(turn.LatencyMs));
        switch (turn.Fault) {
        case FaultKind::Refuse: {
            int fd = FindConnectionSocket(port, req.remote_port);
            if (fd >= 0) ::shutdown(fd, SHUT_RDWR);  // the answer below then never leaves
            res.status = 500;
            return;
        }
        case FaultKind::Http500: {
            Answer a = Error(500, "Internal Server Error");
            res.status = a.Status;
            res.set_content(a.Body, a.ContentType);
            return;
        }
        case FaultKind::Garbage:
            res.status = 200;
            res.set_content(GarbageBytes(options.Market.Seed, turn.Number), "text/html");
            return;
        case FaultKind::Maintenance:
            // What a site under maintenance, or a captive portal, answers to any address.
            res.status = 200;
            res.set_content(Utf8ToEucJp("<html><head><title>メンテナンス中</title></head><body>\n"
                                        "<p>ただいまシステムメンテナンス中です。しばらくお待ちください。</p>\n"
                                        "</body></html>\n"),
                            "text/html; charset=EUC-JP");
            return;
        case FaultKind::TooMany: {
            Answer a = TooMany();
            res.status = a.Status;
            if (!a.RetryAfter.empty()) res.set_header("Retry-After", a.RetryAfter);
            res.set_content(a.Body, a.ContentType);
            return;
        }
        default:
            break;
        }
        Answer a = build(turn);
        if (turn.Fault == FaultKind::Cut && !a.Shaped) a.Body.resize(a.Body.size() / 2);
        if (turn.Fault == FaultKind::Huge) a.Body += "<!--" + std::string(kHugeBytes, 'x') + "-->\n";
        if (turn.Fault == FaultKind::LongHeader) res.set_header("X-Filler", std::string(kLongHeaderBytes, 'a'));
        if (turn.Fault == FaultKind::Close) res.set_header("Connection", "close");
        res.status = a.Status;
        if (!a.RetryAfter.empty()) res.set_header("Retry-After", a.RetryAfter);
        if (turn.Fault == FaultKind::Drop) {
            // The whole answer, announced as keep-alive, then the connection closed behind it.
            int fd = FindConnectionSocket(port, req.remote_port);
            auto body = std::make_shared<std::string>(std::move(a.Body));
            const int peer = req.remote_port;
            res.set_content_provider(body->size(), a.ContentType,
                                     [this, body, fd, peer](size_t offset, size_t, httplib::DataSink& sink) {
                                         sink.write(body->data() + offset, body->size() - offset);
                                         MarkDropped(peer);
                                         if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
                                         return true;
                                     });
        } else if (turn.Fault == FaultKind::Drip) {
            auto body = std::make_shared<std::string>(std::move(a.Body));
            const auto pause = std::chrono::milliseconds(turn.DripMs);
            res.set_content_provider(body->size(), a.ContentType,
                                     [this, body, pause](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (stopping) return false;
                                         std::this_thread::sleep_for(pause);
                                         return sink.write(body->data() + offset, 1);
                                     });
        } else if (turn.Fault == FaultKind::Reset) {
            int fd = FindConnectionSocket(port, req.remote_port);
            auto body = std::make_shared<std::string>(std::move(a.Body));
            res.set_content_provider(body->size(), a.ContentType,
                                     [body, fd](size_t, size_t, httplib::DataSink& sink) {
                                         sink.write(body->data(), body->size() / 2);
                                         if (fd >= 0) ResetSocket(fd);
                                         return false;
                                     });
        } else if (turn.Fault == FaultKind::Stall) {
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(turn.StallSeconds);
            res.set_content_provider(a.Body.size(), a.ContentType,
                                     [this, until](size_t, size_t, httplib::DataSink&) {
                                         while (!stopping && std::chrono::steady_clock::now() < until)
                                             std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                         return false;
                                     });
        } else {
            res.set_content(a.Body, a.ContentType);
        }
    }

    void MarkDropped(int peer) {
        std::lock_guard lock(mutex);
        dropped.insert(peer);
    }
    bool Dropped(int peer) {
        std::lock_guard lock(mutex);
        return dropped.erase(peer) > 0;
    }

    Answer QuotePage(const httplib::Request& req, const Turn& turn) const {
        auto codes = RawParam(req.target, "s");
        auto layout = RawParam(req.target, "d");
        if (!codes || !layout || *layout != "v2") return Error(400, "Bad Request");
        auto list = SplitCodes(*codes);
        if (list.size() > options.MaxCodes) return Error(400, "Too Many Codes");
        PageShape shape = turn.Fault == FaultKind::Cut     ? PageShape::Cut
                          : turn.Fault == FaultKind::Fewer ? PageShape::Fewer
                                                           : PageShape::Full;
        return {200, "text/html; charset=EUC-JP", QuotePageEucJp(market, turn.Day, list, shape), true, {}};
    }

    Answer ChartImage(const httplib::Request& req, const Turn& turn) const {
        std::string first = req.matches[1];
        std::string link = req.matches[2];
        bool safe = link.size() <= 16 && link.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.") ==
                                             std::string::npos;
        if (safe && AllDigits(link.substr(0, 4), 4) && first == link.substr(0, 1)) {
            const Issue* issue = market.Find(std::stoi(link.substr(0, 4)));
            if (issue && issue->Link == link) return {200, "image/gif", IntradayChartGif(market, *issue, turn.Day), false, {}};
        }
        return Error(404, "Not Found");
    }

    Answer Publisher(const httplib::Request& req, const Turn& turn) const {
        auto request = RawParam(req.target, "REQ");
        std::string mode = RawParam(req.target, "MODE").value_or("");
        if (mode != "Short" && mode != "Long") return Error(400, "Bad MODE");
        if (request == "List") {
            return {200, "text/plain", ListAnswer(PublisherCharts(mode, turn.Day, options.Market.Seed)), false, {}};
        }
        if (request == "Image") {
            std::string date = RawParam(req.target, "DATE").value_or("");
            std::string number = RawParam(req.target, "NUM").value_or("");
            if (!AllDigits(date, 8) || date.size() != 8 || !AllDigits(number, 4)) return Error(400, "Bad Request");
            auto jpeg = ChartJpeg(mode, turn.Day, options.Market.Seed, date, std::stoi(number));
            if (!jpeg) return Error(404, "Not Found");
            Scramble(*jpeg);
            return {200, "application/octet-stream", std::move(*jpeg), false, {}};
        }
        return Error(400, "Bad REQ");
    }

    Answer TooMany() const {
        Answer a = JsonAnswer(429, MessageJson("Too Many Requests"));
        if (options.JQuants.RetryAfterSeconds > 0) a.RetryAfter = std::to_string(options.JQuants.RetryAfterSeconds);
        return a;
    }

    // The key, then the limit of requests a minute; nothing when the request may go on.
    std::optional<Answer> RefuseApi(const httplib::Request& req) {
        if (!req.has_header("x-api-key")) return JsonAnswer(401, MessageJson("Unauthorized"));
        if (req.get_header_value("x-api-key") != options.JQuants.Key) {
            return JsonAnswer(403, MessageJson("The incoming api key is invalid or expired."));
        }
        const int limit = options.JQuants.PerMinute;
        if (limit <= 0) return std::nullopt;
        std::lock_guard lock(mutex);
        const auto now = std::chrono::steady_clock::now();
        while (!apiRequests.empty() && now - apiRequests.front() >= std::chrono::minutes(1)) apiRequests.pop_front();
        if (static_cast<int>(apiRequests.size()) >= limit) return TooMany();
        apiRequests.push_back(now);
        return std::nullopt;
    }

    // The key of the page after `offset` rows of a day's listing, and back.
    std::string PageKey(const platform::Date& day, size_t offset) const {
        const uint64_t check = Mix(options.Market.Seed, static_cast<uint64_t>(platform::DaysFromCivil(day)), offset, 41);
        return platform::FormatYmd(day) + "-" + std::to_string(offset) + "-" + std::to_string(check % 1000000);
    }
    std::optional<size_t> PageOffset(const httplib::Request& req, const platform::Date& day) const {
        auto key = RawParam(req.target, "pagination_key");
        if (!key) return 0;
        const size_t first = key->find('-'), second = key->find('-', first + 1);
        if (first != 8 || second == std::string::npos || !AllDigits(key->substr(first + 1, second - first - 1), 9)) {
            return std::nullopt;
        }
        const size_t offset = std::stoul(key->substr(first + 1, second - first - 1));
        if (PageKey(day, offset) != *key) return std::nullopt;
        return offset;
    }

    // /v2/equities/bars/daily?date=… and /v2/equities/master?date=…: a day's listing page by page.
    Answer ApiListing(const httplib::Request& req, const Turn& turn, bool bars) {
        if (auto refused = RefuseApi(req)) return *refused;
        auto date = RawParam(req.target, "date");
        std::optional<platform::Date> day = date ? ApiDateParam(*date) : (bars ? std::nullopt : std::optional(turn.Day));
        if (!day) return JsonAnswer(400, MessageJson("This API requires at least 1 parameter as follows; date, code"));
        if (options.JQuants.PlanFrom && platform::DaysFromCivil(*day) < platform::DaysFromCivil(*options.JQuants.PlanFrom)) {
            return JsonAnswer(400, PlanRefusalJson(*options.JQuants.PlanFrom, turn.Day));
        }
        auto offset = PageOffset(req, *day);
        if (!offset) return JsonAnswer(400, MessageJson("invalid pagination_key"));
        const size_t pageSize = std::max<size_t>(options.JQuants.PageSize, 1);
        const std::string next = PageKey(*day, *offset + pageSize);
        if (!bars) return JsonAnswer(200, MasterPageJson(market, *day, *offset, pageSize, next));
        // A day not yet out (the plan's delay), in the future or without trading has no bars.
        const long served = platform::DaysFromCivil(turn.Day) - options.JQuants.DelayDays;
        if (platform::DaysFromCivil(*day) > served || HolidayDivision(*day, options.JQuants) == 0) {
            return JsonAnswer(200, "{\"data\":[]}");
        }
        return JsonAnswer(200, BarsPageJson(market, *day, *offset, pageSize, next));
    }

    // /v2/markets/calendar?from=…&to=…, at most about a year and a half at once.
    Answer ApiCalendar(const httplib::Request& req) {
        if (auto refused = RefuseApi(req)) return *refused;
        auto from = ApiDateParam(RawParam(req.target, "from").value_or(""));
        auto to = ApiDateParam(RawParam(req.target, "to").value_or(""));
        if (!from || !to || platform::DaysFromCivil(*to) < platform::DaysFromCivil(*from) ||
            platform::DaysFromCivil(*to) - platform::DaysFromCivil(*from) > 550) {
            return JsonAnswer(400, MessageJson("from and to must be a range of dates"));
        }
        return JsonAnswer(200, CalendarJson(*from, *to, options.JQuants));
    }

    // /control?reset=1&date=yyyymmdd&faults=kind@list;…&latency-ms=N&stall-seconds=N&drip-ms=N
    std::string Control(const httplib::Request& req, SimServer& owner) {
        if (RawParam(req.target, "reset") == "1") owner.ResetCounts();
        if (auto date = RawParam(req.target, "date")) {
            auto day = platform::ParseYmd(*date);
            if (!day) throw std::invalid_argument("bad date \"" + *date + "\"");
            owner.SetDay(*day);
        }
        if (auto faults = RawParam(req.target, "faults")) owner.SetFaults(FaultPlan::Parse(*faults));
        if (auto ms = RawParam(req.target, "latency-ms")) {
            if (!AllDigits(*ms, 6)) throw std::invalid_argument("bad latency-ms");
            owner.SetLatencyMs(std::stoi(*ms));
        }
        if (auto seconds = RawParam(req.target, "stall-seconds")) {
            if (!AllDigits(*seconds, 6)) throw std::invalid_argument("bad stall-seconds");
            owner.SetStallSeconds(std::stoi(*seconds));
        }
        if (auto ms = RawParam(req.target, "drip-ms")) {
            if (!AllDigits(*ms, 6)) throw std::invalid_argument("bad drip-ms");
            owner.SetDripMs(std::stoi(*ms));
        }
        return "ok\n";
    }
};

SimServer::SimServer(SimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {
    SetLatencyMs(impl_->options.LatencyMs);
    SetStallSeconds(impl_->options.StallSeconds);
    SetDripMs(impl_->options.DripMs);
}

SimServer::~SimServer() { Stop(); }

int SimServer::Start(int port) {
    if (impl_->thread.joinable()) throw std::runtime_error("the simulator is already running");
    // A client that goes away while we write must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    Impl& s = *impl_;
    s.server.new_task_queue = [&s] { return new CountingQueue(s.accepted); };
    s.server.set_keep_alive_max_count(1000000);
    s.server.set_keep_alive_timeout(30);
    // Head and body go out in separate writes; without this each answer waits for the
    // client's delayed acknowledgement (about 40 ms).
    s.server.set_tcp_nodelay(true);
    s.server.Get("/q", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::Quotes, [&](const Impl::Turn& t) { return s.QuotePage(req, t); });
    });
    s.server.Get(R"(/chart/1d/([^/]+)/([^/]+)\.gif)", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::Charts, [&](const Impl::Turn& t) { return s.ChartImage(req, t); });
    });
    s.server.Get("/cgi-bin/Mirolanda.cgi", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::Publisher, [&](const Impl::Turn& t) { return s.Publisher(req, t); });
    });
    s.server.Get("/v2/equities/bars/daily", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::JQuants, [&](const Impl::Turn& t) { return s.ApiListing(req, t, true); });
    });
    s.server.Get("/v2/equities/master", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::JQuants, [&](const Impl::Turn& t) { return s.ApiListing(req, t, false); });
    });
    s.server.Get("/v2/markets/calendar", [&s](const httplib::Request& req, httplib::Response& res) {
        s.Serve(req, res, &SimStats::JQuants, [&](const Impl::Turn&) { return s.ApiCalendar(req); });
    });
    s.server.Get("/stats", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(StatsJson(Stats()), "application/json");
    });
    s.server.Get("/control", [this, &s](const httplib::Request& req, httplib::Response& res) {
        try {
            res.set_content(s.Control(req, *this), "text/plain");
        } catch (const std::exception& e) {
            res.status = 400;
            res.set_content(std::string(e.what()) + "\n", "text/plain");
        }
    });

    int bound = port == 0 ? s.server.bind_to_any_port("127.0.0.1")
                          : (s.server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    s.port = bound;
    s.thread = std::thread([&s] { s.server.listen_after_bind(); });
    // Stop() before the loop runs would find nothing to stop and then wait for ever.
    while (!s.server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void SimServer::Stop() {
    if (!impl_->thread.joinable()) return;
    impl_->stopping = true;
    impl_->server.stop();
    impl_->thread.join();
}

int SimServer::Port() const { return impl_->port; }

const Market& SimServer::GetMarket() const { return impl_->market; }

SimStats SimServer::Stats() const {
    std::lock_guard lock(impl_->mutex);
    SimStats stats = impl_->counts;
    stats.Accepted = impl_->accepted;
    return stats;
}

void SimServer::SetDay(const platform::Date& day) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.Day = day;
}

void SimServer::SetFaults(FaultPlan faults) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.Faults = std::move(faults);
}

void SimServer::SetLatencyMs(int ms) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.LatencyMs = std::clamp(ms, 0, kMaxLatencyMs);
}

void SimServer::SetStallSeconds(int seconds) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.StallSeconds = std::clamp(seconds, 0, kMaxStallSeconds);
}

void SimServer::SetDripMs(int ms) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.DripMs = std::clamp(ms, 0, kMaxLatencyMs);
}

void SimServer::ResetCounts() {
    std::lock_guard lock(impl_->mutex);
    impl_->counts = SimStats{};
    impl_->peers.clear();
    impl_->dropped.clear();
    impl_->apiRequests.clear();
    impl_->accepted = 0;
}

}  // namespace mirolanda::tools
