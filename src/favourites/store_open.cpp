// The store's connection: opening the file (again, while other programs
// replace or make it), SQLite's verdict on it, why it is only read, and
// the settings a writer needs.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "favourites/store_internal.h"

namespace tavrin {

using namespace store_detail;

std::int64_t SystemSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

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

std::string FavouritesStore::ReadOnlyReason(mode_t mode) const {
  if (S_ISDIR(mode)) throw FavouritesError("无法打开" + Subject(path_) + ":" + SystemReason(EISDIR).Bytes());
  if (!S_ISREG(mode)) throw FavouritesError("无法打开" + Subject(path_) + ":不是普通文件");
  if (::access(path_.c_str(), R_OK) != 0) {
    throw FavouritesError("无法读取" + Subject(path_) + ":" + SystemReason(errno).Bytes());
  }
  if (options_.readOnly) return "-";
  if (::access(DirectoryOf(path_).c_str(), W_OK) != 0) return "所在目录不能写入(" + SystemReason(errno).Bytes() + ")";
  if (::access(path_.c_str(), W_OK) != 0) return "不能写入(" + SystemReason(errno).Bytes() + ")";
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

}  // namespace tavrin
