#include "marketdb/Schema.h"

#include <string>


namespace mirolanda::marketdb {
namespace {

// Version 1. Prices are whole tenths of a yen, days yyyymmdd; one bar per issue and day,
// keyed by code then day, so one issue's years are one contiguous read.
constexpr std::string_view kVersion1 = R"sql(
CREATE TABLE sources(
  id   INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE
);
CREATE TABLE days(
  day    INTEGER PRIMARY KEY,
  source INTEGER NOT NULL,
  issues INTEGER NOT NULL
);
CREATE TABLE issues(
  code    TEXT PRIMARY KEY,
  name    TEXT NOT NULL,
  segment TEXT NOT NULL DEFAULT '',
  sector  TEXT NOT NULL DEFAULT '',
  first   INTEGER NOT NULL,
  last    INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE bars(
  code     TEXT NOT NULL,
  day      INTEGER NOT NULL,
  open     INTEGER NOT NULL,
  high     INTEGER NOT NULL,
  low      INTEGER NOT NULL,
  close    INTEGER NOT NULL,
  volume   INTEGER NOT NULL,
  turnover INTEGER,
  factor   REAL NOT NULL DEFAULT 1,
  source   INTEGER NOT NULL,
  PRIMARY KEY(code, day)
) WITHOUT ROWID;
CREATE TABLE splits(
  code    TEXT NOT NULL,
  ex_date INTEGER NOT NULL,
  ratio   REAL NOT NULL,
  origin  TEXT NOT NULL,
  PRIMARY KEY(code, ex_date)
) WITHOUT ROWID;
)sql";

// Each entry takes a file from the version before it to its own number; a new version appends
// one entry and never edits an old one.
constexpr std::string_view kMigrations[] = {kVersion1};

}  // namespace

void PrepareSchema(Connection& db) {
    db.Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-65536");
    Transaction t(db);
    const int64_t version = db.Number("PRAGMA user_version").value_or(0);
    if (version > kSchemaVersion) {
        throw DatabaseError(db.File(), "新しいバージョンのプログラムが作ったデータベースです (版 " + std::to_string(version) + ")",
                            false);
    }
    if (version == 0 && db.Number("SELECT count(*) FROM sqlite_master").value_or(0) > 0) {
        throw DatabaseError(db.File(), "このプログラムのデータベースではありません", true);
    }
    for (int64_t v = version; v < kSchemaVersion; ++v) db.Execute(kMigrations[v]);
    db.Execute("PRAGMA user_version=" + std::to_string(kSchemaVersion));
    t.Commit();
}

}  // namespace mirolanda::marketdb
