// Owning handles of SQLite connections and statements, and a statement step
// that turns a failure into an exception with the database's own text.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace tavrin::sources {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// What went wrong with the library's database, for the front ends to say in
// their words.
enum class LibraryFault {
  kMissing,   // no file there
  kRefused,   // not a regular file, too large, unreadable: the text is the reason in Chinese
  kDamaged,   // SQLite's verdict (damaged pages, not a database) or an index that names what is not there
  kTooSlow,   // a query ran past its time
  kOther,     // anything else SQLite reports
};

// A failure of the library's database; the text is UTF-8 (SQLite's own for
// the faults it reports).
class LibraryError : public std::runtime_error {
 public:
  explicit LibraryError(const std::string& text, LibraryFault fault = LibraryFault::kOther)
      : std::runtime_error(text), fault_(fault) {}
  LibraryFault Fault() const { return fault_; }

 private:
  LibraryFault fault_;
};

// The fault SQLite's result code stands for.
inline LibraryFault FaultOf(int result) {
  switch (result & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      return LibraryFault::kDamaged;
    case SQLITE_INTERRUPT:
      return LibraryFault::kTooSlow;
    default:
      return LibraryFault::kOther;
  }
}

inline Database OpenDatabase(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  Database db(raw);
  if (opened != SQLITE_OK) {
    throw LibraryError("cannot open " + path + ": " + (db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(opened)),
                       FaultOf(opened));
  }
  return db;
}

inline Statement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) != SQLITE_OK) {
    throw LibraryError(std::string("cannot prepare \"") + sql + "\": " + sqlite3_errmsg(db),
                       FaultOf(sqlite3_extended_errcode(db)));
  }
  return Statement(raw);
}

// One step: true for a row, false when done; throws on an error.
inline bool Step(sqlite3* db, sqlite3_stmt* statement) {
  const int result = sqlite3_step(statement);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  throw LibraryError(std::string("library query failed: ") + sqlite3_errmsg(db), FaultOf(result));
}

inline std::string ColumnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
              : std::string();
}

inline void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
  sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

}  // namespace tavrin::sources
