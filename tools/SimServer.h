// The simulator's HTTP server on 127.0.0.1: the quote site's quote pages and intraday chart
// GIFs, the publisher's lists and scrambled JPEGs, the J-Quants API (/v2/equities/bars/daily,
// /v2/equities/master, /v2/markets/calendar: the key, pages, a per-minute limit), fault
// injection by request number, and the /stats and /control endpoints. Runs in a thread of its own; the mirolanda-sim program
// and in-process tests both use it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/Date.h"
#include "tools/FaultPlan.h"
#include "tools/JQuantsApi.h"
#include "tools/Market.h"

namespace mirolanda::tools {

struct SimOptions {
    MarketOptions Market;
    platform::Date Day;      // the market date the pages show
    int LatencyMs = 0;       // delay before each counted answer (at most a minute)
    FaultPlan Faults;
    int StallSeconds = 60;   // how long a stalled answer stays silent (at most ten minutes)
    int DripMs = 1000;       // the pause between two bytes of a dripped answer (at most a minute)
    size_t MaxCodes = 200;   // more codes in one quote request are answered with 400
    JQuantsSimOptions JQuants;  // the J-Quants API under /v2
};

struct SimStats {
    long Requests = 0;     // counted requests (every request except /stats and /control)
    long Connections = 0;  // TCP connections that carried counted requests
    long Accepted = 0;     // every TCP connection accepted, /stats and /control ones included
    long Quotes = 0;       // requests of /q
    long Charts = 0;       // requests of /chart/…
    long Publisher = 0;    // requests of /cgi-bin/Mirolanda.cgi
    long JQuants = 0;      // requests of the J-Quants API (/v2/…)
    long Faults = 0;       // answers that a fault replaced or spoiled
};

// {"requests":…,"connections":…,…} on one line.
std::string StatsJson(const SimStats& stats);

class SimServer {
public:
    explicit SimServer(SimOptions options);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds 127.0.0.1:port (0 picks a free port) and serves from a thread of its own.
    // Returns the port. Throws std::runtime_error when the port cannot be bound.
    int Start(int port = 0);
    // Ends stalled answers, closes the connections and joins the thread. Idempotent.
    void Stop();
    int Port() const;

    const Market& GetMarket() const;
    SimStats Stats() const;

    // What /control changes while the server runs.
    void SetDay(const platform::Date& day);
    void SetFaults(FaultPlan faults);
    void SetLatencyMs(int ms);
    void SetStallSeconds(int seconds);
    void SetDripMs(int ms);
    // Zeroes the counters and restarts the request numbering that faults refer to.
    void ResetCounts();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace mirolanda::tools
