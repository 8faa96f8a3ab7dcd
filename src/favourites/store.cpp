#include "favourites/store.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <map>
#include <memory>
#include <tuple>

#include "base/output_text.h"
#include "chars/gbk.h"
#include "favourites/favourites_text.h"

namespace tavrin {

namespace {

// The family's votes (share/vote_book.h): the members by the names they
// give, and one vote per member and kept name.
#define TAVRIN_VOTE_TABLES                                                                       \
  "CREATE TABLE IF NOT EXISTS member ("                                                          \
  " id INTEGER PRIMARY KEY,"                                                                     \
  " display_name TEXT NOT NULL UNIQUE CHECK (length(display_name) BETWEEN 1 AND 20),"            \
  " joined INTEGER NOT NULL);"                                                                   \
  "CREATE TABLE IF NOT EXISTS vote ("                                                            \
  " member_id INTEGER NOT NULL REFERENCES member (id),"                                          \
  " name TEXT NOT NULL,"                                                                         \
  " sex TEXT NOT NULL CHECK (sex IN ('male', 'female')),"                                        \
  " rating INTEGER NOT NULL CHECK (rating BETWEEN 1 AND 5),"                                     \
  " comment TEXT NOT NULL DEFAULT '' CHECK (length(comment) <= 500),"                            \
  " version INTEGER NOT NULL UNIQUE,"                                                            \
  " changed INTEGER NOT NULL,"                                                                   \
  " PRIMARY KEY (member_id, name, sex));"
constexpr char kVoteTables[] = TAVRIN_VOTE_TABLES;

// The advice in columns: its 推荐度 beside the favourite (NULL: none), and
// its warnings in order. The JSON column stays: it is the advice whole, as
// the exchange files carry it.
#define TAVRIN_ADVICE_COLUMNS                                                                    \
  "ALTER TABLE favourite ADD COLUMN recommend INTEGER;"                                          \
  "CREATE TABLE favourite_warning ("                                                             \
  " name TEXT NOT NULL, sex TEXT NOT NULL, position INTEGER NOT NULL,"                           \
  " kind TEXT NOT NULL, severity TEXT NOT NULL, text TEXT NOT NULL,"                             \
  " PRIMARY KEY (name, sex, position));"

void FillAdviceColumns(const SqliteDb& db);

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
    // The surname's length in the run that made the name; 0: not known.
    {2, "ALTER TABLE favourite ADD COLUMN surname INTEGER NOT NULL DEFAULT 0 CHECK (surname BETWEEN 0 AND 2)"},
    {3, TAVRIN_VOTE_TABLES TAVRIN_ADVICE_COLUMNS, &FillAdviceColumns},
};
#undef TAVRIN_ADVICE_COLUMNS
#undef TAVRIN_VOTE_TABLES

constexpr char kColumns[] =
    "name, sex, birth_year, birth_month, birth_day, birth_hour, score, advice, note, rating, origin, poem, added, "
    "changed";
// The columns a store of this layout is read by. Stores read without being
// brought up to date (opened read-only) keep their own layout: the first
// knows no surname length (read as 0, not known); the advice's own columns
// come with kVotesSchemaVersion (earlier stores have only the JSON).
std::string Columns(int version) {
  return std::string(kColumns) + (version >= 2 ? ", surname" : ", 0") +
         (version >= kVotesSchemaVersion ? ", recommend" : "");
}

using Statement = SqliteStatement;

// SQLite took no row of a write (a constraint that ignores it); turned into
// a FavouritesError that says so.
constexpr int kSwallowed = -1;
SqliteError Swallowed() { return SqliteError(SqliteError::Stage::kStep, kSwallowed, ""); }

Statement& BindGbk(Statement& statement, int index, std::string_view gbk) {
  return statement.Bind(index, StoredText(gbk));
}

std::string Gbk(const Statement& row, int column) { return HeldText(row.TextView(column)); }

Favourite ReadRow(const Statement& row, bool typed) {
  Favourite f;
  f.name = Gbk(row, 0);
  f.sex = SexFromKey(row.Text(1)).value_or(Sex::kMale);
  f.year = static_cast<int>(row.Int(2));
  f.month = static_cast<int>(row.Int(3));
  f.day = static_cast<int>(row.Int(4));
  f.hour = static_cast<int>(row.Int(5));
  f.score = static_cast<int>(row.Int(6));
  if (!row.IsNull(7)) {
    // The warnings are read apart (ReadWarnings).
    if (typed) {
      f.advice = KeptAdvice{row.IsNull(15) ? -1 : static_cast<int>(row.Int(15)), {}, row.Text(7)};
    } else {
      f.advice = ReadKeptAdvice(row.Text(7));
    }
  }
  f.note = Gbk(row, 8);
  f.rating = static_cast<int>(row.Int(9));
  f.origin = Gbk(row, 10);
  f.poem = Gbk(row, 11);
  f.added = row.Int(12);
  f.changed = row.Int(13);
  f.surnameLength = static_cast<int>(row.Int(14));
  return f;
}

// The columns of each part of a favourite, in the order of kColumns.
struct FieldColumns {
  unsigned field;
  std::initializer_list<const char*> columns;
};
const FieldColumns kFieldColumns[] = {
    {kFieldBirth, {"birth_year", "birth_month", "birth_day", "birth_hour"}},
    {kFieldScore, {"score"}},
    {kFieldAdvice, {"advice", "recommend"}},
    {kFieldNote, {"note"}},
    {kFieldRating, {"rating"}},
    {kFieldOrigin, {"origin", "poem"}},
    {kFieldAdded, {"added"}},
    {kFieldChanged, {"changed"}},
    {kFieldSurname, {"surname"}},
};

// Binds the values of the parts in `fields` to ?3, ?4, ... in the order of
// kFieldColumns.
// The times are given apart, so that a favourite is written with other times
// without a copy.
struct Times {
  std::int64_t added, changed;
};

void BindFields(Statement& statement, const Favourite& f, unsigned fields, Times times, bool typed) {
  int at = 3;
  auto number = [&](std::int64_t value) { statement.Bind(at++, value); };
  auto text = [&](const std::string& gbk) { BindGbk(statement, at++, gbk); };
  if (fields & kFieldBirth) {
    for (const int value : {f.year, f.month, f.day, f.hour}) number(value);
  }
  if (fields & kFieldScore) number(f.score);
  if (fields & kFieldAdvice) {
    if (f.advice) {
      statement.Bind(at++, f.advice->json);
    } else {
      statement.BindNull(at++);
    }
    if (typed) {
      if (f.advice && f.advice->recommend >= 0) {
        statement.Bind(at++, f.advice->recommend);
      } else {
        statement.BindNull(at++);
      }
    }
  }
  if (fields & kFieldNote) text(f.note);
  if (fields & kFieldRating) number(f.rating);
  if (fields & kFieldOrigin) text(f.origin), text(f.poem);
  if (fields & kFieldAdded) number(times.added);
  if (fields & kFieldChanged) number(times.changed);
  if (fields & kFieldSurname) number(f.surnameLength);
}

// INSERT of a whole favourite, or UPDATE of the parts in `fields` of the
// one kept under ?1 name and ?2 sex.
std::string WriteSql(bool insert, unsigned fields, bool typed) {
  std::string names, values;
  int at = 3;
  for (const auto& [field, columns] : kFieldColumns) {
    if (!(fields & field)) continue;
    for (const char* column : columns) {
      if (!typed && std::string_view(column) == "recommend") continue;
      names += std::string(names.empty() ? "" : ", ") + column + (insert ? "" : " = ?" + std::to_string(at));
      values += ", ?" + std::to_string(at++);
    }
  }
  // A favourite kept already is left as it is; the caller learns of it from
  // the count of changes.
  if (insert) {
    return "INSERT INTO favourite (name, sex, " + names + ") VALUES (?1, ?2" + values + ") ON CONFLICT DO NOTHING";
  }
  return "UPDATE favourite SET " + names + " WHERE name = ?1 AND sex = ?2";
}

// The rows of the kept advice's warnings, written in place of the ones a
// favourite had.
class WarningRows {
 public:
  explicit WarningRows(const SqliteDb& db)
      : clear_(db.Prepare("DELETE FROM favourite_warning WHERE name = ?1 AND sex = ?2")),
        add_(db.Prepare("INSERT INTO favourite_warning (name, sex, position, kind, severity, text)"
                        " VALUES (?1, ?2, ?3, ?4, ?5, ?6)")) {}
  // `name` as the store keeps it (UTF-8); no advice: no warnings.
  void Replace(std::string_view name, std::string_view sex, const std::optional<KeptAdvice>& advice) {
    clear_.Reset();
    clear_.Bind(1, name).Bind(2, sex).Step();
    if (!advice) return;
    std::int64_t position = 0;
    for (const KeptWarning& w : advice->warnings) {
      add_.Reset();
      add_.Bind(1, name).Bind(2, sex).Bind(3, position++).Bind(4, w.kind).Bind(5, w.severity).Bind(6, w.text);
      add_.Step();
    }
  }

