// The store's rules: where it lives, how its layout is brought up to date,
// what a merge keeps, and two programs on one file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <ctime>
#include <filesystem>
#include <fstream>

#include <map>
#include <thread>

#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

TEST(StorePath, FollowsTheVariableThenXdgThenHome) {
  const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
      {{{"TAVRIN_FAVOURITES", "/t/f.db"}, {"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/t/f.db"},
      {{{"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/x/tavrin/favourites.db"},
      {{{"TAVRIN_FAVOURITES", ""}, {"XDG_DATA_HOME", "relative"}, {"HOME", "/h"}},
       "/h/.local/share/tavrin/favourites.db"},
      {{}, ""},
  };
  for (const auto& [environment, expected] : cases) {
    EXPECT_EQ(DefaultFavouritesPath([&](const char* name) -> const char* {
                const auto found = environment.find(name);
                return found == environment.end() ? nullptr : found->second.c_str();
              }),
              expected);
  }
}

TEST(StoreLayout, UpgradesInStepsAndNeverDowngrades) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  MakeStore(path);
  const int next = kFavouritesSchemaVersion + 1;
  std::vector<SchemaStep> broken(FavouritesSchema().begin(), FavouritesSchema().end());
  std::vector<SchemaStep> upgrade = broken;
  broken.push_back({next, "ALTER TABLE nowhere ADD COLUMN colour TEXT"});
  upgrade.push_back({next, "ALTER TABLE favourite ADD COLUMN colour TEXT"});
  StoreOptions options = FixedClock();
  options.schema = broken;
  try {
    FavouritesStore store(path, options);
    ADD_FAILURE() << "a failing step was taken";
  } catch (const FavouritesError& error) {
    EXPECT_EQ(std::string(error.what()), "无法把收藏文件“" + path + "”升级到格式版本 " + std::to_string(next) +
                                             ":数据库出错(no such table: nowhere)");
  }
  EXPECT_EQ(FavouritesStore(path).SchemaVersion(), kFavouritesSchemaVersion);
  options.schema = upgrade;
  {
    FavouritesStore store(path, options);
    EXPECT_EQ(std::make_tuple(store.SchemaVersion(), store.Notice(), store.List().size()),
              std::make_tuple(next, std::string(), std::size_t{3}));
  }
  // This program's version reads the upgraded store but does not touch it.
  const std::string upgraded = FileBytes(path);
  FavouritesStore store(path);
  EXPECT_TRUE(store.ReadOnly());
  EXPECT_EQ(store.List().size(), 3u);
  EXPECT_THROW(store.Remove(GbkText("张伟"), Sex::kMale), FavouritesError);
  EXPECT_EQ(FileBytes(path), upgraded);
}

// The unfinished copies of programs killed while building the store go once
// they are old; a copy being built now stays.
TEST(StoreCopies, StaleUnfinishedCopiesGo) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  MakeStore(path);
  const std::string stale = path + ".new-AbC123", fresh = path + ".new-XyZ789";
  for (const std::string& file : {stale, stale + "-journal", fresh}) std::ofstream(file) << "x";
  const timespec hourAgo[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
  for (const std::string& file : {stale, stale + "-journal"})
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), hourAgo, 0), 0);
  FavouritesStore store(path);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_FALSE(std::filesystem::exists(stale + "-journal"));
  EXPECT_TRUE(std::filesystem::exists(fresh));
}

TEST(StoreMerge, AddsAndUpdatesButNeverDeletes) {
  struct Case {
    bool kept;                    // 张伟 kept: added 1000, changed 2000, note "kept"
    std::int64_t added, changed;  // of the incoming 张伟, note "incoming"
    int addedCount, changedCount;
    const char* note;  // afterwards
    std::int64_t addedAfter;
  };
  const Case cases[] = {
      {false, 500, 600, 1, 0, "incoming", 500},   {false, 0, 0, 1, 0, "incoming", kTestNow},
      {true, 1500, 3000, 0, 1, "incoming", 1000}, {true, 10, 3000, 0, 1, "incoming", 10},
      {true, 1500, 1800, 0, 0, "kept", 1000},     {true, 1000, 2000, 0, 0, "kept", 1000},
  };
  for (const Case& c : cases) {
    TempDir dir;
    FavouritesStore store(dir.Dir() + "favourites.db", FixedClock());
    Favourite kept = Named("张伟", Sex::kMale, 1, "kept");
    kept.added = 1000;
    kept.changed = 2000;
    if (c.kept) store.Merge({kept});
    store.Save(Named("李静", Sex::kFemale));
    Favourite incoming = Named("张伟", Sex::kMale, 5, "incoming");
    incoming.added = c.added;
    incoming.changed = c.changed;
    const auto counts = store.Merge({incoming});
    const auto after = store.Find(GbkText("张伟"), Sex::kMale);
    EXPECT_EQ(
        std::make_tuple(counts.added, counts.changed, counts.unchanged, after->note, after->added),
        std::make_tuple(c.addedCount, c.changedCount, 1 - c.addedCount - c.changedCount, GbkText(c.note), c.addedAfter))
        << c.added << " " << c.changed;
    EXPECT_EQ(store.List().size(), 2u);
  }
}

TEST(StoreSharing, AChangeWaitsForAnotherProgramsAndThenSaysWhy) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  FavouritesStore window(path);
  StoreOptions impatient;
  impatient.busyTimeoutMs = 20;
  FavouritesStore commandLine(path, impatient);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  // A write lock held for 100 ms is waited for...
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  window.Save(Named("王芳", Sex::kFemale));
  release.join();
  // ...one held beyond the busy timeout refuses the change.
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    commandLine.Save(Named("刘洋"));
    ADD_FAILURE() << "saved while another program held the lock";
  } catch (const FavouritesError& error) {
    EXPECT_EQ(std::string(error.what()),
              "无法保存到收藏文件“" + path + "”:正被另一个程序长时间占用(database is locked);这次修改没有保存");
  }
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(commandLine.List().size(), 1u);
}

}  // namespace
}  // namespace tavrin::test
