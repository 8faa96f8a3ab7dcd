// The store on a broken file, a broken directory or a full disk: each cell
// breaks the store one way, opens it, lists it and tries to keep one more
// name. The user is told the file and the reason; a damaged file is kept
// aside byte for byte, never written over; a newer layout is only read;
// nothing kept is lost. Cells about file modes run as the user nobody, as
// root's reads and writes ignore them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "chars/encoding.h"
#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

void Write(const std::string& path, std::string_view bytes) { std::ofstream(path, std::ios::binary) << bytes; }
void Sql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}
void LockDirectory(const std::string& path) { chmod(fs::path(path).parent_path().c_str(), 0555); }

// Garbage in the middle of the second page.
void Scribble(const std::string& path) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(4096 + 8);
  file << std::string(300, '\xFF');
}

struct Cell {
  const char* fault;
  bool threeKept;  // a store of three favourites is made first
  std::function<void(const std::string& path)> breakIt;
  bool asNobody = false;
  bool fullOnOpen = false, fullOnChange = false;
  // How the store opened | what the user is told | what became of the file
  // that was there | what keeping one more name did.
  const char* expected = "";
};

const char* const kAside =
    "已改名保存为“<file>.corrupt-20261209-091500”,并新建了空的收藏文件 | "
    "kept aside unchanged, new store made | saved";
const char* const kRefusedChange = "unchanged | 无法保存到收藏文件“<file>”:它已只读打开;这次修改没有保存";

void Nothing(const std::string&) {}

const Cell kCells[] = {
    {"no file", false, Nothing, false, false, false, "writable | — | new store made | saved"},
    {"empty file", false, [](auto& p) { Write(p, ""); }, false, false, false, "writable | — | new store made | saved"},
    {"not SQLite", false, [](auto& p) { Write(p, "name,sex\n"); }, false, false, false, "不是 SQLite 数据库,"},
    {"truncated", true, [](auto& p) { fs::resize_file(p, fs::file_size(p) / 2); }, false, false, false, "已损坏,"},
    {"cut inside the header", true, [](auto& p) { fs::resize_file(p, 40); }, false, false, false, "已损坏,"},
    {"corrupt page", true, Scribble, false, false, false, "已损坏,"},
    {"newer layout (version 7)", true, [](auto& p) { Sql(p, "PRAGMA user_version = 7"); }, false, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”由较新版本的程序写成(格式版本 7,本程序只认识到版本 3),"
     "已只读打开,不能修改 | "},
    {"another program's database", false, [](auto& p) { Sql(p, "CREATE TABLE notes (text)"); }, false, false, false,
     "refused | 收藏文件“<file>”是别的程序的 SQLite 数据库,不是收藏文件;没有改动它 | unchanged | —"},
    {"a directory", false, [](auto& p) { fs::create_directory(p); }, false, false, false,
     "refused | 无法打开收藏文件“<file>”:是一个目录,不是文件 | unchanged | —"},
    {"unreadable (mode 000)", true, [](auto& p) { chmod(p.c_str(), 0); }, true, false, false,
     "refused | 无法读取收藏文件“<file>”:没有权限 | unchanged | —"},
    {"read-only file (mode 444)", true, [](auto& p) { chmod(p.c_str(), 0444); }, true, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”不能写入(没有权限),已只读打开,不能修改 | "},
    {"corrupt page, read-only file (mode 444)", true, [](auto& p) { Scribble(p), chmod(p.c_str(), 0444); }, true, false,
     false, "refused | 收藏文件“<file>”已损坏,但无法锁住它(没有权限),没有改动它 | unchanged | —"},
    {"read-only directory", true, LockDirectory, true, false, false,
     "read-only, 3 favourites | 收藏文件“<file>”所在目录不能写入(没有权限),已只读打开,不能修改 | "},
    {"read-only directory, no store yet", false, LockDirectory, true, false, false,
     "refused | 无法新建收藏文件“<file>”:所在目录不能写入(没有权限) | unchanged | —"},
    {"not SQLite, in a read-only directory", false, [](auto& p) { Write(p, "x"), LockDirectory(p); }, true, false,
     false, "refused | 收藏文件“<file>”不是 SQLite 数据库,但无法改名保存(没有权限),没有改动它 | unchanged | —"},
    {"full disk on a change", true, Nothing, false, false, true,
     "writable, 3 favourites | — | unchanged | 无法保存到收藏文件“<file>”:磁盘已满(database or disk is full);"
     "这次修改没有保存"},
    {"full disk on making the store", false, Nothing, false, true, false,
     "refused | 无法打开收藏文件“<file>”:磁盘已满(database or disk is full) | unchanged | —"},
};

// The whole expected row: a damaged file's cell gives only the reason, a
// read-only store's only the opening and the message.
std::string Expected(const Cell& cell) {
  const std::string expected = cell.expected;
  if (expected.ends_with(",")) return "writable | 收藏文件“<file>”" + expected + kAside;
  if (expected.ends_with("| ")) return expected + kRefusedChange;
  return expected;
}

// How the store opened, what the user is told, what the change did.
std::string Observe(const Cell& cell, const std::string& path) {
  StoreOptions options = FixedClock();
  options.vfs = FullDisk::Name();
  std::string opening, message = "—", change = "—";
  FullDisk::full = cell.fullOnOpen;
  try {
    FavouritesStore store(path, options);
    const std::size_t kept = store.List().size();
    opening = std::string(store.ReadOnly() ? "read-only" : "writable") +
              (kept ? ", " + std::to_string(kept) + " favourites" : "");
    if (!store.Notice().empty()) message = store.Notice();
    FullDisk::full = cell.fullOnChange;
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

// What became of the bytes that were there, seen as root.
std::string FileFate(const std::string& path, const std::string& before) {
  const std::string aside = path + ".corrupt-20261209-091500";
  if (fs::exists(aside)) {
    return std::string(FileBytes(aside) == before ? "kept aside unchanged" : "kept aside CHANGED") +
           (fs::is_regular_file(path) ? ", new store made" : "");
  }
  if (before.empty() && fs::is_regular_file(path)) return "new store made";
  return fs::is_directory(path) || FileBytes(path) == before ? "unchanged" : "CHANGED";
}

// How GoogleTest shows a cell.
void PrintTo(const Cell& cell, std::ostream* os) { *os << cell.fault; }

class StoreFaultMatrix : public ::testing::TestWithParam<Cell> {};

TEST_P(StoreFaultMatrix, TellsWhyAndLosesNothing) {
  const Cell& cell = GetParam();
  TempDir dir;
  fs::create_directory(dir.Dir() + "store");
  const std::string path = dir.Dir() + "store/favourites.db";
  if (cell.threeKept) MakeStore(path);
  cell.breakIt(path);
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
  observed.insert(observed.rfind(" | "), " | " + FileFate(path, before));
  for (std::size_t at; (at = observed.find(path)) != std::string::npos;) observed.replace(at, path.size(), "<file>");
  EXPECT_EQ(observed, Expected(cell)) << GbkToUtf8(observed);
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
                           for (const char* c = info.param.fault; *c; ++c) label += std::isalnum(*c) ? *c : '_';
                           return label;
                         });

}  // namespace
}  // namespace tavrin::test