 private:
  Statement clear_, add_;
};

// The advice's columns of a store brought to kVotesSchemaVersion, read from
// the JSON it kept.
void FillAdviceColumns(const SqliteDb& db) {
  struct Kept {
    std::string name, sex;
    KeptAdvice advice;
  };
  std::vector<Kept> kept;
  {
    Statement select = db.Prepare("SELECT name, sex, advice FROM favourite WHERE advice IS NOT NULL");
    while (select.Step()) kept.push_back({select.Text(0), select.Text(1), ReadKeptAdvice(select.Text(2))});
  }
  Statement update = db.Prepare("UPDATE favourite SET recommend = ?3 WHERE name = ?1 AND sex = ?2");
  WarningRows warnings(db);
  for (const Kept& k : kept) {
    update.Reset();
    update.Bind(1, k.name).Bind(2, k.sex);
    if (k.advice.recommend >= 0) {
      update.Bind(3, k.advice.recommend);
    } else {
      update.BindNull(3);
    }
    update.Step();
    warnings.Replace(k.name, k.sex, k.advice);
  }
}

// The write of one favourite, prepared once for many.
class Writer {
 public:
  Writer(const SqliteDb& db, bool typed) : db_(db), typed_(typed) {}
  // Writes the favourite: the parts in `fields` of the one kept, or all of
  // a new one. Throws SqliteError when the database took no row (a constraint
  // that ignores the write, or a new one kept already).
  void Write(const Favourite& f, bool kept, unsigned fields) {
    if (!TryWrite(f, kept, fields, {f.added, f.changed})) throw Swallowed();
  }
  // False when the database took no row.
  bool TryWrite(const Favourite& f, bool kept, unsigned fields, Times times) {
    if (!kept) fields = kAllFields;
    auto& statement = statements_[kept ? fields : kAllFields + 1];
    if (!statement.get()) statement = db_.Prepare(WriteSql(!kept, fields, typed_));
    statement.Reset();
    const std::string name = StoredText(f.name);
    statement.Bind(1, name).Bind(2, SexKey(f.sex));
    BindFields(statement, f, fields, times, typed_);
    statement.Step();
    if (db_.Changes() != 1) return false;
    if (typed_ && (fields & kFieldAdvice)) {
      if (!warnings_) warnings_.emplace(db_);
      warnings_->Replace(name, SexKey(f.sex), f.advice);
    }
    return true;
  }

