#include "favourites/store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "favourites/messages.h"

namespace tavrin {

namespace {

constexpr SchemaStep kSchema[] = {
    {1,
     "CREATE TABLE favourite ("
     " name TEXT NOT NULL,"
     " sex TEXT NOT NULL CHECK (sex IN ('male', 'female')),"
     " birth_year INTEGER NOT NULL, birth_month INTEGER NOT NULL, birth_day INTEGER NOT NULL,"
     " birth_hour INTEGER NOT NULL,"
     " score INTEGER NOT NULL,"
     " advice TEXT,"
     " note TEXT NOT NULL DEFAULT '',"
     " rating INTEGER NOT NULL DEFAULT 0 CHECK (rating BETWEEN 0 AND 5),"
     " origin TEXT NOT NULL DEFAULT '',"
     " poem TEXT NOT NULL DEFAULT '',"
     " added INTEGER NOT NULL,"
     " changed INTEGER NOT NULL,"
     " PRIMARY KEY (name, sex))"},
};

constexpr char kColumns[] =
    "name, sex, birth_year, birth_month, birth_day, birth_hour, score, advice, note, rating, origin, poem, added, "
    "changed";

// A failed SQLite call, with its result code; turned into a FavouritesError
// that names the store file where the store catches it.
class SqlError : public std::runtime_error {
 public:
  SqlError(int code, const std::string& text) : std::runtime_error(text), code(code) {}
  int code;
};

[[noreturn]] void ThrowSql(sqlite3* db, int code) {
  throw SqlError(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

void Exec(sqlite3* db, const char* sql) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) ThrowSql(db, rc);
}

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr);
    if (rc != SQLITE_OK) ThrowSql(db, rc);
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::int64_t value) {
    Check(sqlite3_bind_int64(statement_, index, value));
    return *this;
  }
  // A core text (GBK), stored as UTF-8 so that any SQLite tool reads it.
  Statement& BindGbk(int index, std::string_view gbk) { return BindUtf8(index, GbkToUtf8(gbk)); }
  Statement& BindUtf8(int index, const std::string& utf8) {
    Check(sqlite3_bind_text(statement_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& BindNull(int index) {
    Check(sqlite3_bind_null(statement_, index));
    return *this;
  }
  // True while there is a row.
  bool Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) ThrowSql(db_, rc);
    return false;
  }
  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
  std::string Utf8(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
  }
  std::string Gbk(int column) const { return Utf8ToGbkLossy(Utf8(column)); }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) ThrowSql(db_, rc);
  }
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

Favourite ReadRow(const Statement& row) {
  Favourite f;
  f.name = row.Gbk(0);
  f.sex = SexFromKey(row.Utf8(1)).value_or(Sex::kMale);
  f.year = static_cast<int>(row.Int(2));
  f.month = static_cast<int>(row.Int(3));
  f.day = static_cast<int>(row.Int(4));
  f.hour = static_cast<int>(row.Int(5));
  f.score = static_cast<int>(row.Int(6));
  if (!row.IsNull(7)) f.advice = row.Utf8(7);
  f.note = row.Gbk(8);
  f.rating = static_cast<int>(row.Int(9));
  f.origin = row.Gbk(10);
  f.poem = row.Gbk(11);
  f.added = row.Int(12);
  f.changed = row.Int(13);
  return f;
}

