// What the store must never do to a file: call a whole store damaged, move a
// file another program has open, change a database that is not its own, take
// a path that is no file, write back a stale copy, report a write that did
// not happen, or trip over other programs making the store at the same time.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <functional>

#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

void Sql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// Distinct full names: 王 and two characters of GB2312's first rows.
std::string NameNumber(int n) {
  std::string name = "王";
  for (int i = 0; i < 2; ++i, n /= 94) {
    name += static_cast<char>(0xB0 + i);
    name += static_cast<char>(0xA1 + n % 94);
  }
  return name;
}

std::vector<Favourite> Many(int count) {
  std::vector<Favourite> many;
  for (int i = 0; i < count; ++i) many.push_back(Named(NameNumber(i)));
  return many;
}

// The files in the store's directory but the store itself.
std::vector<std::string> Others(const std::string& path) {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
    if (entry.path() != path) others.push_back(entry.path().filename().string());
  }
  return others;
}

// A kill during the checkpoint after a committed import: the checkpoint
// wrote page 1 (the new page count) but not the pages after it; the WAL
// still holds them all.
void CutCheckpoint(const std::string& path) {
  MakeStore(path);
  const std::string crash = path + ".crash";
  {
    FavouritesStore store(path);
    store.Merge(Many(800));
    fs::copy_file(path, crash);
    fs::copy_file(path + "-wal", crash + "-wal");
    Sql(path, "PRAGMA wal_checkpoint(FULL)");
  }
  std::fstream file(crash, std::ios::in | std::ios::out | std::ios::binary);
  file.write(FileBytes(path).substr(0, 4096).data(), 4096);
  file.close();
  const std::string header = FileBytes(crash).substr(28, 4);
  const auto pages = std::uint32_t(std::uint8_t(header[0])) << 24 | std::uint32_t(std::uint8_t(header[1])) << 16 |
                     std::uint32_t(std::uint8_t(header[2])) << 8 | std::uint8_t(header[3]);
  ASSERT_GT(pages * 4096ull, fs::file_size(crash)) << "the file is not shorter than its header says";
  fs::remove(path + "-shm");
  fs::rename(crash, path);
  fs::rename(crash + "-wal", path + "-wal");
}

TEST(StoreTrust, AFileCutShortByAStoppedCheckpointIsWhole) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  CutCheckpoint(path);
  FavouritesStore store(path);
  EXPECT_EQ(store.Notice(), "");
  EXPECT_EQ(store.List().size(), 803u);
  EXPECT_EQ(IntegrityOf(path), "ok");
  EXPECT_EQ(store.KeptAside(), "");
}

TEST(StoreTrust, ADamagedFileAnotherProgramHasOpenStaysWhereItIs) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  {
    FavouritesStore store(path);
    store.Merge(Many(800));
  }
  // Garbage in the table's first page: the header and schema still read.
  {
    sqlite3* db = nullptr;
    sqlite3_stmt* root = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'favourite'", -1, &root, nullptr);
    ASSERT_EQ(sqlite3_step(root), SQLITE_ROW);
    const int page = sqlite3_column_int(root, 0);
    sqlite3_finalize(root);
    sqlite3_close(db);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4096 * (page - 1) + 8);
    file << std::string(300, '\xFF');
  }
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "PRAGMA user_version", nullptr, nullptr, nullptr), SQLITE_OK);
  StoreOptions options;
  options.busyTimeoutMs = 50;
  try {
    FavouritesStore store(path, options);
    ADD_FAILURE() << "opened: " << store.Notice();
  } catch (const FavouritesError& error) {
    EXPECT_EQ(std::string(error.what()), "收藏文件“" + path + "”已损坏,但另一个程序正打开着它,没有改动它");
  }
  EXPECT_EQ(Others(path).size(), 2u);  // its -wal and -shm, nothing kept aside
  sqlite3_close(other);
  // Once no one has it open, it is kept aside.
  FavouritesStore store(path, options);
  EXPECT_NE(store.KeptAside(), "");
}

TEST(StoreTrust, RefusesPathsThatAreNoFileNames) {
  const char* const paths[] = {"", ":memory:", "file:favourites.db?mode=memory", "FILE:x.db"};
  for (const char* path : paths) {
    EXPECT_THROW(FavouritesStore{path}, FavouritesError) << path;
  }
}

TEST(StoreTrust, NeverChangesADatabaseThatIsNotOurs) {
  struct Case {
    const char* what;
    std::string sql;
  };
  const Case cases[] = {
      {"user_version 1", "CREATE TABLE notes (text); PRAGMA user_version = 1"},
      {"negative user_version", "CREATE TABLE notes (text); PRAGMA user_version = -3"},
      {"another application", "CREATE TABLE t (x); PRAGMA application_id = 42; PRAGMA user_version = 1"},
      {"our table beside others",
       std::string(FavouritesSchema()[0].sql) + "; CREATE TABLE notes (text); PRAGMA user_version = 1"},
      {"our table, no version", FavouritesSchema()[0].sql},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.Dir() + "other.db";
    Sql(path, c.sql);
    const std::string before = FileBytes(path);
    try {
      FavouritesStore store(path);
      ADD_FAILURE() << "opened";
    } catch (const FavouritesError& error) {
      EXPECT_EQ(std::string(error.what()), "收藏文件“" + path + "”是别的程序的 SQLite 数据库,不是收藏文件;没有改动它");
    }
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(Others(path).size(), 0u);
  }
}

