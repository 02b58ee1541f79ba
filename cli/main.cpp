// mirolanda-cli: the program's commands without a window, for a home server's cron, for
// scripts and for benchmarks. Reads the same settings file and folders as the window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <vector>

#include "cli/Commands.h"
#include "cli/WriterLock.h"
#include "platform/Errors.h"
#include "platform/Numbers.h"
#include "settings/CommandOptions.h"
#include "settings/Secrets.h"

namespace {

using namespace mirolanda;
using namespace mirolanda::cli;

// Every sub-command. Add a new one here and declare it in Commands.h.
const std::vector<const Command*> kCommands = {
    &kConvertCommand,
    &kParseCommand,
    &kDataDateCommand,
    &kHolidayCommand,
    &kCalendarCommand,
    &kSettingCommand,
    &kHoldingsCommand,
    &kFileCommand,
    &kIssueCommand,
    &kDownloadCommand,
    &kLogCommand,
    &kDbCommand,
    &kSplitCommand,
    &kExportCommand,
    &kBackfillCommand,
    &kChartCommand,
    &kMoversCommand,
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: mirolanda-cli [--settings FILE] [--program-folder DIR] [--now \"YYYY-MM-DD HH:MM\"] "
                 "[--wait SECONDS] COMMAND [ARGS]\n       mirolanda-cli --help | --version\n\ncommands:\n");
    for (const Command* c : kCommands) {
        const char* end = std::strchr(c->usage, '\n');
        std::fprintf(out, "  %.*s\n", end ? static_cast<int>(end - c->usage) : static_cast<int>(std::strlen(c->usage)),
                     c->usage);
    }
    std::fprintf(out,
                 "\n--now is Tokyo time (UTC+9), as is the clock whatever the machine's time zone; \"@SECONDS\"\n"
                 "gives the moment in seconds since 1970-01-01 00:00 UTC instead.\n"
                 "'mirolanda-cli COMMAND --help' describes one command.\n"
                 "A command that writes the program's data (download, file) waits while another one writes\n"
                 "(the window, the timer's download), up to --wait seconds (default 600).\n"
                 "Exit status: 0 done, 1 failed, 2 wrong arguments, 3 a holding is marked (holdings),\n"
                 "4 done but some history files were left alone because they are damaged (download, file),\n"
                 "5 another writer kept the data folder for the whole --wait; nothing was written.\n");
}

struct GlobalOptions {
    std::optional<std::filesystem::path> settings;
    std::optional<std::filesystem::path> programFolder;
    std::optional<platform::DateTime> now;
    std::chrono::seconds wait{600};
    size_t next = 1;  // index of the command name
};

GlobalOptions ParseGlobals(int argc, char** argv) {
    GlobalOptions o;
    while (o.next < static_cast<size_t>(argc)) {
        std::string_view arg = argv[o.next];
        auto value = [&]() -> std::string {
            if (o.next + 1 >= static_cast<size_t>(argc)) throw UsageError{std::string(arg) + " needs a value"};
            o.next += 2;
            return argv[o.next - 1];
        };
        if (arg == "--settings") {
            o.settings = value();
        } else if (arg == "--program-folder") {
            o.programFolder = value();
        } else if (arg == "--now") {
            std::string text = value();
            o.now = platform::ParseDateTime(text);
            if (!o.now) throw UsageError{"--now takes \"YYYY-MM-DD HH:MM\" (Tokyo time) or @SECONDS, not \"" + text + "\""};
        } else if (arg == "--wait") {
            std::string text = value();
            const long seconds = platform::LeadingInteger(text, -1);
            if (seconds < 0 || seconds > 86400 || std::to_string(seconds) != text)
                throw UsageError{"--wait takes 0 to 86400 seconds, not \"" + text + "\""};
            o.wait = std::chrono::seconds(seconds);
        } else {
            break;
        }
    }
    return o;
}

CliContext MakeContext(const GlobalOptions& o) {
    CliContext context;
    context.programFolder = o.programFolder ? *o.programFolder : platform::ProgramFolder(platform::ExecutableFolder());
    context.store = std::make_unique<settings::Store>(o.settings, context.programFolder);
    context.secrets = std::make_unique<settings::Secrets>(*context.store, settings::DesktopKeychain());
    if (o.now) {
        context.clock = std::make_unique<platform::FixedClock>(*o.now);
    } else {
        context.clock = std::make_unique<platform::SystemClock>();
    }
    if (auto broken = context.store->RepairIfBroken(context.clock->Now())) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", broken->Message().c_str());
    }
    context.folders = settings::FoldersFrom(context.Settings());
    context.lockWait = o.wait;
    return context;
}

// The desktop's secret store answers through Qt's event loop; a command that paints needs
// QtGui's fonts, which the offscreen platform gives without a display.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const Command* c : kCommands) {
            if (c->draws && std::strcmp(argv[i], c->name) == 0) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                return std::make_unique<QGuiApplication>(argc, argv);
            }
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const auto app = MakeApplication(argc, argv);
    const Command* command = nullptr;
    try {
        GlobalOptions globals = ParseGlobals(argc, argv);
        if (globals.next >= static_cast<size_t>(argc) || std::strcmp(argv[globals.next], "--help") == 0) {
            PrintUsage(globals.next >= static_cast<size_t>(argc) ? stderr : stdout);
            return globals.next >= static_cast<size_t>(argc) ? 2 : 0;
        }
        std::string_view name = argv[globals.next];
        if (name == "--version") {
            std::printf("mirolanda-cli %s\n", MIROLANDA_VERSION);
            return 0;
        }
        for (const Command* c : kCommands) {
            if (name == c->name) command = c;
        }
        if (!command) throw UsageError{"unknown command: " + std::string(name)};
        Args args(argv + globals.next + 1, argv + argc);
        for (const auto& a : args) {
            if (a == "--help") {
                std::fputs(command->usage, stdout);
                std::fputc('\n', stdout);
                return 0;
            }
        }
        CliContext context = MakeContext(globals);
        return command->run(context, args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", e.message.c_str());
        if (command) std::fprintf(stderr, "usage: mirolanda-cli %s\n", command->usage);
        else PrintUsage(stderr);
        return 2;
    } catch (const platform::FolderBusy& e) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", e.what());
        return kExitBusy;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mirolanda-cli: %s\n", e.what());
        return 1;
    }
}
