// Owning handles of SQLite connections and prepared statements, and a
// transaction that rolls back unless committed. A failure is thrown as a
// SqliteError holding SQLite's result code and its own (English) text, and
// what was being done; each library words it for its users.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tavrin {

class SqliteError : public std::runtime_error {
 public:
  // What failed: opening the file, preparing a statement, running one, or
  // running plain SQL text.
  enum class Stage { kOpen, kPrepare, kStep, kExec, kClose };
  // `text` is SQLite's message; `subject` the file name (kOpen) or the SQL.
  SqliteError(Stage stage, int code, const std::string& text, std::string subject = {})
      : std::runtime_error(text), stage(stage), code(code), subject(std::move(subject)) {}
  Stage stage;
  int code;  // extended where the connection gives extended codes
  std::string subject;
  // The primary result code: SQLITE_IOERR for every SQLITE_IOERR_... .
  int Primary() const { return code & 0xFF; }
};

class SqliteStatement {
 public:
  SqliteStatement() = default;
  SqliteStatement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}
  ~SqliteStatement() { sqlite3_finalize(statement_); }
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;

  sqlite3_stmt* get() const { return statement_; }

  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);  // copied by SQLite
  SqliteStatement& BindNull(int index);
  // True while there is a row; false when done.
  bool Step();
  // Ready to run again: the statement rewound and its values cleared.
  void Reset();

  int ColumnCount() const { return sqlite3_column_count(statement_); }
  std::string ColumnName(int column) const;
  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
  // The text of a column as stored (UTF-8 in every database of ours); empty for NULL.
  std::string Text(int column) const { return std::string(TextView(column)); }
  std::string_view TextView(int column) const;

 private:
  void Check(int result) const;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
};

class SqliteDb {
 public:
  SqliteDb() = default;
  // Opens `name` (a file name, or a URI with SQLITE_OPEN_URI) through the
  // file layer `vfs` (nullptr: the default one); throws SqliteError.
  static SqliteDb Open(const std::string& name, int flags, const char* vfs = nullptr);
  ~SqliteDb();
  SqliteDb(SqliteDb&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
  SqliteDb& operator=(SqliteDb&& other) noexcept;

  sqlite3* get() const { return db_; }
  explicit operator bool() const { return db_ != nullptr; }

  // Runs SQL text (one or more statements) that returns no rows.
  void Exec(const std::string& sql) const;
  // Prepares one statement; `persistent` for one that is kept and run many times.
  SqliteStatement Prepare(std::string_view sql, bool persistent = false) const;
  // The number of a single-number query's result ("PRAGMA user_version").
  std::int64_t QueryInt(const std::string& sql) const;
  // Rows the last INSERT, UPDATE or DELETE changed.
  int Changes() const { return sqlite3_changes(db_); }

  // A writer waits this long for another's lock before it fails (SQLITE_BUSY).
  void WaitWhenBusy(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }
  // `handler(data)` is called every `steps` steps of a running statement; a
  // non-zero return stops it with SQLITE_INTERRUPT. The bound of a query's
  // time and work.
  void OnProgress(int steps, int (*handler)(void*), void* data) { sqlite3_progress_handler(db_, steps, handler, data); }
  // Nothing a database file holds runs here: no trigger or view of someone
  // else's, no function its schema names, no writing to the schema.
  void RunNothingFromTheFile();

  // Closes now and reports SQLite's result (a close that fails leaves the
  // handle to the destructor, which closes it when its statements are done).
  int Close();

 private:
  explicit SqliteDb(sqlite3* db) : db_(db) {}
  sqlite3* db_ = nullptr;
};

// One transaction: BEGIN IMMEDIATE takes the write lock at once (waiting the
// busy timeout for another program's transaction), so two writers never
// deadlock and what a change reads inside it is what it then changes;
// DEFERRED takes locks as the statements need them. Rolled back when
// destroyed uncommitted.
class SqliteTransaction {
 public:
  enum class Kind { kImmediate, kDeferred };
  explicit SqliteTransaction(SqliteDb& db, Kind kind = Kind::kImmediate);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  void Commit();

 private:
  SqliteDb& db_;
  bool open_ = true;
};

}  // namespace tavrin