TEST(StoreTrust, AStoreOfTheFirstLayoutIsMarkedAsOurs) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  // As stores were made before they were marked: the first layout, not marked.
  Sql(path, std::string(FavouritesSchema()[0].sql) +
                "; INSERT INTO favourite VALUES"  // 张伟, in UTF-8 as the store keeps names
                " (CAST(X'E5BCA0E4BC9F' AS TEXT), 'male', 2012, 1, 1, 1, 80, NULL, '', 0, '', '', 0, 0);"
                " PRAGMA user_version = 1");
  {
    FavouritesStore store(path);
    ASSERT_EQ(store.List().size(), 1u);
    // Brought up to date; a favourite kept before knows no surname length.
    EXPECT_EQ(store.SchemaVersion(), kFavouritesSchemaVersion);
    EXPECT_EQ(store.List()[0].surnameLength, 0);
  }
  sqlite3* db = nullptr;
  sqlite3_stmt* id = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &id, nullptr);
  sqlite3_step(id);
  EXPECT_EQ(sqlite3_column_int(id, 0), kFavouritesApplicationId);
  sqlite3_finalize(id);
  sqlite3_close(db);
}

TEST(StoreTrust, AChangeWritesOnlyThePartsItGives) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  MakeStore(path);
  FavouritesStore commandLine(path), window(path);
  // The command line read 张伟 before the window changed its note.
  Favourite stale = *commandLine.Find(GbkText("张伟"), Sex::kMale);
  window.SetNote(GbkText("张伟"), Sex::kMale, GbkText("新的备注"));
  stale.rating = 2;
  stale.fields = kFieldRating;
  EXPECT_EQ(commandLine.Save(stale), FavouritesStore::Saved::kChanged);
  const Favourite now = *window.Find(GbkText("张伟"), Sex::kMale);
  EXPECT_EQ(std::make_pair(now.note, now.rating), std::make_pair(GbkText("新的备注"), 2));
}

TEST(StoreTrust, AWriteTheDatabaseSwallowsIsNeverReportedAsDone) {
  struct Case {
    const char* what;
    const char* sql;
  };
  const Case cases[] = {
      {"a trigger that drops inserts",
       "CREATE TRIGGER drop_all BEFORE INSERT ON favourite BEGIN SELECT RAISE(IGNORE); END"},
      {"a trigger that deletes what was inserted",
       "CREATE TRIGGER undo AFTER INSERT ON favourite BEGIN DELETE FROM favourite; END"},
      {"a unique note that ignores conflicts",
       "CREATE TABLE f2 AS SELECT * FROM favourite; DROP TABLE favourite;"
       "CREATE TABLE favourite (name TEXT, sex TEXT, birth_year, birth_month, birth_day, birth_hour, score,"
       " advice, note TEXT UNIQUE ON CONFLICT IGNORE, rating, origin, poem, added, changed, surname, recommend,"
       " PRIMARY KEY (name, sex));"
       "INSERT INTO favourite SELECT * FROM f2; DROP TABLE f2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.Dir() + "favourites.db";
    {
      FavouritesStore store(path);
    }
    Sql(path, c.sql);
    FavouritesStore store(path);
    store.Save(Named("张伟"));
    // Kept as said, or refused: never "kept" and then not there.
    bool saved = true;
    try {
      store.Save(Named("王芳", Sex::kFemale));
    } catch (const FavouritesError& error) {
      saved = false;
      EXPECT_NE(std::string(error.what()).find("这次修改没有保存"), std::string::npos) << error.what();
    }
    EXPECT_EQ(store.Find(GbkText("王芳"), Sex::kFemale).has_value(), saved);
    saved = true;
    std::vector<Favourite> two = {Named("刘洋"), Named("陈杰")};
    try {
      store.Merge(two);
    } catch (const FavouritesError&) {
      saved = false;
    }
    EXPECT_EQ(store.Find(GbkText("陈杰"), Sex::kMale).has_value(), saved);
  }
}

TEST(StoreTrust, ManyProgramsMakingTheStoreAtOnceAgree) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  std::vector<pid_t> children;
  for (int i = 0; i < 16; ++i) {
    const pid_t child = fork();
    if (child == 0) {
      try {
        FavouritesStore store(path);
        if (!store.Notice().empty()) _exit(3);
        store.Save(Named(NameNumber(i)));
        _exit(0);
      } catch (...) {
        _exit(2);
      }
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  FavouritesStore store(path);
  EXPECT_EQ(store.List().size(), 16u);
  EXPECT_EQ(Others(path).size(), 2u);  // -wal and -shm of the one store open
}

TEST(StoreTrust, ReadingWorksOnAFullDisk) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  MakeStore(path);
  StoreOptions options;
  options.vfs = FullDisk::Name();
  options.readOnly = true;
  FullDisk::full = true;
  {
    FavouritesStore store(path, options);
    EXPECT_EQ(store.List().size(), 3u);
    EXPECT_EQ(store.Notice(), "");
  }
  FullDisk::full = false;
  EXPECT_EQ(Others(path), std::vector<std::string>());
  EXPECT_EQ(IntegrityOf(path), "ok");
}

}  // namespace
}  // namespace tavrin::test