void Insert(sqlite3* db, const Favourite& f) {
  Statement insert(db, std::string("INSERT OR REPLACE INTO favourite (") + kColumns +
                           ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
  insert.BindGbk(1, f.name).BindUtf8(2, SexKey(f.sex)).Bind(3, f.year).Bind(4, f.month).Bind(5, f.day);
  insert.Bind(6, f.hour).Bind(7, f.score);
  if (f.advice) {
    insert.BindUtf8(8, *f.advice);
  } else {
    insert.BindNull(8);
  }
  insert.BindGbk(9, f.note).Bind(10, f.rating).BindGbk(11, f.origin).BindGbk(12, f.poem);
  insert.Bind(13, f.added).Bind(14, f.changed);
  insert.Step();
}

std::optional<Favourite> Select(sqlite3* db, std::string_view name, Sex sex) {
  Statement select(db, std::string("SELECT ") + kColumns + " FROM favourite WHERE name = ?1 AND sex = ?2");
  select.BindGbk(1, name).BindUtf8(2, SexKey(sex));
  if (!select.Step()) return std::nullopt;
  return ReadRow(select);
}

// The reason of a failed SQLite call: its meaning, then SQLite's own words.
std::string SqlReason(const SqlError& error) {
  static constexpr std::pair<int, const char*> kMeanings[] = {
      {SQLITE_FULL, "磁盘已满"},
      {SQLITE_READONLY, "不能写入"},
      {SQLITE_PERM, "没有权限"},
      {SQLITE_CANTOPEN, "无法打开"},
      {SQLITE_CORRUPT, "文件已损坏"},
      {SQLITE_NOTADB, "不是 SQLite 数据库"},
      {SQLITE_BUSY, "正被另一个程序长时间占用"},
      {SQLITE_LOCKED, "正被另一个程序长时间占用"},
      {SQLITE_IOERR, "读写出错"},
  };
  std::string meaning = "数据库出错";
  for (const auto& [code, text] : kMeanings) {
    if ((error.code & 0xFF) == code) meaning = text;
  }
  return meaning + "(" + Utf8ToGbkLossy(error.what()) + ")";
}

std::string Subject(const std::string& path) { return "收藏文件" + QuotedFileName(path); }

FavouritesError WriteError(const std::string& path, const SqlError& error) {
  return FavouritesError("无法保存到" + Subject(path) + ":" + SqlReason(error) + ";这次修改没有保存");
}

FavouritesError ReadError(const std::string& path, const SqlError& error) {
  return FavouritesError("无法读取" + Subject(path) + ":" + SqlReason(error));
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// How the first bytes of an existing file show it damaged, or nullptr.
const char* HeaderDamage(const std::string& path) {
  static constexpr char kMagic[] = "SQLite format 3";  // and its NUL: 16 bytes
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;  // opening the database says why
  unsigned char header[100];
  ssize_t got = 0;
  while (got < static_cast<ssize_t>(sizeof header)) {
    const ssize_t n = ::read(fd, header + got, sizeof header - static_cast<std::size_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  struct stat st;
  const bool sized = fstat(fd, &st) == 0;
  ::close(fd);
  if (got == 0 || !sized) return nullptr;  // an empty file becomes a new store
  const std::size_t compared = std::min<std::size_t>(static_cast<std::size_t>(got), sizeof kMagic);
  if (std::memcmp(header, kMagic, compared) != 0) return "不是 SQLite 数据库";
  if (got < static_cast<ssize_t>(sizeof header)) return "被截断了";
  auto be32 = [&](int at) {
    return std::uint32_t{header[at]} << 24 | std::uint32_t{header[at + 1]} << 16 | std::uint32_t{header[at + 2]} << 8 |
           header[at + 3];
  };
  std::uint32_t pageSize = std::uint32_t{header[16]} << 8 | header[17];
  if (pageSize == 1) pageSize = 65536;
  // The page count in the header is valid when its stamp matches the
  // change counter.
  if (be32(24) == be32(92) &&
      static_cast<std::uint64_t>(be32(28)) * pageSize > static_cast<std::uint64_t>(st.st_size)) {
    return "被截断了";
  }
  return nullptr;
}

// A file name as the path of a file: URI, every byte but the unreserved
// ones and "/" percent-encoded.
std::string UriPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || std::strchr("-._~/", c)) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

std::string AsideStamp(std::int64_t seconds) {
  std::string stamp = FormatUtcTime(seconds);  // 2026-12-09T09:15:00Z
  std::string compact;
  for (const char c : stamp) {
    if (c >= '0' && c <= '9') compact += c;
    if (c == 'T') compact += '-';
  }
  return compact;  // 20261209-091500
}

}  // namespace

std::int64_t SystemSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::span<const SchemaStep> FavouritesSchema() { return kSchema; }

std::string DefaultFavouritesPath(const EnvironmentLookup& getenv) {
  auto value = [&](const char* name) -> std::string {
    const char* text = getenv(name);
    return text ? text : "";
  };
  if (std::string given = value(kFavouritesVariable); !given.empty()) return given;
  std::string base = value("XDG_DATA_HOME");
  if (!base.starts_with('/')) {
    const std::string home = value("HOME");
    if (home.empty()) return {};
    base = home + "/.local/share";
  }
  return base + "/tavrin/favourites.db";
}

void MakeStoreDirectory(const std::string& storePath) {
  const std::string directory = DirectoryOf(storePath);
  for (std::size_t slash = 1; slash != std::string::npos;) {
    slash = directory.find('/', slash + 1);
    const std::string part = directory.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      throw FavouritesError("无法建立存放收藏文件的目录" + QuotedFileName(part) + ":" + SystemReason(errno));
    }
  }
}

// BEGIN IMMEDIATE at once takes the write lock (waiting the busy timeout for
// another program's transaction), so no two writers ever deadlock.
class FavouritesStore::Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { Exec(db_, "BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    Exec(db_, "COMMIT");
    open_ = false;
  }

 private:
  sqlite3* db_;
  bool open_ = true;
};

FavouritesStore::FavouritesStore(std::string path, StoreOptions options)
    : path_(std::move(path)), options_(std::move(options)) {
  if (!options_.clock) options_.clock = SystemSeconds;
  const bool existed = Exists(path_);
  // A store that could not be made leaves no empty file behind.
  auto forgetNew = [&] {
    Close();
    struct stat st;
    if (!existed && ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) {
      for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((path_ + suffix).c_str());
    }
  };
  try {
    Open();
  } catch (const SqlError& error) {
    forgetNew();
    throw FavouritesError("无法打开" + Subject(path_) + ":" + SqlReason(error));
  } catch (...) {
    forgetNew();
    throw;
  }
}

FavouritesStore::~FavouritesStore() { Close(); }

void FavouritesStore::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

std::int64_t FavouritesStore::Now() const { return options_.clock(); }

void FavouritesStore::Connect(bool writable) {
  Close();
  int flags = writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  std::string name = path_;
  // Reading a WAL store needs its shared-memory file; where that can be
  // neither found nor made (a directory that cannot be written), the file
  // is read as it stands, which no one can change there.
  if (!writable && !Exists(path_ + "-shm") && ::access(DirectoryOf(path_).c_str(), W_OK) != 0) {
    name = "file:" + UriPath(path_) + "?immutable=1";
    flags |= SQLITE_OPEN_URI;
  }
  const int rc = sqlite3_open_v2(name.c_str(), &db_, flags, options_.vfs);
  if (rc != SQLITE_OK) ThrowSql(db_, rc);
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, options_.busyTimeoutMs);
}

