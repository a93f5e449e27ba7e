#include "records/sqlite.h"

namespace quillet::records {

Connection::Connection(const std::string& path, int flags) : path_(path) {
    const int status = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (status != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
        sqlite3_close(db_);
        db_ = nullptr;
        throw RegisterError(path + ": cannot open: " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyMilliseconds_);
}

void Connection::SetBusyTimeout(int milliseconds) {
    busyMilliseconds_ = milliseconds;
    sqlite3_busy_timeout(db_, milliseconds);
}

std::string BusyText(int milliseconds) {
    const std::string seconds = milliseconds % 1000 == 0 ? std::to_string(milliseconds / 1000)
                                                         : std::to_string(milliseconds / 1000) + "." +
                                                               std::to_string(milliseconds % 1000 / 100);
    return "another program has been writing to the register for more than " + seconds + " s";
}

Connection::~Connection() { sqlite3_close(db_); }

void Connection::Fail(const std::string& what) const {
    const bool busy = (sqlite3_errcode(db_) & 0xff) == SQLITE_BUSY;
    throw RegisterError(path_ + ": " + what + ": " + (busy ? BusyText() : std::string(sqlite3_errmsg(db_))));
}

void Connection::Execute(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail("cannot run \"" + std::string(sql).substr(0, 40) + "\"");
}

std::int64_t Connection::Integer(const char* sql) {
    Statement statement(*this, sql);
    return statement.Step() ? statement.Integer(0) : 0;
}

std::string Connection::Text(const char* sql) {
    Statement statement(*this, sql);
    return statement.Step() ? statement.Text(0) : std::string();
}

Statement::Statement(Connection& connection, const char* sql) : connection_(connection) {
    if (sqlite3_prepare_v2(connection.get(), sql, -1, &statement_, nullptr) != SQLITE_OK)
        connection.Fail("cannot read");
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, std::string_view text) {
    // SQLITE_TRANSIENT: SQLite copies the text, which may be a temporary.
    sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, const std::optional<double>& value) {
    if (value)
        sqlite3_bind_double(statement_, index, *value);
    else
        sqlite3_bind_null(statement_, index);
    return *this;
}

Statement& Statement::BindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
    // A zero-length blob is still a blob, not NULL: its data pointer must not be null.
    sqlite3_bind_blob64(statement_, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::Step() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW)
        return true;
    if (status == SQLITE_DONE)
        return false;
    connection_.Fail("cannot " + std::string(sqlite3_stmt_readonly(statement_) ? "read" : "write"));
}

void Statement::Run() {
    while (Step()) {
    }
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

std::int64_t Statement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::optional<std::int64_t> Statement::OptionalInteger(int column) const {
    return IsNull(column) ? std::nullopt : std::optional(Integer(column));
}

std::optional<double> Statement::Real(int column) const {
    return IsNull(column) ? std::nullopt : std::optional(sqlite3_column_double(statement_, column));
}

std::string Statement::Text(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column))
                : std::string();
}

std::string Statement::Blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    return data ? std::string(data, sqlite3_column_bytes(statement_, column)) : std::string();
}

}  // namespace quillet::records
