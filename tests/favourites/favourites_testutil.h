// Helpers of the favourites tests: a store with a few favourites, a file
// layer whose disk can be made full, and running a step as another user.
#pragma once

#include <sqlite3.h>
#include <grp.h>
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

// 2026-12-09 09:15:00 UTC, the tests' fixed clock.
inline constexpr std::int64_t kTestNow = 1796807700;

inline StoreOptions FixedClock(std::int64_t seconds = kTestNow) {
  StoreOptions options;
  options.clock = [seconds] { return seconds; };
  return options;
}

inline Favourite Named(const std::string& name, Sex sex = Sex::kMale, int rating = 0, std::string note = {}) {
  Favourite f;
  f.name = name;
  f.sex = sex;
  f.score = 90;
  f.rating = rating;
  f.note = std::move(note);
  return f;
}

// A store of three favourites at `path`, closed again.
inline void MakeStore(const std::string& path) {
  FavouritesStore store(path, FixedClock());
  store.Save(Named("张伟", Sex::kMale, 5, "奶奶喜欢"));
  store.Save(Named("李静", Sex::kFemale, 3));
  store.Save(Named("欧阳修文"));
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "ok" or what PRAGMA integrity_check says of the file.
inline std::string IntegrityOf(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    } else {
      result = sqlite3_errmsg(db);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return result;
}

// The system's file layer, except that while `full` is set every write fails
// as on a full disk.
class FullDisk {
 public:
  static const char* Name() {
    static const bool registered = [] {
      Real() = sqlite3_vfs_find(nullptr);
      static sqlite3_vfs vfs = *Real();
      vfs.zName = "tavrin-full-disk";
      vfs.xOpen = &Open;
      return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    }();
    return registered ? "tavrin-full-disk" : nullptr;
  }
  static std::atomic<bool> full;

 private:
  struct Methods {
    sqlite3_io_methods wrapped;  // first, so a file's methods pointer is this
    const sqlite3_io_methods* real;
  };
  static sqlite3_vfs*& Real() {
    static sqlite3_vfs* real = nullptr;
    return real;
  }
  static int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (full) return SQLITE_FULL;
    return reinterpret_cast<const Methods*>(file->pMethods)->real->xWrite(file, data, amount, offset);
  }
  static int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    static std::map<const sqlite3_io_methods*, std::unique_ptr<Methods>> wrappers;
    const int rc = Real()->xOpen(Real(), name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    auto& wrapper = wrappers[file->pMethods];
    if (!wrapper) {
      wrapper = std::make_unique<Methods>(Methods{*file->pMethods, file->pMethods});
      wrapper->wrapped.xWrite = &Write;
    }
    file->pMethods = &wrapper->wrapped;
    return rc;
  }
};
inline std::atomic<bool> FullDisk::full{false};

// Runs `step` in a child process as the user nobody, whose reads and writes
// file modes do stop (root's they do not), and returns what it returned.
template <typename Step>
std::string AsNobody(Step step) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    std::string result = "cannot become nobody";
    if (setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 && setresuid(65534, 65534, 65534) == 0) {
      result = step();
    }
    for (std::size_t done = 0; done < result.size();) {
      const ssize_t n = write(pipeEnds[1], result.data() + done, result.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return result;
}

}  // namespace tavrin::test
