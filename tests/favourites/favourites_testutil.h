// Helpers of the favourites tests: a store of three favourites, a file layer
// whose disk can be made full, and running a step as the user nobody.
#pragma once

#include <grp.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "favourites/store.h"

namespace tavrin::test {

inline constexpr std::int64_t kTestNow = 1796807700;  // 2026-12-09 09:15:00 UTC

inline StoreOptions FixedClock() {
  StoreOptions options;
  options.clock = [] { return kTestNow; };
  return options;
}

inline Favourite Named(const std::string& name, Sex sex = Sex::kMale, int rating = 0, std::string note = {}) {
  Favourite f;
  f.name = GbkText(name);
  f.sex = sex;
  f.score = 90;
  f.rating = rating;
  f.note = GbkText(std::move(note));
  return f;
}

inline void MakeStore(const std::string& path) {
  FavouritesStore store(path, FixedClock());
  store.Merge({Named("张伟", Sex::kMale, 5, "奶奶喜欢"), Named("李静", Sex::kFemale, 3), Named("欧阳修文")});
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "ok", or what PRAGMA integrity_check or opening says of the file.
inline std::string IntegrityOf(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const bool ok = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
                  sqlite3_step(statement) == SQLITE_ROW;
  std::string result = ok ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)) : sqlite3_errmsg(db);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return result;
}

// The system's file layer, except that while `full` is set every write fails
// as on a full disk, and so does growing a -shm file (which SQLite does by
// writing to it).
class FullDisk {
 public:
  static inline std::atomic<bool> full{false};
  static const char* Name() {
    static const bool registered = [] {
      static sqlite3_vfs vfs = *Real();
      vfs.zName = "tavrin-full-disk";
      vfs.xOpen = &Open;
      return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    }();
    return registered ? "tavrin-full-disk" : nullptr;
  }

 private:
  struct Methods {
    sqlite3_io_methods wrapped;  // first: a file's methods pointer points here
    const sqlite3_io_methods* real;
  };
  static sqlite3_vfs* Real() {
    static sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
    return real;
  }
  static int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (full) return SQLITE_FULL;
    return reinterpret_cast<const Methods*>(file->pMethods)->real->xWrite(file, data, amount, offset);
  }
  static int ShmMap(sqlite3_file* file, int page, int pageSize, int extend, void volatile** memory) {
    const auto* real = reinterpret_cast<const Methods*>(file->pMethods)->real;
    const int rc = real->xShmMap(file, page, pageSize, full ? 0 : extend, memory);
    // A page that is not there yet cannot be made.
    if (full && extend && rc == SQLITE_OK && !*memory) return SQLITE_IOERR_SHMSIZE;
    return rc;
  }
  static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    static std::map<const sqlite3_io_methods*, std::unique_ptr<Methods>> wrappers;
    const int rc = Real()->xOpen(Real(), name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    auto& wrapper = wrappers[file->pMethods];
    if (!wrapper) {
      wrapper = std::make_unique<Methods>(Methods{*file->pMethods, file->pMethods});
      wrapper->wrapped.xWrite = &Write;
      if (wrapper->wrapped.iVersion >= 2 && wrapper->wrapped.xShmMap) wrapper->wrapped.xShmMap = &ShmMap;
    }
    file->pMethods = &wrapper->wrapped;
    return rc;
  }
};

// Runs `step` in a child process as the user nobody, whose reads and writes
// file modes stop (root's they do not), and returns what it returned.
template <typename Step>
std::string AsNobody(Step step) {
  int ends[2];
  if (pipe(ends) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    const bool nobody =
        setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 && setresuid(65534, 65534, 65534) == 0;
    const std::string result = nobody ? step() : "cannot become nobody";
    _exit(write(ends[1], result.data(), result.size()) == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  close(ends[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  close(ends[0]);
  waitpid(child, nullptr, 0);
  return result;
}

}  // namespace tavrin::test
