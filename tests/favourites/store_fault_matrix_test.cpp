// The store on a broken file, a broken directory or a full disk: each cell
// breaks the store's file one way, opens it, and tries one change. What the
// user is told names the file and the reason; a damaged file is kept aside
// byte for byte, never written over; a newer layout is only read; nothing
// already kept is lost. Cells about file modes run as the user nobody, as
// root's reads and writes ignore them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "chars/encoding.h"
#include "favourites/store.h"
#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

struct Cell {
  const char* fault;
  // Breaks the store at `path` (in a directory of its own).
  std::function<void(const std::string& path)> setUp;
  bool asNobody;
  bool diskFullOnOpen;
  bool diskFullOnChange;
  // What is observed, as " | "-separated texts: how the store opened, what
  // the user is told, what became of the file, and what one change did.
  const char* expected;
};

void Write(const std::string& path, std::string_view bytes) { std::ofstream(path, std::ios::binary) << bytes; }

void SetUserVersion(const std::string& path, int version) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

const Cell kCells[] = {
    {"no file", [](const std::string&) {}, false, false, false,
     "writable | — | new store made | saved"},
    {"empty file", [](const std::string& p) { Write(p, ""); }, false, false, false,
     "writable | — | new store made | saved"},
    {"not SQLite", [](const std::string& p) { Write(p, "name,sex\n张伟,male\n"); }, false, false, false,
     "writable | 收藏文件“<file>”不是 SQLite 数据库,已改名保存为“<file>.corrupt-20261209-091500”,并新建了空的收藏文件 | "
     "kept aside unchanged, new store made | saved"},
    {"truncated", [](const std::string& p) { MakeStore(p); fs::resize_file(p, fs::file_size(p) / 2); }, false, false,
     false,
     "writable | 收藏文件“<file>”被截断了,已改名保存为“<file>.corrupt-20261209-091500”,并新建了空的收藏文件 | "
     "kept aside unchanged, new store made | saved"},
    {"cut inside the header", [](const std::string& p) { MakeStore(p); fs::resize_file(p, 40); }, false, false, false,
     "writable | 收藏文件“<file>”被截断了,已改名保存为“<file>.corrupt-20261209-091500”,并新建了空的收藏文件 | "
     "kept aside unchanged, new store made | saved"},
    {"corrupt page",
     [](const std::string& p) {
       MakeStore(p);
       std::fstream file(p, std::ios::in | std::ios::out | std::ios::binary);
       file.seekp(4096 + 8);
       file << std::string(300, '\xFF');
     },
     false, false, false,
     "writable | 收藏文件“<file>”已损坏,已改名保存为“<file>.corrupt-20261209-091500”,并新建了空的收藏文件 | "
     "kept aside unchanged, new store made | saved"},
    {"newer layout (version 7)", [](const std::string& p) { MakeStore(p); SetUserVersion(p, 7); }, false, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”由较新版本的程序写成(格式版本 7,本程序只认识到版本 1),已只读打开,不能修改 | "
     "unchanged | 无法保存到收藏文件“<file>”:它已只读打开;这次修改没有保存"},
    {"another program's database",
     [](const std::string& p) {
       sqlite3* db = nullptr;
       sqlite3_open(p.c_str(), &db);
       sqlite3_exec(db, "CREATE TABLE notes (text)", nullptr, nullptr, nullptr);
       sqlite3_close(db);
     },
     false, false, false,
     "refused | 收藏文件“<file>”是别的程序的 SQLite 数据库,不是收藏文件;没有改动它 | unchanged | —"},
    {"a directory", [](const std::string& p) { fs::create_directory(p); }, false, false, false,
     "refused | 无法打开收藏文件“<file>”:是一个目录,不是文件 | unchanged | —"},
    {"unreadable (mode 000)", [](const std::string& p) { MakeStore(p); chmod(p.c_str(), 0); }, true, false, false,
     "refused | 无法读取收藏文件“<file>”:没有权限 | unchanged | —"},
    {"read-only file (mode 444)", [](const std::string& p) { MakeStore(p); chmod(p.c_str(), 0444); }, true, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”不能写入(没有权限),已只读打开,不能修改 | unchanged | "
     "无法保存到收藏文件“<file>”:它已只读打开;这次修改没有保存"},
    {"read-only directory",
     [](const std::string& p) { MakeStore(p); chmod(fs::path(p).parent_path().c_str(), 0555); }, true, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”所在目录不能写入(没有权限),已只读打开,不能修改 | unchanged | "
     "无法保存到收藏文件“<file>”:它已只读打开;这次修改没有保存"},
    {"read-only directory, no store yet",
     [](const std::string& p) { chmod(fs::path(p).parent_path().c_str(), 0555); }, true, false, false,
     "refused | 无法新建收藏文件“<file>”:所在目录不能写入(没有权限) | unchanged | —"},
    {"not SQLite, in a read-only directory",
     [](const std::string& p) { Write(p, "name,sex\n"); chmod(fs::path(p).parent_path().c_str(), 0555); }, true, false,
     false,
     "refused | 收藏文件“<file>”不是 SQLite 数据库,但无法改名保存(没有权限),没有改动它 | unchanged | —"},
    {"full disk on a change", [](const std::string& p) { MakeStore(p); }, false, false, true,
     "writable, 3 favourites | — | unchanged | 无法保存到收藏文件“<file>”:磁盘已满(database or disk is full);"
     "这次修改没有保存"},
    {"full disk on making the store", [](const std::string&) {}, false, true, false,
     "refused | 无法打开收藏文件“<file>”:磁盘已满(database or disk is full) | unchanged | —"},
};

