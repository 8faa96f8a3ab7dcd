#include "base/sqlite.h"

#include <utility>

namespace tavrin {

namespace {

std::string Message(sqlite3* db, int result) { return db ? sqlite3_errmsg(db) : sqlite3_errstr(result); }

}  // namespace

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(other.db_), statement_(std::exchange(other.statement_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    db_ = other.db_;
    statement_ = std::exchange(other.statement_, nullptr);
  }
  return *this;
}

void SqliteStatement::Check(int result) const {
  if (result != SQLITE_OK) throw SqliteError(SqliteError::Stage::kStep, result, Message(db_, result));
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  Check(sqlite3_bind_int64(statement_, index, value));
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  Check(sqlite3_bind_null(statement_, index));
  return *this;
}

bool SqliteStatement::Step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw SqliteError(SqliteError::Stage::kStep, result, Message(db_, result));
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::string SqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(statement_, column);
  return name ? name : "";
}

std::string_view SqliteStatement::TextView(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  if (!text) return {};
  return {reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

SqliteDb SqliteDb::Open(const std::string& name, int flags, const char* vfs) {
  sqlite3* raw = nullptr;
  const int result = sqlite3_open_v2(name.c_str(), &raw, flags, vfs);
  SqliteDb db(raw);
  if (result != SQLITE_OK) throw SqliteError(SqliteError::Stage::kOpen, result, Message(raw, result), name);
  return db;
}

SqliteDb::~SqliteDb() { sqlite3_close_v2(db_); }

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

void SqliteDb::Exec(const std::string& sql) const {
  const int result = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) throw SqliteError(SqliteError::Stage::kExec, result, Message(db_, result), sql);
}

SqliteStatement SqliteDb::Prepare(std::string_view sql, bool persistent) const {
  sqlite3_stmt* raw = nullptr;
  const int result = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                        persistent ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_finalize(raw);
    throw SqliteError(SqliteError::Stage::kPrepare, result, Message(db_, result), std::string(sql));
  }
  return SqliteStatement(db_, raw);
}

std::int64_t SqliteDb::QueryInt(const std::string& sql) const {
  SqliteStatement statement = Prepare(sql);
  statement.Step();
  return statement.Int(0);
}

void SqliteDb::RunNothingFromTheFile() {
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
}

int SqliteDb::Close() {
  const int result = sqlite3_close(db_);
  if (result == SQLITE_OK) db_ = nullptr;
  return result;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db, Kind kind) : db_(db) {
  db_.Exec(kind == Kind::kImmediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
  if (open_) sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace tavrin
