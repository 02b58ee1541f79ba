// log: prints the last lines of the run log; and the record every network or filing command
// leaves in it.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FailureLine.h"
#include "platform/Numbers.h"
#include "platform/RunLog.h"

namespace mirolanda::cli {

void LogRun(const CliContext& context, platform::RunRecord record) {
    record.End = context.clock->Now();
    try {
        platform::AppendRunRecord(context.programFolder, record);
    } catch (const std::exception& e) {
        // The command's own work is done; a log that cannot be written does not undo it.
        PrintFailure(e.what());
    }
}

namespace {

int RunLog(CliContext& context, const Args& args) {
    size_t count = 50;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lines" && i + 1 < args.size()) {
            const long n = platform::LeadingInteger(args[++i], -1);
            if (n < 1 || n > 100000) throw UsageError{"--lines には 1 から 100000 までを指定してください"};
            count = static_cast<size_t>(n);
        } else {
            throw UsageError{"そのようなオプションはありません: " + args[i]};
        }
    }
    for (const std::string& line : platform::ReadRunLogTail(context.programFolder, count)) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace

const Command kLogCommand = {
    "log",
    "log [--lines N]\n"
    "  プログラムフォルダの実行記録 Mirolanda.log の最後の 50 行 (または N 行) を古い順に表示します。\n"
    "  ダウンロードと記録のたびに1行残ります: 開始と終了の時刻、コマンド、取得元、結果 (ok, skipped,\n"
    "  failed)、要求数、再試行数、保存した銘柄別データ、飛ばしたファイル、備考 (前日と比べて欠けている\n"
    "  銘柄)、エラーの内容を、タブ区切りで。",
    RunLog,
};

}  // namespace mirolanda::cli