void FavouritesStore::KeepAside(const std::string& why) {
  Close();
  std::string aside = path_ + ".corrupt-" + AsideStamp(Now());
  for (int n = 2; Exists(aside); ++n) aside = path_ + ".corrupt-" + AsideStamp(Now()) + "-" + std::to_string(n);
  if (std::rename(path_.c_str(), aside.c_str()) != 0) {
    throw FavouritesError(Subject(path_) + why + ",但无法改名保存(" + SystemReason(errno) + "),没有改动它");
  }
  // The journal files belong to the damaged file and go with it; left
  // behind, SQLite would read them into the new store.
  for (const char* suffix : {"-wal", "-shm"}) {
    if (Exists(path_ + suffix) && std::rename((path_ + suffix).c_str(), (aside + suffix).c_str()) != 0) {
      throw FavouritesError(Subject(path_) + why + ",无法把" + QuotedFileName(path_ + suffix) + "一起改名保存(" +
                            SystemReason(errno) + ")");
    }
  }
  keptAside_ = aside;
  notice_ = Subject(path_) + why + ",已改名保存为" + QuotedFileName(aside) + ",并新建了空的收藏文件";
}

void FavouritesStore::Open() {
  struct stat st;
  bool exists = ::stat(path_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(errno));
  }
  if (exists && S_ISDIR(st.st_mode)) throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(EISDIR));
  if (exists && !S_ISREG(st.st_mode)) throw FavouritesError("无法打开" + Subject(path_) + ":不是普通文件");
  if (exists && ::access(path_.c_str(), R_OK) != 0) {
    throw FavouritesError("无法读取" + Subject(path_) + ":" + SystemReason(errno));
  }
  if (exists) {
    if (const char* damage = HeaderDamage(path_)) {
      KeepAside(damage);
      exists = false;
    }
  }
  const std::string directory = DirectoryOf(path_);
  if (::access(directory.c_str(), W_OK) != 0) {
    readOnlyReason_ = errno == ENOENT ? "所在目录不存在" : "所在目录不能写入(" + SystemReason(errno) + ")";
  } else if (exists && ::access(path_.c_str(), W_OK) != 0) {
    readOnlyReason_ = "不能写入(" + SystemReason(errno) + ")";
  }
  if (!exists && !readOnlyReason_.empty()) {
    throw FavouritesError("无法新建" + Subject(path_) + ":" + readOnlyReason_);
  }
  readOnly_ = !readOnlyReason_.empty();
  Connect(!readOnly_);

  try {
    Statement check(db_, "PRAGMA quick_check");
    const bool ok = check.Step() && check.Utf8(0) == "ok";
    if (!ok) throw SqlError(SQLITE_CORRUPT, "quick_check: " + check.Utf8(0));
  } catch (const SqlError& error) {
    const int code = error.code & 0xFF;
    if (code != SQLITE_CORRUPT && code != SQLITE_NOTADB) throw;
    if (readOnly_) throw ReadError(path_, error);
    KeepAside(code == SQLITE_NOTADB ? "不是 SQLite 数据库" : "已损坏");
    Connect(true);
  }

  {
    Statement version(db_, "PRAGMA user_version");
    version.Step();
    version_ = static_cast<int>(version.Int(0));
  }
  const int latest = options_.schema.empty() ? 0 : options_.schema.back().version;
  if (version_ > latest) {
    readOnly_ = true;
    readOnlyReason_ = "由较新版本的程序写成(格式版本 " + std::to_string(version_) + ",本程序只认识到版本 " +
                      std::to_string(latest) + ")";
    Connect(false);
  } else if (version_ == 0) {
    Statement tables(db_, "SELECT count(*) FROM sqlite_master");
    tables.Step();
    if (tables.Int(0) != 0) {
      throw FavouritesError(Subject(path_) + "是别的程序的 SQLite 数据库,不是收藏文件;没有改动它");
    }
  }
  // Only a store known to be ours is switched to WAL: the switch writes
  // the file's header.
  if (!readOnly_) {
    Exec(db_, "PRAGMA journal_mode = WAL");
    Exec(db_, "PRAGMA synchronous = FULL");
  }
  if (version_ < latest && !readOnly_) Migrate();
  if (readOnly_) notice_ += (notice_.empty() ? "" : "\n") + Subject(path_) + readOnlyReason_ + ",已只读打开,不能修改";
}

