// The store's file on disk: where it lives, the directory above it, the
// copies killed programs left, a new store built whole and linked into
// place, and a damaged one put aside under SQLite's exclusive lock.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "favourites/store_internal.h"

namespace tavrin {

using namespace store_detail;

namespace store_detail {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

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

const char* NotAFileName(const std::string& path) {
  if (path.empty()) return "路径是空的";
  if (path == ":memory:") return "“:memory:”是内存数据库,不是文件";
  std::string head = path.substr(0, 5);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (head == "file:") return "以“file:”开头的是 URI,不是文件名";
  return nullptr;
}

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

}  // namespace store_detail

namespace {

// fsync of the directory that holds `path`, so that a new name in it lasts.
void SyncDirectory(const std::string& path) {
  const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The time a damaged file was put aside, as its name carries it.
std::string AsideStamp(std::int64_t seconds) {
  std::string stamp = FormatUtcTime(seconds);  // 2026-12-09T09:15:00Z
  std::string compact;
  for (const char c : stamp) {
    if (c >= '0' && c <= '9') compact += c;
    if (c == 'T') compact += '-';
  }
  return compact;  // 20261209-091500
}

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

}  // namespace

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
      throw FavouritesError("无法建立存放收藏文件的目录" + QuotedFileName(Utf8Text(part)).Bytes() + ":" +
                            SystemReason(errno).Bytes());
    }
  }
}

void FavouritesStore::CreateStore() {
  // Built whole in a file of its own, then linked into place: of many
  // programs that find no store at once, one links its store and the others
  // find it there.
  std::string temporary = path_ + ".new-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw FavouritesError("无法新建" + Subject(path_) + ":" + SystemReason(errno).Bytes());
  ::close(fd);
  auto removeTemporary = [&] {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((temporary + suffix).c_str());
  };
  try {
    SqliteDb db = SqliteDb::Open(FileUri(temporary), SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, options_.vfs);
    db.Exec("PRAGMA synchronous = FULL");
    {
      SqliteTransaction transaction(db, SqliteTransaction::Kind::kDeferred);
      for (const SchemaStep& step : options_.schema) RunStep(db, step, options_.additions);
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
      if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) != 0 && errno != EEXIST) {
        throw FavouritesError("无法新建" + Subject(path_) + ":" + SystemReason(errno).Bytes());
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
    throw FavouritesError(Subject(path_) + what + ",但无法改名保存(" + SystemReason(errno).Bytes() + "),没有改动它");
  }
  ExclusiveLock lock(path_, options_.vfs);
  if (!lock.Opened()) {
    throw FavouritesError(Subject(path_) + what + ",但无法锁住它(" + SystemReason(EACCES).Bytes() + "),没有改动它");
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
    throw FavouritesError(Subject(path_) + why + ",但无法改名保存(" + SystemReason(errno).Bytes() + "),没有改动它");
  }
  // The journal files belong to the damaged file and go with it; left
  // behind, SQLite would read them into the new store.
  for (const char* suffix : {"-wal", "-shm"}) {
    if (Exists(path_ + suffix) && std::rename((path_ + suffix).c_str(), (aside + suffix).c_str()) != 0) {
      throw FavouritesError(Subject(path_) + why + ",无法把" + QuotedFileName(Utf8Text(path_ + suffix)).Bytes() +
                            "一起改名保存(" + SystemReason(errno).Bytes() + ")");
    }
  }
  SyncDirectory(path_);
  keptAside_ = aside;
  notice_ = Subject(path_) + why + ",已改名保存为" + QuotedFileName(Utf8Text(aside)).Bytes() + ",并新建了空的收藏文件";
}

FavouritesStore::Opened FavouritesStore::CreateMissing() {
  if (errno != ENOENT) throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(errno).Bytes());
  if (options_.readOnly) throw FavouritesError("无法读取" + Subject(path_) + ":" + SystemReason(ENOENT).Bytes());
  if (::access(DirectoryOf(path_).c_str(), W_OK) != 0) {
    throw FavouritesError(
        "无法新建" + Subject(path_) + ":" +
        (errno == ENOENT ? std::string("所在目录不存在") : "所在目录不能写入(" + SystemReason(errno).Bytes() + ")"));
  }
  CreateStore();
  return Opened::kAgain;
}

}  // namespace tavrin
