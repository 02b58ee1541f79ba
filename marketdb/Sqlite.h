// A thin hold on libsqlite3: one connection and its prepared statements, each failure thrown as
// a DatabaseError naming the database file and SQLite's own words.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

#include "platform/Errors.h"

namespace mirolanda::marketdb {

// A failure of the database file. Damaged: the file is no database, or a corrupt one, as
// opposed to one that is busy, read-only or out of space, which a later try may find sound.
class DatabaseError : public platform::FileError {
public:
    DatabaseError(const std::filesystem::path& file, const std::string& what, bool damaged)
        : FileError(file, what), damaged_(damaged) {}
    bool Damaged() const { return damaged_; }

private:
    bool damaged_;
};

class Connection;

// A prepared statement: bind by position (1-based), step, read columns (0-based).
class Statement {
public:
    Statement(Connection& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindNull(int index);
    // True while a row is there to read; false once the statement is done.
    bool Step();
    // Steps a statement that returns no rows, then resets it for the next binding.
    void Run();
    void Reset();

    bool IsNull(int column) const;
    int64_t Int(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;

private:
    Connection& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Connection {
public:
    // Opens (creating when `create`) the file. Throws DatabaseError.
    Connection(const std::filesystem::path& file, bool create);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs statements that return nothing.
    void Execute(std::string_view sql);
    // The first column of the first row as a whole number; nothing when no row.
    std::optional<int64_t> Number(std::string_view sql);

    // Whether a transaction is open on this connection.
    bool InTransaction() const;
    // Rows changed by the last statement.
    int Changes() const;
    const std::filesystem::path& File() const { return file_; }
    sqlite3* Handle() const { return db_; }
    // Throws DatabaseError with SQLite's message for the result code when it is an error.
    void Check(int code, std::string_view what) const;

private:
    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE … COMMIT; rolled back when left without Commit (an exception on the way).
class Transaction {
public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Connection& db_;
    bool open_ = true;
};

}  // namespace mirolanda::marketdb