void FavouritesStore::Migrate() {
  for (const SchemaStep& step : options_.schema) {
    if (step.version <= version_) continue;
    try {
      Transaction transaction(db_);
      // Another program may have brought the file up to date meanwhile.
      Statement current(db_, "PRAGMA user_version");
      current.Step();
      if (current.Int(0) < step.version) {
        Exec(db_, step.sql);
        Exec(db_, ("PRAGMA user_version = " + std::to_string(step.version)).c_str());
      }
      transaction.Commit();
    } catch (const SqlError& error) {
      throw FavouritesError("无法把" + Subject(path_) + "升级到格式版本 " + std::to_string(step.version) + ":" +
                            SqlReason(error));
    }
    version_ = step.version;
  }
}

template <typename Change>
auto FavouritesStore::Commit(Change change) {
  if (readOnly_) throw FavouritesError("无法保存到" + Subject(path_) + ":它已只读打开;这次修改没有保存");
  try {
    Transaction transaction(db_);
    auto result = change();
    transaction.Commit();
    return result;
  } catch (const SqlError& error) {
    throw WriteError(path_, error);
  }
}

template <typename BindRest>
bool FavouritesStore::ChangeOne(const char* sql, std::string_view name, Sex sex, BindRest bindRest) {
  return Commit([&] {
    Statement statement(db_, sql);
    statement.BindGbk(1, name).BindUtf8(2, SexKey(sex));
    bindRest(statement);
    statement.Step();
    return sqlite3_changes(db_) > 0;
  });
}

