#include "marketdb/Sqlite.h"

#include <sqlite3.h>


namespace mirolanda::marketdb {
namespace {

bool IsDamage(int code) { return (code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB; }

}  // namespace

Connection::Connection(const std::filesystem::path& file, bool create) : file_(file) {
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int code = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DatabaseError(file, "データベースを開けません (" + message + ")", IsDamage(code));
    }
    sqlite3_extended_result_codes(db_, 1);
    // The window reads while the evening run writes: wait for the other instead of failing.
    sqlite3_busy_timeout(db_, 10000);
}

Connection::~Connection() { sqlite3_close(db_); }

void Connection::Check(int code, std::string_view what) const {
    if (code == SQLITE_OK || code == SQLITE_ROW || code == SQLITE_DONE) return;
    throw DatabaseError(file_, "データベースエラー: " + std::string(what) + " (" + sqlite3_errmsg(db_) + ")",
                        IsDamage(code));
}

void Connection::Execute(std::string_view sql) {
    char* error = nullptr;
    const int code = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error);
    if (code != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errstr(code);
        sqlite3_free(error);
        throw DatabaseError(file_, "データベースエラー (" + message + ")", IsDamage(code));
    }
}

bool Connection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

int Connection::Changes() const { return sqlite3_changes(db_); }

std::optional<int64_t> Connection::Number(std::string_view sql) {
    Statement s(*this, sql);
    if (!s.Step() || s.IsNull(0)) return std::nullopt;
    return s.Int(0);
}

Statement::Statement(Connection& db, std::string_view sql) : db_(db) {
    db_.Check(sqlite3_prepare_v3(db.Handle(), sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                 &stmt_, nullptr),
              sql);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, int64_t value) {
    db_.Check(sqlite3_bind_int64(stmt_, index, value), "bind");
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    db_.Check(sqlite3_bind_double(stmt_, index, value), "bind");
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    db_.Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT), "bind");
    return *this;
}

Statement& Statement::BindNull(int index) {
    db_.Check(sqlite3_bind_null(stmt_, index), "bind");
    return *this;
}

bool Statement::Step() {
    const int code = sqlite3_step(stmt_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    const int reset = sqlite3_reset(stmt_);
    db_.Check(reset != SQLITE_OK ? reset : code, sqlite3_sql(stmt_));
    return false;
}

void Statement::Run() {
    while (Step()) {
    }
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }
double Statement::Real(int column) const { return sqlite3_column_double(stmt_, column); }

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}

Transaction::Transaction(Connection& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (open_) sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    db_.Execute("COMMIT");
    open_ = false;
}

}  // namespace mirolanda::marketdb