void Replace(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at; !from.empty() && (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
}

// Opens the store as the cell has left it and tries to keep one more name:
// how it opened, what the user is told, what the change did.
std::string Observe(const Cell& cell, const std::string& path) {
  StoreOptions options = FixedClock();
  options.vfs = FullDisk::Name();
  std::string opening, message = "—", change = "—";
  FullDisk::full = cell.diskFullOnOpen;
  try {
    FavouritesStore store(path, options);
    opening = store.ReadOnly() ? "read-only" : "writable";
    const std::size_t kept = store.List().size();
    if (kept) opening += ", " + std::to_string(kept) + " favourites";
    if (!store.Notice().empty()) message = store.Notice();
    FullDisk::full = cell.diskFullOnChange;
    try {
      store.Save(Named("王芳", Sex::kFemale));
      change = "saved";
    } catch (const FavouritesError& error) {
      change = error.what();
    }
    FullDisk::full = false;
    if (store.List().size() != kept + (change == "saved")) change += ", but the list changed";
  } catch (const FavouritesError& error) {
    FullDisk::full = false;
    opening = "refused";
    message = error.what();
  }
  return opening + " | " + message + " | " + change;
}

// What became of the file that was there before.
std::string FileFate(const std::string& path, const std::string& before) {
  const std::string aside = path + ".corrupt-20261209-091500";
  if (fs::exists(aside)) {
    return std::string(FileBytes(aside) == before ? "kept aside unchanged" : "kept aside CHANGED") +
           (fs::is_regular_file(path) ? ", new store made" : ", no new store");
  }
  if (fs::is_directory(path)) return "unchanged";
  if (before.empty()) return fs::exists(path) ? "new store made" : "unchanged";
  return FileBytes(path) == before ? "unchanged" : "CHANGED";
}

class StoreFaultMatrix : public ::testing::TestWithParam<Cell> {};

TEST_P(StoreFaultMatrix, TellsWhyAndLosesNothing) {
  const Cell& cell = GetParam();
  TempDir dir;
  const std::string path = dir.Dir() + "store/favourites.db";
  fs::create_directory(dir.Dir() + "store");
  cell.setUp(path);
  const std::string before = fs::is_regular_file(path) ? FileBytes(path) : "";
  std::string observed;
  if (cell.asNobody && geteuid() == 0) {
    bool owned = chown(dir.Dir().c_str(), 65534, 65534) == 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Dir())) {
      owned = owned && chown(entry.path().c_str(), 65534, 65534) == 0;
    }
    ASSERT_TRUE(owned);
    observed = AsNobody([&] { return Observe(cell, path); });
  } else {
    observed = Observe(cell, path);
  }
  chmod(fs::path(path).parent_path().c_str(), 0700);
  // The file as root sees it, and in the table's order.
  const std::size_t split = observed.rfind(" | ");
  observed.insert(split, " | " + FileFate(path, before));
  Replace(observed, path, "<file>");
  EXPECT_EQ(observed, cell.expected) << GbkToUtf8(observed);
  // A store that opened is whole.
  if (!observed.starts_with("refused")) {
    EXPECT_EQ(IntegrityOf(path), "ok");
  }
  // TAVRIN_FAVOURITES_FAULT_TABLE names a file that gets the cell's row.
  if (const char* table = std::getenv("TAVRIN_FAVOURITES_FAULT_TABLE")) {
    std::ofstream(table, std::ios::app) << "| " << cell.fault << " | " << GbkToUtf8(observed) << " |\n";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, StoreFaultMatrix, ::testing::ValuesIn(kCells),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                           std::string label = std::to_string(info.index) + "_";
                           for (const char* c = info.param.fault; *c; ++c) {
                             label += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           }
                           return label;
                         });

}  // namespace
}  // namespace tavrin::test