 private:
  const SqliteDb& db_;
  bool typed_;
  std::map<unsigned, Statement> statements_;
  std::optional<WarningRows> warnings_;
};

// `kept` with the parts of `given` that `fields` names.
Favourite Overlay(Favourite kept, const Favourite& given, unsigned fields) {
  if (fields & kFieldBirth) std::tie(kept.year, kept.month, kept.day, kept.hour) =
      std::tie(given.year, given.month, given.day, given.hour);
  if (fields & kFieldScore) kept.score = given.score;
  if (fields & kFieldAdvice) kept.advice = given.advice;
  if (fields & kFieldNote) kept.note = given.note;
  if (fields & kFieldRating) kept.rating = given.rating;
  if (fields & kFieldOrigin) std::tie(kept.origin, kept.poem) = std::tie(given.origin, given.poem);
  if (fields & kFieldAdded) kept.added = given.added;
  if (fields & kFieldChanged) kept.changed = given.changed;
  if (fields & kFieldSurname) kept.surnameLength = given.surnameLength;
  kept.fields = kAllFields;
  return kept;
}

// The same advice: the same, or the same JSON written otherwise.
bool SameAdvice(const std::optional<KeptAdvice>& a, const std::optional<KeptAdvice>& b) {
  if (a == b) return true;
  if (!a || !b) return false;
  const auto left = nlohmann::json::parse(a->json, nullptr, false);
  const auto right = nlohmann::json::parse(b->json, nullptr, false);
  return !left.is_discarded() && left == right;
}

// The same favourite but for the times.
bool SameContent(const Favourite& a, const Favourite& b) {
  auto content = [](const Favourite& f) {
    return std::tie(f.name, f.sex, f.year, f.month, f.day, f.hour, f.score, f.note, f.rating, f.origin, f.poem,
                    f.surnameLength);
  };
  return content(a) == content(b) && SameAdvice(a.advice, b.advice);
}

constexpr const char* kSelectOne = "FROM favourite WHERE name = ?1 AND sex = ?2";

// Reads kept favourites, with their advice's warnings when the store has
// them in rows of their own (`typed`); each query prepared once.
class Reader {
 public:
  Reader(const SqliteDb& db, int version) : db_(db), version_(version), typed_(version >= kVotesSchemaVersion) {}

  std::optional<Favourite> Find(std::string_view name, Sex sex) {
    if (!one_.get()) one_ = db_.Prepare("SELECT " + Columns(version_) + " " + kSelectOne);
    one_.Reset();
    const std::string stored = StoredText(name);
    one_.Bind(1, stored).Bind(2, SexKey(sex));
    if (!one_.Step()) return std::nullopt;
    Favourite f = ReadRow(one_, typed_);
    one_.Reset();  // no reading left open while the caller writes
    if (typed_ && f.advice) {
      if (!warnings_.get()) {
        warnings_ = db_.Prepare(
            "SELECT kind, severity, text FROM favourite_warning WHERE name = ?1 AND sex = ?2 ORDER BY position");
      }
      warnings_.Reset();
      warnings_.Bind(1, stored).Bind(2, SexKey(sex));
      while (warnings_.Step()) f.advice->warnings.push_back({warnings_.Text(0), warnings_.Text(1), warnings_.Text(2)});
    }
    return f;
  }

