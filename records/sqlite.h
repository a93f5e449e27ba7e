// A thin hold on SQLite's C API: connections and statements that close
// themselves, and errors as exceptions naming the register's file.
#pragma once

#include <cstdint>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillet::records {

// Any failure of the register; the message names the file and says why.
class RegisterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a connection waits for another program's write to the
// register to finish.
inline constexpr int kBusyTimeoutMilliseconds = 20000;

// What a write or read that waited so many milliseconds in vain says.
std::string BusyText(int milliseconds);

// A connection that waits for others' writes up to the timeout.
class Connection {
public:
    // flags as sqlite3_open_v2 takes them. Throws RegisterError.
    Connection(const std::string& path, int flags);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return db_; }
    const std::string& path() const { return path_; }
    // How long it waits; kBusyTimeoutMilliseconds unless set.
    void SetBusyTimeout(int milliseconds);
    std::string BusyText() const { return records::BusyText(busyMilliseconds_); }

    // Runs statements that return no rows. Throws RegisterError.
    void Execute(const char* sql);
    // The first column of the first row as an integer or text.
    std::int64_t Integer(const char* sql);
    std::string Text(const char* sql);

    // "FILE: what: SQLite's message" for the last failure; BusyText()
    // instead of SQLite's message when the register stayed locked.
    [[noreturn]] void Fail(const std::string& what) const;

private:
    sqlite3* db_ = nullptr;
    std::string path_;
    int busyMilliseconds_ = kBusyTimeoutMilliseconds;
};

class Statement {
public:
    Statement(Connection& connection, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQLite.
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, const std::optional<double>& value);
    Statement& BindNull(int index);
    Statement& BindBlob(int index, std::string_view bytes);

    // True while there is a row. Throws RegisterError.
    bool Step();
    // Steps once, through to the end.
    void Run();

    bool IsNull(int column) const;
    std::int64_t Integer(int column) const;
    std::optional<std::int64_t> OptionalInteger(int column) const;
    std::optional<double> Real(int column) const;
    std::string Text(int column) const;
    std::string Blob(int column) const;

private:
    Connection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace quillet::records
