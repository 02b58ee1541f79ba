// mirolanda-sim: plays the quote site and the publisher's server on 127.0.0.1 for tests and
// the demo. Prints "port N" as its first line once it listens.
#include <algorithm>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/Date.h"
#include "tools/SimServer.h"

namespace {

using namespace mirolanda;

const char* const kUsage =
    "usage: mirolanda-sim [--port N] [--issues N] [--seed N] [--date yyyymmdd] [--latency-ms N]\n"
    "                     [--fault KIND --fault-at LIST]... [--stall-seconds N] [--drip-ms N] [--max-codes N]\n"
    "                     [--max-seconds N]\n"
    "                     [--letter-issues N] [--jquants-key KEY] [--jquants-page-size N] [--jquants-per-minute N]\n"
    "                     [--jquants-retry-after SECONDS] [--jquants-delay-days N] [--jquants-plan-from YYYYMMDD]\n"
    "\n"
    "Serves on 127.0.0.1 only:\n"
    "  /q?s=CODE+CODE…&d=v2                     quote page (EUC-JP), at most --max-codes codes (default 200)\n"
    "  /chart/1d/C/LINK.gif                      intraday chart image of an issue\n"
    "  /cgi-bin/Mirolanda.cgi?…&REQ=List|Image…  the publisher's lists and scrambled images\n"
    "  /v2/equities/bars/daily?date=…            the J-Quants API (key in x-api-key, default mirolanda-test-key;\n"
    "  /v2/equities/master?date=…                 pages of --jquants-page-size rows, default 1000; 429 past\n"
    "  /v2/markets/calendar?from=…&to=…           --jquants-per-minute requests a minute, 0 = no limit)\n"
    "  /stats                                    request and connection counts as JSON\n"
    "  /control?reset=1&date=…&faults=KIND@LIST;…&latency-ms=N&stall-seconds=N&drip-ms=N\n"
    "\n"
    "--port 0 (the default) picks a free port. --date defaults to today. KIND is one of refuse, reset,\n"
    "stall, http500, garbage, maintenance (a maintenance notice as a 200 page), cut, fewer, close (answers \"Connection: close\" and closes), drop (closes\n"
    "a keep-alive connection after the answer without saying so), drip (a byte per --drip-ms, default\n"
    "1000), huge (a 10 MB page), longheader (a 100 KB header line), http429; LIST numbers requests\n"
    "from 1: \"5\", \"3,7\", \"10-12\", \"20-\".\n"
    "--letter-issues: issues with letters in their codes (130A, 131A, …; default 30), served by the API only.\n"
    "--jquants-delay-days: days before the market date's bars are served (as a plan's delay).\n"
    "--jquants-plan-from: the plan's first date; an earlier date is refused (400) as the API refuses it.\n"
    "--fault KIND@LIST is short for --fault KIND --fault-at LIST. Stops on SIGTERM or SIGINT, or after\n"
    "--max-seconds.\n";

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) { gStop = 1; }

struct Usage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int Number(const std::string& option, const std::string& text) {
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 0) throw Usage(option + " takes a number, not \"" + text + "\"");
    return value;
}

platform::Date Today() {
    return platform::SystemClock().Now().Day;
}

struct Settings {
    tools::SimOptions sim;
    int port = 0;
    int maxSeconds = 0;
};

Settings Parse(int argc, char** argv) {
    Settings s;
    s.sim.Day = Today();
    std::string pendingFault;  // a --fault still waiting for its --fault-at
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (arg.rfind("--", 0) != 0) throw Usage("unexpected argument " + arg);
        if (i + 1 >= argc) throw Usage(arg + " needs a value");
        std::string value = argv[++i];
        if (arg == "--port") {
            s.port = Number(arg, value);
        } else if (arg == "--issues") {
            s.sim.Market.Issues = Number(arg, value);
        } else if (arg == "--seed") {
            s.sim.Market.Seed = static_cast<uint64_t>(Number(arg, value));
        } else if (arg == "--date") {
            auto day = platform::ParseYmd(value);
            if (!day) throw Usage("--date takes yyyymmdd, not \"" + value + "\"");
            s.sim.Day = *day;
        } else if (arg == "--latency-ms") {
            s.sim.LatencyMs = Number(arg, value);
        } else if (arg == "--stall-seconds") {
            s.sim.StallSeconds = Number(arg, value);
        } else if (arg == "--drip-ms") {
            s.sim.DripMs = Number(arg, value);
        } else if (arg == "--max-codes") {
            s.sim.MaxCodes = static_cast<size_t>(Number(arg, value));
        } else if (arg == "--letter-issues") {
            s.sim.Market.LetterIssues = Number(arg, value);
        } else if (arg == "--jquants-key") {
            s.sim.JQuants.Key = value;
        } else if (arg == "--jquants-page-size") {
            s.sim.JQuants.PageSize = static_cast<size_t>(std::max(Number(arg, value), 1));
        } else if (arg == "--jquants-per-minute") {
            s.sim.JQuants.PerMinute = Number(arg, value);
        } else if (arg == "--jquants-retry-after") {
            s.sim.JQuants.RetryAfterSeconds = Number(arg, value);
        } else if (arg == "--jquants-delay-days") {
            s.sim.JQuants.DelayDays = Number(arg, value);
        } else if (arg == "--jquants-plan-from") {
            s.sim.JQuants.PlanFrom = platform::ParseYmd(value);
            if (!s.sim.JQuants.PlanFrom) throw Usage("--jquants-plan-from takes YYYYMMDD");
        } else if (arg == "--max-seconds") {
            s.maxSeconds = Number(arg, value);
        } else if (arg == "--fault") {
            if (!pendingFault.empty()) throw Usage("--fault " + pendingFault + " has no --fault-at");
            if (value.find('@') != std::string::npos) {
                s.sim.Faults.Append(tools::FaultPlan::Parse(value));
            } else if (!tools::ParseFaultKind(value)) {
                throw Usage("unknown fault \"" + value + "\"");
            } else {
                pendingFault = value;
            }
        } else if (arg == "--fault-at") {
            if (pendingFault.empty()) throw Usage("--fault-at needs a --fault before it");
            s.sim.Faults.Add(*tools::ParseFaultKind(pendingFault), value);
            pendingFault.clear();
        } else {
            throw Usage("unknown option " + arg);
        }
    }
    if (!pendingFault.empty()) throw Usage("--fault " + pendingFault + " has no --fault-at");
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Settings settings = Parse(argc, argv);
        struct sigaction action {};
        action.sa_handler = OnSignal;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);

        tools::SimServer server(settings.sim);
        int port = server.Start(settings.port);
        std::printf("port %d\n", port);
        std::fflush(stdout);

        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(settings.maxSeconds);
        while (!gStop && (settings.maxSeconds == 0 || std::chrono::steady_clock::now() < deadline)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        server.Stop();
        return 0;
    } catch (const Usage& e) {
        std::fprintf(stderr, "mirolanda-sim: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mirolanda-sim: %s\n", e.what());
        return 1;
    }
}