  // Every favourite, the oldest first.
  std::vector<Favourite> All() const {
    std::map<std::pair<std::string, std::string>, std::vector<KeptWarning>> warnings;
    if (typed_) {
      Statement all =
          db_.Prepare("SELECT name, sex, kind, severity, text FROM favourite_warning ORDER BY name, sex, position");
      while (all.Step()) warnings[{all.Text(0), all.Text(1)}].push_back({all.Text(2), all.Text(3), all.Text(4)});
    }
    std::vector<Favourite> favourites;
    Statement select = db_.Prepare("SELECT " + Columns(version_) + " FROM favourite ORDER BY added, name, sex");
    while (select.Step()) {
      Favourite f = ReadRow(select, typed_);
      if (f.advice && !warnings.empty()) {
        const auto found = warnings.find({select.Text(0), select.Text(1)});
        if (found != warnings.end()) f.advice->warnings = std::move(found->second);
      }
      favourites.push_back(std::move(f));
    }
    return favourites;
  }

 private:
  const SqliteDb& db_;
  int version_;
  bool typed_;
  Statement one_, warnings_;
};

// The reason of a failed SQLite call: its meaning, then SQLite's own words.
std::string SqlReason(const SqliteError& error) {
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
    if (error.Primary() == code) meaning = text;
  }
  return meaning + "(" + MessageText(error.what()) + ")";
}

std::string Subject(const std::string& path) { return "收藏文件" + QuotedFileName(path); }

FavouritesError WriteError(const std::string& path, const SqliteError& error) {
  if (error.code == kSwallowed) {
    return FavouritesError("无法保存到" + Subject(path) +
                           ":数据库没有收下这次写入(表上有忽略写入的约束);这次修改没有保存");
  }
  return FavouritesError("无法保存到" + Subject(path) + ":" + SqlReason(error) + ";这次修改没有保存");
}

FavouritesError ReadError(const std::string& path, const SqliteError& error) {
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

// The unfinished copies that programs killed while building a new store left
// beside it (path.new-XXXXXX, with their journal files), once they are older
// than any build takes; a copy being built now is left alone.
void RemoveStaleCopies(const std::string& path, std::int64_t now) {
  constexpr std::int64_t kOlderThan = 600;  // seconds; a build takes milliseconds
  const std::string directory = DirectoryOf(path);
  const std::size_t slash = path.rfind('/');
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".new-";
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), &::closedir);
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string file = directory + "/" + std::string(name);
    struct stat st;
    if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > kOlderThan) {
      ::unlink(file.c_str());
    }
  }
}

// A path SQLite would read as something other than a file: an in-memory
// database or a URI. nullptr when it is a file name.
const char* NotAFileName(const std::string& path) {
  if (path.empty()) return "路径是空的";
  if (path == ":memory:") return "“:memory:”是内存数据库,不是文件";
  std::string head = path.substr(0, 5);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (head == "file:") return "以“file:”开头的是 URI,不是文件名";
  return nullptr;
}

