#include "share/vote_book.h"

#include <sqlite3.h>

#include <chrono>
#include <memory>

#include "favourites/store.h"

namespace tavrin::share {
namespace {

constexpr char kTables[] =
    "CREATE TABLE IF NOT EXISTS member ("
    " id INTEGER PRIMARY KEY,"
    " display_name TEXT NOT NULL UNIQUE CHECK (length(display_name) BETWEEN 1 AND 20),"
    " joined INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS vote ("
    " member_id INTEGER NOT NULL REFERENCES member (id),"
    " name TEXT NOT NULL,"
    " sex TEXT NOT NULL CHECK (sex IN ('male', 'female')),"
    " rating INTEGER NOT NULL CHECK (rating BETWEEN 1 AND 5),"
    " comment TEXT NOT NULL DEFAULT '' CHECK (length(comment) <= 500),"
    " version INTEGER NOT NULL UNIQUE,"
    " changed INTEGER NOT NULL,"
    " PRIMARY KEY (member_id, name, sex));";

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw ShareError(what + ":" + (db ? sqlite3_errmsg(db) : "SQLite"));
}

void Exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, "投票记录无法写入收藏文件");
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) Fail(db, "投票记录无法读取");
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& Bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  bool Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail(db_, "投票记录无法读写");
    return false;
  }
  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// Runs `change` in one BEGIN IMMEDIATE transaction (the write lock at once,
// so two writers never deadlock) and commits it; rolls back on a failure.
template <typename Change>
auto InTransaction(sqlite3* db, Change change) {
  Exec(db, "BEGIN IMMEDIATE");
  try {
    auto result = change();
    Exec(db, "COMMIT");
    return result;
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

const char* SqliteVoteBook::TablesSql() { return kTables; }

SqliteVoteBook::SqliteVoteBook(std::string path, int busyTimeoutMs)
    : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {
  try {
    sqlite3* db = Connection();
    {
      Statement id(db, "PRAGMA application_id");
      if (!id.Step() || id.Int(0) != kFavouritesApplicationId) {
        throw ShareError("“" + path_ + "”不是 Tavrin 的收藏文件，不能在其中记录投票");
      }
    }
    std::lock_guard write(writeMutex_);
    InTransaction(db, [&] {
      Exec(db, kTables);
      return true;
    });
  } catch (...) {
    CloseAll();  // no destructor runs for a book that was never made
    throw;
  }
}

SqliteVoteBook::~SqliteVoteBook() { CloseAll(); }

void SqliteVoteBook::CloseAll() {
  for (auto& [thread, db] : connections_) sqlite3_close_v2(db);
  connections_.clear();
}

sqlite3* SqliteVoteBook::Open() const {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> owned(db, &sqlite3_close_v2);
  if (rc != SQLITE_OK) Fail(db, "“" + path_ + "”打不开");
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busyTimeoutMs_);
  // As the store opens its file: nothing in it runs, and a commit is on
  // the disk before it returns.
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  Exec(db, "PRAGMA synchronous = FULL");
  return owned.release();
}

sqlite3* SqliteVoteBook::Connection() {
  const std::thread::id self = std::this_thread::get_id();
  {
    std::lock_guard lock(connectionsMutex_);
    if (auto found = connections_.find(self); found != connections_.end()) return found->second;
  }
  sqlite3* db = Open();
  std::lock_guard lock(connectionsMutex_);
  // A thread id can be reused after its thread ended: the new thread takes
  // over the old connection's place.
  if (auto found = connections_.find(self); found != connections_.end()) sqlite3_close_v2(found->second);
  connections_[self] = db;
  return db;
}

Vote SqliteVoteBook::Add(const VoteInput& input) {
  sqlite3* db = Connection();
  std::lock_guard write(writeMutex_);
  return InTransaction(db, [&] {
    Vote vote{0, input.member, input.name, input.sex, input.rating, input.comment, Now()};
    Statement member(db,
                     "INSERT INTO member (display_name, joined) VALUES (?1, ?2) ON CONFLICT (display_name) DO NOTHING");
    member.Bind(1, input.member).Bind(2, vote.changed).Step();
    Statement id(db, "SELECT id FROM member WHERE display_name = ?1");
    if (!id.Bind(1, input.member).Step()) Fail(db, "投票记录无法写入");
    const std::int64_t memberId = id.Int(0);
    Statement latest(db, "SELECT coalesce(max(version), 0) + 1 FROM vote");
    latest.Step();
    vote.version = latest.Int(0);
    Statement insert(db,
                     "INSERT INTO vote (member_id, name, sex, rating, comment, version, changed)"
                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                     " ON CONFLICT (member_id, name, sex) DO UPDATE SET rating = excluded.rating,"
                     " comment = excluded.comment, version = excluded.version, changed = excluded.changed");
    insert.Bind(1, memberId).Bind(2, input.name).Bind(3, input.sex).Bind(4, input.rating).Bind(5, input.comment);
    insert.Bind(6, vote.version).Bind(7, vote.changed).Step();
    return vote;
  });
}

std::vector<Vote> SqliteVoteBook::Since(std::int64_t version, std::size_t limit) {
  sqlite3* db = Connection();
  Statement select(db,
                   "SELECT vote.version, member.display_name, vote.name, vote.sex, vote.rating, vote.comment, vote.changed"
                   " FROM vote JOIN member ON member.id = vote.member_id"
                   " WHERE vote.version > ?1 ORDER BY vote.version LIMIT ?2");
  select.Bind(1, version).Bind(2, static_cast<std::int64_t>(limit));
  std::vector<Vote> votes;
  while (select.Step()) {
    votes.push_back({select.Int(0), select.Text(1), select.Text(2), select.Text(3), static_cast<int>(select.Int(4)),
                     select.Text(5), select.Int(6)});
  }
  return votes;
}

std::int64_t SqliteVoteBook::Version() {
  Statement latest(Connection(), "SELECT coalesce(max(version), 0) FROM vote");
  latest.Step();
  return latest.Int(0);
}

}  // namespace tavrin::share
