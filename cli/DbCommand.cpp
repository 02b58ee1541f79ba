// db: the market history database's upkeep, one sub-command per file.
#include <string>

#include "cli/Commands.h"
#include "cli/DbCommands.h"

namespace mirolanda::cli {
namespace {

int RunDb(CliContext& context, const Args& args) {
    if (args.empty()) throw UsageError{"db にはサブコマンド import、check、rebuild、splits のどれかを指定してください"};
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "import") return RunDbImport(context, rest);
    if (args[0] == "check") return RunDbCheck(context, rest);
    if (args[0] == "rebuild") return RunDbRebuild(context, rest);
    if (args[0] == "splits") return RunDbSplits(context, rest);
    throw UsageError{"db にそのようなサブコマンドはありません: " + args[0]};
}

}  // namespace

const Command kDbCommand = {
    "db",
    "db import PATH... | db check | db rebuild | db splits [--suggest]\n"
    "市場履歴データベース (設定 MarketDatabase。空ならプログラムフォルダの Market.sqlite3): すべての銘柄の\n"
    "毎日の始値、高値、安値、終値、出来高です。\n"
    "  import PATH...  日別CSVファイル (YYYYMMDD.CSV) と、指定したフォルダの直下にあるCSVファイルを古い日\n"
    "                  から順に格納します。既に格納した日は置き換えます。進み具合を1行で表示し、最後に\n"
    "                  格納した日数と件数、受け付けなかったファイルを表示します。\n"
    "  check           ファイルの整合性を調べ、件数、最初と最後の日、欠けている営業日を表示します。\n"
    "                  正常なら (日が欠けていても) 終了ステータス 0。壊れていれば 1 で、ファイルは\n"
    "                  Market.sqlite3.broken-YYYYMMDD-HHMMSS として脇に移します。\n"
    "  rebuild         CSVフォルダからデータベースを作り直し (手で記録した株式分割は残します)、古いものと\n"
    "                  置き換えます。\n"
    "  splits          記録されている株式分割を一覧します。--suggest を付けると、株式分割らしい前日比の\n"
    "                  終値 (1/2, 1/3, 1/4, 1/5, 1/10 またはその逆数の 3 % 以内) を挙げます。確かめて\n"
    "                  'split' で記録してください。推測で調整することはありません。\n"
    "import と rebuild は、ほかの処理がプログラムのデータを書き込んでいる間は待ちます (--wait を参照。あきらめたときは\n"
    "終了ステータス 5)。",
    RunDb,
};

}  // namespace mirolanda::cli
