// mirolanda-cli download: the whole daily download without a window.
#include <cstdio>
#include <unistd.h>

#include "calendar/Calender.h"
#include "cli/Commands.h"
#include "cli/HolidayList.h"
#include "platform/HttpClient.h"
#include "platform/Numbers.h"
#include "quotes/DownloadCommand.h"
#include "settings/CommandOptions.h"

namespace mirolanda::cli {
namespace {

// Status texts on stderr; on a terminal they share one line with a progress bar.
platform::Progress TerminalProgress(bool tty) {
    struct State {
        int done = 0, total = 1;
        std::string text;
    };
    auto state = std::make_shared<State>();
    auto draw = [state] {
        constexpr int kWidth = 30;
        const int filled = state->total > 0 ? state->done * kWidth / state->total : 0;
        std::fprintf(stderr, "\r\033[K[%s%s] %s", std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), '.').c_str(), state->text.c_str());
        std::fflush(stderr);
    };
    platform::Progress progress;
    if (tty) {
        progress.Status = [state, draw](const std::string& text) {
            state->text = text;
            draw();
        };
        progress.Advance = [state, draw](int done, int total) {
            state->done = done;
            state->total = total;
            draw();
        };
    } else {
        // In a log, each phase once per pass: a text whose phase (the part before its first
        // blank or parenthesis) was printed already in this pass is left out.
        progress.Status = [state](const std::string& text) {
            const std::string phase = text.substr(0, text.find_first_of(" ("));
            if (text.empty() || state->text.find("\n" + phase + "\n") != std::string::npos) return;
            if (phase == "ダウンロード－開始") state->text.clear();
            state->text += "\n" + phase + "\n";
            std::fprintf(stderr, "%s\n", text.c_str());
        };
    }
    return progress;
}

int Run(CliContext& context, const Args& args) {
    bool noCsv = false, noFile = false;
    platform::HttpLimits limits;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--no-csv") {
            noCsv = true;
        } else if (a == "--no-file") {
            noFile = true;
        } else if (a == "--stall-timeout" && i + 1 < args.size()) {
            const long seconds = platform::LeadingInteger(args[++i], -1);
            if (seconds < 1 || seconds > 3600) throw UsageError{"--stall-timeout takes 1 to 3600 seconds"};
            limits.StallTimeoutMs = seconds * 1000;
        } else {
            throw UsageError{"unknown option: " + a};
        }
    }

    const platform::Table holidays = LoadHolidayList(context.programFolder);

    quotes::DownloadOptions options = settings::DownloadOptionsFrom(context.Settings());
    options.AutoCsvSave = options.AutoCsvSave && !noCsv;
    options.AutoDataSave = options.AutoDataSave && !noFile;
    options.DataDate = [&] { return calendar::GetDataDate(holidays, *context.clock); };

    const bool tty = ::isatty(STDERR_FILENO) != 0;
    platform::Table grid;
    platform::HttpClient client(limits);
    quotes::DownloadOutcome outcome = quotes::RunDownload(grid, client, options, TerminalProgress(tty));
    if (tty) std::fprintf(stderr, "\r\033[K");
    if (!outcome.Ok) {
        // The reason in Japanese, then the HTTP library's own words for whoever reads the log.
        std::fprintf(stderr, "%s%s%s\n", outcome.Status.c_str(), outcome.Detail.empty() ? "" : ": ", outcome.Detail.c_str());
        return 1;
    }
    std::printf("%s\t%d\n", outcome.CsvPath ? outcome.CsvPath->c_str() : "-", outcome.Issues);
    return 0;
}

}  // namespace

const Command kDownloadCommand = {
    "download",
    "download [--no-csv] [--no-file] [--stall-timeout SECONDS]\n"
    "  Downloads every issue from 1000 to 9999 from the quote site of the settings\n"
    "  (\"QuoteSiteUrl\"), with the completeness check, then saves the daily CSV of the data\n"
    "  date (\"AutoCsvSave\", unless --no-csv) and files it into the history files\n"
    "  (\"AutoDataSave\", unless --no-file). Prints the CSV path and the issue count.\n"
    "  --stall-timeout: give up on a request when no byte arrives for this long (default 30).\n"
    "  Exit 0 on success, 1 with the error text on failure.",
    Run,
};

}  // namespace mirolanda::cli