std::vector<Favourite> FavouritesStore::List() const {
  try {
    std::vector<Favourite> favourites;
    Statement select(db_, std::string("SELECT ") + kColumns + " FROM favourite ORDER BY added, name, sex");
    while (select.Step()) favourites.push_back(ReadRow(select));
    return favourites;
  } catch (const SqlError& error) {
    throw ReadError(path_, error);
  }
}

std::optional<Favourite> FavouritesStore::Find(std::string_view name, Sex sex) const {
  try {
    return Select(db_, name, sex);
  } catch (const SqlError& error) {
    throw ReadError(path_, error);
  }
}

FavouritesStore::Saved FavouritesStore::Save(Favourite favourite) {
  if (auto bad = CheckFavourite(favourite)) {
    throw FavouritesError("不能收藏“" + favourite.name + "”:" + *bad);
  }
  return Commit([&] {
    const auto kept = Select(db_, favourite.name, favourite.sex);
    const std::int64_t now = Now();
    favourite.added = kept ? kept->added : now;
    favourite.changed = now;
    Insert(db_, favourite);
    return kept ? Saved::kChanged : Saved::kAdded;
  });
}

bool FavouritesStore::Remove(std::string_view name, Sex sex) {
  return ChangeOne("DELETE FROM favourite WHERE name = ?1 AND sex = ?2", name, sex, [](Statement&) {});
}

bool FavouritesStore::SetNote(std::string_view name, Sex sex, const std::string& note) {
  if (auto bad = CheckNote(note)) throw FavouritesError(*bad);
  return ChangeOne("UPDATE favourite SET note = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { s.BindGbk(3, note).Bind(4, Now()); });
}

bool FavouritesStore::SetRating(std::string_view name, Sex sex, int rating) {
  if (rating < 0 || rating > kMaxRating) throw FavouritesError("评分 " + std::to_string(rating) + " 不在 0 至 5 之间");
  return ChangeOne("UPDATE favourite SET rating = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { s.Bind(3, rating).Bind(4, Now()); });
}

FavouritesStore::MergeCounts FavouritesStore::Merge(const std::vector<Favourite>& favourites) {
  for (const Favourite& favourite : favourites) {
    if (auto bad = CheckFavourite(favourite)) throw FavouritesError("不能收藏“" + favourite.name + "”:" + *bad);
  }
  return Commit([&] {
    MergeCounts counts;
    const std::int64_t now = Now();
    for (Favourite incoming : favourites) {
      if (incoming.added == 0) incoming.added = now;
      if (incoming.changed == 0) incoming.changed = incoming.added;
      const auto kept = Select(db_, incoming.name, incoming.sex);
      if (kept && (incoming.changed <= kept->changed || *kept == incoming)) {
        ++counts.unchanged;
        continue;
      }
      if (kept) incoming.added = std::min(incoming.added, kept->added);
      Insert(db_, incoming);
      ++(kept ? counts.changed : counts.added);
    }
    return counts;
  });
}

}  // namespace tavrin
