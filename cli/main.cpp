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
#include "cli/FailureLine.h"
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

// The synopsis: the first line of a usage, the line an argument error is followed by.
std::string_view Synopsis(const char* usage) {
    const std::string_view text(usage);
    return text.substr(0, text.find('\n'));
}

constexpr const char* kProgramSynopsis =
    "[--settings FILE] [--program-folder DIR] [--now \"YYYY-MM-DD HH:MM\"] [--wait SECONDS] COMMAND [ARGS]";

// The help's usage lines, "コマンド:" and one synopsis per command: the man page and the bash
// completion read the commands from here.
void PrintUsage(std::FILE* out) {
    // The second line lines up under the first: "使い方: " is eight columns wide.
    std::fprintf(out, "%smirolanda-cli %s\n        mirolanda-cli --help | --version\n\n%s\n", kUsagePrefix,
                 kProgramSynopsis, kCommandsHeading);
    for (const Command* c : kCommands) {
        const std::string_view synopsis = Synopsis(c->usage);
        std::fprintf(out, "  %.*s\n", static_cast<int>(synopsis.size()), synopsis.data());
    }
    std::fprintf(out,
                 "\n--now は東京の時刻 (UTC+9) です。時計もコンピューターのタイムゾーンによらず東京の時刻です。\n"
                 "\"@SECONDS\" は 1970-01-01 00:00 UTC からの秒数で時刻を指定します。\n"
                 "'mirolanda-cli COMMAND --help' でコマンドごとの説明を表示します。\n"
                 "プログラムのデータを書き込むコマンド (download, file) は、ほかの処理 (ウィンドウ、タイマーの\n"
                 "ダウンロード) が書き込んでいる間、--wait で指定した秒数 (既定 600) まで待ちます。\n"
                 "終了ステータス: 0 完了、1 失敗、2 引数の誤り、3 警告の付いた持株がある (holdings)、\n"
                 "4 完了したが壊れた銘柄別データをそのまま残した (download, file)、\n"
                 "5 ほかの処理が --wait の間ずっと書き込んでいた。何も書き込んでいません。\n");
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
            if (o.next + 1 >= static_cast<size_t>(argc)) throw UsageError{std::string(arg) + " には値が必要です"};
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
            if (!o.now) throw UsageError{"--now には \"YYYY-MM-DD HH:MM\" (東京の時刻) か @SECONDS を指定してください: \"" + text + "\""};
        } else if (arg == "--wait") {
            std::string text = value();
            const long seconds = platform::LeadingInteger(text, -1);
            if (seconds < 0 || seconds > 86400 || std::to_string(seconds) != text)
                throw UsageError{"--wait には 0 から 86400 までの秒数を指定してください: \"" + text + "\""};
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
        PrintFailure(broken->Message());
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
        if (!command) throw UsageError{"そのようなコマンドはありません: " + std::string(name)};
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
        // The one line of the failure, then the synopsis to mend it by.
        PrintFailure(e.message);
        const std::string synopsis = command ? std::string(Synopsis(command->usage)) : kProgramSynopsis;
        std::fprintf(stderr, "%smirolanda-cli %s\n", kUsagePrefix, synopsis.c_str());
        return 2;
    } catch (const platform::FolderBusy& e) {
        PrintFailure(e.what());
        return kExitBusy;
    } catch (const std::exception& e) {
        PrintFailure(e.what());
        return 1;
    }
}