// fsync of the directory that holds `path`, so that a new name in it lasts.
void SyncDirectory(const std::string& path) {
  const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A file name as a file: URI, every byte but the unreserved ones and "/"
// percent-encoded, so that SQLite reads no part of it as anything else.
std::string FileUri(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = path.starts_with('/') ? "file://" : "file:";
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

const char* VoteTablesSql() { return kVoteTables; }

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

namespace {

// SQLite's own exclusive lock on a database file, taken through its file
// layer as a writer takes it: while it is held no other connection, in this
// process or another, has the file open in WAL mode or reads it.
class ExclusiveLock {
 public:
  ExclusiveLock(const std::string& path, const char* vfs) {
    try {
      db_ = SqliteDb::Open(FileUri(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, vfs);
    } catch (const SqliteError&) {
      return;
    }
    // Closing reads and writes nothing: no checkpoint into a damaged file.
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // A file SQLite could open only for reading cannot take a write lock.
    if (sqlite3_db_readonly(db_.get(), "main") != 0 ||
        sqlite3_file_control(db_.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file_) != SQLITE_OK || !file_ ||
        !file_->pMethods) {
      file_ = nullptr;
    }
  }
  ~ExclusiveLock() {
    if (held_) file_->pMethods->xUnlock(file_, SQLITE_LOCK_NONE);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  bool Opened() const { return file_ != nullptr; }
  // Tries for `waitMs` milliseconds.
  bool Take(int waitMs) {
    if (!file_) return false;
    for (int waited = 0;; waited += 10) {
      const auto& io = *file_->pMethods;
      if (io.xLock(file_, SQLITE_LOCK_SHARED) == SQLITE_OK && io.xLock(file_, SQLITE_LOCK_RESERVED) == SQLITE_OK &&
          io.xLock(file_, SQLITE_LOCK_EXCLUSIVE) == SQLITE_OK) {
        return held_ = true;
      }
      io.xUnlock(file_, SQLITE_LOCK_NONE);
      if (waited >= waitMs) return false;
      ::usleep(10000);
    }
  }

 private:
  SqliteDb db_;
  sqlite3_file* file_ = nullptr;
  bool held_ = false;
};

// The tables of a store made before stores were marked as ours: the first
// layout, exactly as this program wrote it.
bool FirstLayout(const SqliteDb& db) {
  Statement objects = db.Prepare("SELECT type, name, sql FROM sqlite_master ORDER BY type, name");
  const std::pair<std::string, std::string> expected[] = {{"index", "sqlite_autoindex_favourite_1"},
                                                         {"table", "favourite"}};
  std::size_t at = 0;
  while (objects.Step()) {
    if (at == std::size(expected) || objects.TextView(0) != expected[at].first ||
        objects.TextView(1) != expected[at].second)
      return false;
    if (at == 1 && objects.TextView(2) != kSchema[0].sql) return false;
    ++at;
  }
  return at == std::size(expected);
}

std::int64_t PragmaInt(const SqliteDb& db, const char* pragma) { return db.QueryInt(std::string("PRAGMA ") + pragma); }

}  // namespace

FavouritesStore::FavouritesStore(std::string path, StoreOptions options)
    : path_(std::move(path)), options_(std::move(options)) {
  if (!options_.clock) options_.clock = SystemSeconds;
  if (const char* why = NotAFileName(path_)) throw FavouritesError("无法打开" + Subject(path_) + ":" + why);
  try {
    // A store another program replaces or makes meanwhile is opened again.
    for (int attempt = 0;; ++attempt) {
      if (OpenOnce() == Opened::kReady) break;
      if (attempt == 20) throw FavouritesError("无法打开" + Subject(path_) + ":它不断被别的程序换掉");
    }
  } catch (const SqliteError& error) {
    Close();
    throw FavouritesError("无法打开" + Subject(path_) + ":" + SqlReason(error));
  } catch (...) {
    Close();
    throw;
  }
}

FavouritesStore::~FavouritesStore() { Close(); }

void FavouritesStore::Close() {
  if (!db_) return;
  // A reading that took the whole file for itself made the journal files
  // it found missing; no one else can be using them, and they go: the -shm
  // (an index, a few bytes) whatever its size, the -wal only while it holds
  // nothing.
  for (const std::string& stray : strays_) {
    struct stat st;
    if (::stat(stray.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_size == 0 || stray.ends_with("-shm"))) {
      ::unlink(stray.c_str());
    }
  }
  strays_.clear();
  db_ = SqliteDb();
}

std::int64_t FavouritesStore::Now() const { return options_.clock(); }

void FavouritesStore::Connect(bool writable, bool heapIndex) {
  Close();
  // SQLite's exclusive lock is a write lock, which needs the file open for
  // writing; query_only and no checkpoint on closing keep it unwritten.
  int flags = (writable || heapIndex ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_URI;
  std::string name = FileUri(path_);
  // Reading a WAL store needs its shared-memory file; where that can be
  // neither found nor made (a directory that cannot be written), the file
  // is read as it stands, which no one can change there.
  if (!writable && !Exists(path_ + "-shm") && ::access(DirectoryOf(path_).c_str(), W_OK) != 0) {
    name += "?immutable=1";
  }
  db_ = SqliteDb::Open(name, flags, options_.vfs);
  sqlite3_extended_result_codes(db_.get(), 1);
  db_.WaitWhenBusy(options_.busyTimeoutMs);
  db_.RunNothingFromTheFile();
  // The index of the WAL in this program's memory instead of the -shm file
  // (which a full disk may not let grow); SQLite then holds the file
  // exclusively while it is open.
  if (heapIndex) {
    db_.Exec("PRAGMA locking_mode = EXCLUSIVE");
    if (!writable) db_.Exec("PRAGMA query_only = 1");
    sqlite3_db_config(db_.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  }
}

void FavouritesStore::CreateStore() {
  // Built whole in a file of its own, then linked into place: of many
  // programs that find no store at once, one links its store and the others
  // find it there.
  std::string temporary = path_ + ".new-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw FavouritesError("无法新建" + Subject(path_) + ":" + SystemReason(errno));
  ::close(fd);
  auto removeTemporary = [&] {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((temporary + suffix).c_str());
  };
  try {
    SqliteDb db = SqliteDb::Open(FileUri(temporary), SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, options_.vfs);
    db.Exec("PRAGMA synchronous = FULL");
    {
      SqliteTransaction transaction(db, SqliteTransaction::Kind::kDeferred);
      for (const SchemaStep& step : options_.schema) {
        db.Exec(step.sql);
        if (step.fill) step.fill(db);
      }
      const int latest = options_.schema.empty() ? 0 : options_.schema.back().version;
      db.Exec("PRAGMA application_id = " + std::to_string(kFavouritesApplicationId));
      db.Exec("PRAGMA user_version = " + std::to_string(latest));
      transaction.Commit();
    }
    db.Exec("PRAGMA journal_mode = WAL");
    if (const int rc = db.Close(); rc != SQLITE_OK) {
      throw SqliteError(SqliteError::Stage::kClose, rc, sqlite3_errstr(rc));
    }
    if (::link(temporary.c_str(), path_.c_str()) != 0 && errno != EEXIST) {
      // A file system without hard links: a rename that replaces nothing.
      if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) != 0 &&
          errno != EEXIST) {
        throw FavouritesError("无法新建" + Subject(path_) + ":" + SystemReason(errno));
      }
    }
    SyncDirectory(path_);
  } catch (...) {
    removeTemporary();
    throw;
  }
  removeTemporary();
}

void FavouritesStore::ReplaceLocked(const std::string& why) {
  Close();
  struct stat before, after;
  if (::stat(path_.c_str(), &before) != 0) return;  // gone meanwhile: open again
  const std::string what = why.empty() ? "是空文件" : why;
  if (::access(DirectoryOf(path_).c_str(), W_OK) != 0) {
    throw FavouritesError(Subject(path_) + what + ",但无法改名保存(" + SystemReason(errno) + "),没有改动它");
  }
  ExclusiveLock lock(path_, options_.vfs);
  if (!lock.Opened()) {
    throw FavouritesError(Subject(path_) + what + ",但无法锁住它(" + SystemReason(EACCES) + "),没有改动它");
  }
  if (!lock.Take(options_.busyTimeoutMs)) {
    throw FavouritesError(Subject(path_) + what + ",但另一个程序正打开着它,没有改动它");
  }
  // Another program may have put a store in its place since it was read.
  if (::stat(path_.c_str(), &after) != 0 || !SameFile(before, after)) return;
  if (why.empty()) {
    // An empty file: the new store takes its place.
    if (after.st_size != 0) return;
    ::unlink(path_.c_str());
    CreateStore();
    return;
  }
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
  SyncDirectory(path_);
  keptAside_ = aside;
  notice_ = Subject(path_) + why + ",已改名保存为" + QuotedFileName(aside) + ",并新建了空的收藏文件";
}

FavouritesStore::Opened FavouritesStore::CreateMissing() {
  if (errno != ENOENT) throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(errno));
  if (options_.readOnly) throw FavouritesError("无法读取" + Subject(path_) + ":" + SystemReason(ENOENT));
  if (::access(DirectoryOf(path_).c_str(), W_OK) != 0) {
    throw FavouritesError(
        "无法新建" + Subject(path_) + ":" +
        (errno == ENOENT ? std::string("所在目录不存在") : "所在目录不能写入(" + SystemReason(errno) + ")"));
  }
  CreateStore();
  return Opened::kAgain;
}

std::string FavouritesStore::ReadOnlyReason(mode_t mode) const {
  if (S_ISDIR(mode)) throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(EISDIR));
  if (!S_ISREG(mode)) throw FavouritesError("无法打开" + Subject(path_) + ":不是普通文件");
  if (::access(path_.c_str(), R_OK) != 0) {
    throw FavouritesError("无法读取" + Subject(path_) + ":" + SystemReason(errno));
  }
  if (options_.readOnly) return "-";
  if (::access(DirectoryOf(path_).c_str(), W_OK) != 0) return "所在目录不能写入(" + SystemReason(errno) + ")";
  if (::access(path_.c_str(), W_OK) != 0) return "不能写入(" + SystemReason(errno) + ")";
  return {};
}

std::optional<std::int64_t> FavouritesStore::CheckedPages() {
  const bool hadWal = Exists(path_ + "-wal"), hadShm = Exists(path_ + "-shm");
  // SQLite's own verdict on the file, read under its locks: a file cut short
  // by a checkpoint that a kill stopped is whole with its WAL.
  for (bool heapIndex : {false, true}) {
    try {
      Connect(!readOnly_, heapIndex);
      if (heapIndex) {
        if (!hadWal) strays_.push_back(path_ + "-wal");
        if (!hadShm) strays_.push_back(path_ + "-shm");
      }
      Statement check = db_.Prepare("PRAGMA quick_check");
      const bool ok = check.Step() && check.TextView(0) == "ok";
      if (!ok) throw SqliteError(SqliteError::Stage::kStep, SQLITE_CORRUPT, "quick_check: " + check.Text(0));
      return PragmaInt(db_, "page_count");
    } catch (const SqliteError& error) {
      const int code = error.Primary();
      // A full disk that stops the -shm file from growing: a reading takes
      // the file for itself and keeps the WAL's index in memory.
      if (options_.readOnly && !heapIndex && (code == SQLITE_FULL || code == SQLITE_IOERR)) continue;
      if (code != SQLITE_CORRUPT && code != SQLITE_NOTADB) throw;
      if (options_.readOnly) throw ReadError(path_, error);
      ReplaceLocked(code == SQLITE_NOTADB ? "不是 SQLite 数据库" : "已损坏");
      return std::nullopt;
    }
  }
  return 0;
}

void FavouritesStore::SetUpForWriting() {
  db_.Exec("PRAGMA synchronous = FULL");
  // Room for a large import's pages (up to 64 MiB, taken only as used):
  // a transaction that outgrows the cache writes and reads them again.
  db_.Exec("PRAGMA cache_size = -65536");
  bool wal = true;
  {
    // Read and done with before the mode may change: a statement still
    // running would hold the change off.
    Statement mode = db_.Prepare("PRAGMA journal_mode");
    wal = !mode.Step() || mode.TextView(0) == "wal";
  }
  if (!wal) db_.Exec("PRAGMA journal_mode = WAL");
}

FavouritesStore::Opened FavouritesStore::OpenOnce() {
  Close();
  struct stat st;
  if (::stat(path_.c_str(), &st) != 0) return CreateMissing();
  readOnlyReason_ = ReadOnlyReason(st.st_mode);
  readOnly_ = !readOnlyReason_.empty();
  if (!readOnly_) RemoveStaleCopies(path_, Now());
  const std::optional<std::int64_t> pages = CheckedPages();
  if (!pages) return Opened::kAgain;
  if (*pages == 0) {
    // SQLite reads a file shorter than a page as an empty database: an empty
    // file (made by hand, or by a program that stopped before its store was
    // whole) becomes a new store, a few bytes of something else are no
    // database.
    const char* why = st.st_size == 0 ? "" : "不是 SQLite 数据库";
    if (options_.readOnly) throw FavouritesError("无法读取" + Subject(path_) + ":" + (*why ? why : "文件是空的"));
    ReplaceLocked(why);
    return Opened::kAgain;
  }
  CheckOwnership();

  const int latest = options_.schema.empty() ? 0 : options_.schema.back().version;
  if (version_ > latest) {
    readOnly_ = true;
    readOnlyReason_ = "由较新版本的程序写成(格式版本 " + std::to_string(version_) + ",本程序只认识到版本 " +
                      std::to_string(latest) + ")";
    if (!options_.readOnly) Connect(false);
  }
  if (!readOnly_) SetUpForWriting();
  if (!readOnly_ && (version_ < latest || legacy_)) Migrate();
  if (readOnly_ && readOnlyReason_ != "-") {
    notice_ += (notice_.empty() ? "" : "\n") + Subject(path_) + readOnlyReason_ + ",已只读打开,不能修改";
  }
  return Opened::kReady;
}

void FavouritesStore::CheckOwnership() {
  const std::int64_t id = PragmaInt(db_, "application_id");
  version_ = static_cast<int>(PragmaInt(db_, "user_version"));
  legacy_ = id == 0 && version_ == 1 && FirstLayout(db_);
  if ((id == kFavouritesApplicationId && version_ >= 1) || legacy_) return;
  throw FavouritesError(Subject(path_) + "是别的程序的 SQLite 数据库,不是收藏文件;没有改动它");
}

void FavouritesStore::Migrate() {
  if (legacy_) {
    // A store of the first layout, made before stores were marked: marked now.
    try {
      SqliteTransaction transaction(db_);
      db_.Exec("PRAGMA application_id = " + std::to_string(kFavouritesApplicationId));
      transaction.Commit();
    } catch (const SqliteError& error) {
      throw FavouritesError("无法打开" + Subject(path_) + ":" + SqlReason(error));
    }
    legacy_ = false;
  }
  for (const SchemaStep& step : options_.schema) {
    if (step.version <= version_) continue;
    try {
      SqliteTransaction transaction(db_);
      // Another program may have brought the file up to date meanwhile.
      if (PragmaInt(db_, "user_version") < step.version) {
        db_.Exec(step.sql);
        if (step.fill) step.fill(db_);
        db_.Exec("PRAGMA user_version = " + std::to_string(step.version));
      }
      transaction.Commit();
    } catch (const SqliteError& error) {
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
    SqliteTransaction transaction(db_);
    auto result = change();
    transaction.Commit();
    return result;
  } catch (const SqliteError& error) {
    throw WriteError(path_, error);
  }
}

template <typename BindRest>
bool FavouritesStore::ChangeOne(const char* sql, std::string_view name, Sex sex, BindRest bindRest, bool removes) {
  return Commit([&] {
    if (!Reader(db_, version_).Find(name, sex)) return false;
    Statement statement = db_.Prepare(sql);
    BindGbk(statement, 1, name).Bind(2, SexKey(sex));
    bindRest(statement);
    statement.Step();
    if (db_.Changes() != 1) throw Swallowed();
    if (removes && Typed()) WarningRows(db_).Replace(StoredText(name), SexKey(sex), std::nullopt);
    return true;
  });
}

std::vector<Favourite> FavouritesStore::List() const {
  try {
    return Reader(db_, version_).All();
  } catch (const SqliteError& error) {
    throw ReadError(path_, error);
  }
}

std::optional<Favourite> FavouritesStore::Find(std::string_view name, Sex sex) const {
  try {
    return Reader(db_, version_).Find(name, sex);
  } catch (const SqliteError& error) {
    throw ReadError(path_, error);
  }
}

FavouritesStore::Saved FavouritesStore::Save(Favourite favourite) {
  auto refuse = [](const Favourite& f, const std::string& why) {
    return FavouritesError("不能收藏“" + EscapeControlBytes(f.name) + "”:" + why);
  };
  if (auto bad = CheckFullName(favourite.name)) throw refuse(favourite, *bad);
  if (favourite.fields == kAllFields) {
    if (auto bad = CheckFavourite(favourite)) throw refuse(favourite, *bad);
  }
  return Commit([&] {
    Reader reader(db_, version_);
    const auto kept = reader.Find(favourite.name, favourite.sex);
    const std::int64_t now = Now();
    const unsigned fields = (favourite.fields & ~(kFieldAdded | kFieldChanged)) | kFieldChanged;
    favourite.changed = now;
    Favourite written = kept ? Overlay(*kept, favourite, fields) : favourite;
    written.added = kept ? kept->added : now;
    written.fields = kAllFields;
    if (auto bad = CheckFavourite(written)) throw refuse(written, *bad);
    Writer(db_, Typed()).Write(written, kept.has_value(), fields);
    // What the database holds now is what was written, or nothing is.
    const auto stored = reader.Find(written.name, written.sex);
    if (!stored || !SameContent(*stored, written)) throw Swallowed();
    return kept ? Saved::kChanged : Saved::kAdded;
  });
}

bool FavouritesStore::Remove(std::string_view name, Sex sex) {
  return ChangeOne("DELETE FROM favourite WHERE name = ?1 AND sex = ?2", name, sex, [](Statement&) {}, true);
}

std::size_t FavouritesStore::Remove(const std::vector<Favourite>& favourites) {
  return Commit([&] {
    std::size_t removed = 0;
    Statement statement = db_.Prepare("DELETE FROM favourite WHERE name = ?1 AND sex = ?2");
    std::optional<WarningRows> warnings;
    if (Typed()) warnings.emplace(db_);
    for (const Favourite& f : favourites) {
      const std::string name = StoredText(f.name);
      statement.Bind(1, name).Bind(2, SexKey(f.sex));
      statement.Step();
      removed += static_cast<std::size_t>(db_.Changes());
      statement.Reset();
      if (warnings) warnings->Replace(name, SexKey(f.sex), std::nullopt);
    }
    return removed;
  });
}

bool FavouritesStore::SetNote(std::string_view name, Sex sex, const std::string& note) {
  if (auto bad = CheckNote(note)) throw FavouritesError(*bad);
  return ChangeOne("UPDATE favourite SET note = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { BindGbk(s, 3, note).Bind(4, Now()); });
}

bool FavouritesStore::SetRating(std::string_view name, Sex sex, int rating) {
  if (rating < 0 || rating > kMaxRating) throw FavouritesError("评分 " + std::to_string(rating) + " 不在 0 至 5 之间");
  return ChangeOne("UPDATE favourite SET rating = ?3, changed = ?4 WHERE name = ?1 AND sex = ?2", name, sex,
                   [&](Statement& s) { s.Bind(3, rating).Bind(4, Now()); });
}

FavouritesStore::MergeCounts FavouritesStore::Merge(const std::vector<Favourite>& favourites) {
  for (const Favourite& favourite : favourites) {
    if (auto bad = CheckFavourite(favourite)) throw FavouritesError("不能收藏“" + EscapeControlBytes(favourite.name) + "”:" + *bad);
  }
  return Commit([&] {
    MergeCounts counts;
    const std::int64_t now = Now();
    Reader reader(db_, version_);
    Writer writer(db_, Typed());
    for (const Favourite& incoming : favourites) {
      const unsigned given = incoming.fields;
      // No time may lie ahead of now: a file's clock running fast would
      // otherwise beat every later change.
      const std::int64_t added = given & kFieldAdded && incoming.added != 0 ? std::min(incoming.added, now) : now;
      const std::int64_t changed =
          given & kFieldChanged && incoming.changed != 0 ? std::min(incoming.changed, now) : 0;
      // Most of an import is new: added at once, and only one kept already
      // is read.
      if (writer.TryWrite(incoming, false, kAllFields, {added, std::max(changed, added)})) {
        ++counts.added;
        continue;
      }
      const auto kept = reader.Find(incoming.name, incoming.sex);
      if (!kept) throw Swallowed();
      // An entry without its time of change is not known to be later.
      if (changed <= kept->changed) {
        ++counts.unchanged;
        continue;
      }
      Favourite merged = Overlay(*kept, incoming, given & ~(kFieldAdded | kFieldChanged));
      if (SameContent(merged, *kept)) {
        ++counts.unchanged;
        continue;
      }
      merged.changed = changed;
      merged.added = std::min(added, kept->added);
      writer.Write(merged, true, (given & ~kFieldAdded) | kFieldChanged | kFieldAdded);
      ++counts.changed;
    }
    return counts;
  });
}

}  // namespace tavrin
