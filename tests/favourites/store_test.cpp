// The store's rules: where it lives, how a layout is brought up to date,
// what keeping a name again and a merge do, and two programs on one file.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "chars/encoding.h"
#include "favourites/favourites_testutil.h"
#include "favourites/store.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

TEST(StorePath, FollowsTheVariableThenXdgThenHome) {
  struct Case {
    std::map<std::string, std::string> environment;
    std::string expected;
  };
  const Case cases[] = {
      {{{"TAVRIN_FAVOURITES", "/t/f.db"}, {"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/t/f.db"},
      {{{"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}}, "/x/tavrin/favourites.db"},
      {{{"XDG_DATA_HOME", "relative"}, {"HOME", "/h"}}, "/h/.local/share/tavrin/favourites.db"},
      {{{"TAVRIN_FAVOURITES", ""}, {"XDG_DATA_HOME", ""}, {"HOME", "/h"}}, "/h/.local/share/tavrin/favourites.db"},
      {{}, ""},
  };
  for (const Case& c : cases) {
    const std::string path = DefaultFavouritesPath([&](const char* name) -> const char* {
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? nullptr : found->second.c_str();
    });
    EXPECT_EQ(path, c.expected);
  }
}

TEST(StorePath, MakesPrivateDirectories) {
  TempDir dir;
  const std::string path = dir.Dir() + "share/tavrin/favourites.db";
  MakeStoreDirectory(path);
  MakeStoreDirectory(path);  // there already: fine
  struct stat st;
  ASSERT_EQ(stat((dir.Dir() + "share/tavrin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  FavouritesStore store(path);
  EXPECT_EQ(store.Notice(), "");
}

const SchemaStep kWithColour[] = {FavouritesSchema()[0], {2, "ALTER TABLE favourite ADD COLUMN colour TEXT"}};
const SchemaStep kBrokenStep[] = {FavouritesSchema()[0], {2, "ALTER TABLE nowhere ADD COLUMN colour TEXT"}};

TEST(StoreLayout, UpgradesInStepsAndNeverDowngrades) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  MakeStore(path);

  // A step that fails leaves the store as it was.
  StoreOptions broken = FixedClock();
  broken.schema = kBrokenStep;
  try {
    FavouritesStore store(path, broken);
    ADD_FAILURE() << "a failing step was taken";
  } catch (const FavouritesError& error) {
    EXPECT_EQ(std::string(error.what()),
              "无法把收藏文件“" + path + "”升级到格式版本 2:数据库出错(no such table: nowhere)");
  }
  {
    FavouritesStore store(path, FixedClock());
    EXPECT_EQ(store.SchemaVersion(), 1);
    EXPECT_EQ(store.List().size(), 3u);
  }

  StoreOptions newer = FixedClock();
  newer.schema = kWithColour;
  {
    FavouritesStore store(path, newer);
    EXPECT_EQ(store.SchemaVersion(), 2);
    EXPECT_EQ(store.Notice(), "");
    EXPECT_EQ(store.List().size(), 3u);
    store.Save(Named("王芳", Sex::kFemale));
  }
  // The program of version 1 reads the upgraded store but does not touch it.
  const std::string upgraded = FileBytes(path);
  FavouritesStore store(path, FixedClock());
  EXPECT_TRUE(store.ReadOnly());
  EXPECT_EQ(store.SchemaVersion(), 2);
  EXPECT_EQ(store.List().size(), 4u);
  EXPECT_THROW(store.Remove("张伟", Sex::kMale), FavouritesError);
  EXPECT_EQ(FileBytes(path), upgraded);
}

TEST(StoreChanges, KeepingAgainChangesTheOneKept) {
  TempDir dir;
  std::int64_t now = 1000;
  StoreOptions options;
  options.clock = [&] { return now; };
  FavouritesStore store(dir.Dir() + "favourites.db", options);
  EXPECT_EQ(store.Save(Named("张伟", Sex::kMale, 2)), FavouritesStore::Saved::kAdded);
  now = 2000;
  EXPECT_EQ(store.Save(Named("张伟", Sex::kMale, 4, "再想想")), FavouritesStore::Saved::kChanged);
  EXPECT_EQ(store.Save(Named("张伟", Sex::kFemale)), FavouritesStore::Saved::kAdded);  // the other sex: another
  const auto kept = store.Find("张伟", Sex::kMale);
  ASSERT_TRUE(kept);
  EXPECT_EQ(std::tie(kept->rating, kept->note, kept->added, kept->changed),
            std::make_tuple(4, std::string("再想想"), std::int64_t{1000}, std::int64_t{2000}));
  EXPECT_FALSE(store.SetNote("李静", Sex::kFemale, "无此人"));
  EXPECT_FALSE(store.Remove("张伟", Sex::kFemale) && store.Remove("张伟", Sex::kFemale));
  EXPECT_THROW(store.SetRating("张伟", Sex::kMale, 6), FavouritesError);
  EXPECT_THROW(store.Save(Named("张")), FavouritesError);
  EXPECT_EQ(store.List().size(), 1u);
}

TEST(StoreChanges, MergeAddsAndUpdatesButNeverDeletes) {
  struct Case {
    const char* what;
    bool kept;                 // 张伟 is kept: added 1000, changed 2000, note "kept"
    std::int64_t added, changed;  // of the incoming 张伟, note "incoming"
    const char* counted;       // added, changed or unchanged
    const char* note;          // the note afterwards
    std::int64_t addedAfter;
  };
  const Case cases[] = {
      {"new", false, 500, 600, "added", "incoming", 500},
      {"new, no times", false, 0, 0, "added", "incoming", kTestNow},
      {"changed later", true, 1500, 3000, "changed", "incoming", 1000},
      {"added earlier, changed later", true, 10, 3000, "changed", "incoming", 10},
      {"changed earlier", true, 1500, 1800, "unchanged", "kept", 1000},
      {"changed at the same time", true, 1000, 2000, "unchanged", "kept", 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    FavouritesStore store(dir.Dir() + "favourites.db", FixedClock());
    if (c.kept) {
      Favourite kept = Named("张伟", Sex::kMale, 1, "kept");
      kept.added = 1000;
      kept.changed = 2000;
      store.Merge({kept});
    }
    store.Save(Named("李静", Sex::kFemale));  // not in the file: stays
    Favourite incoming = Named("张伟", Sex::kMale, 5, "incoming");
    incoming.added = c.added;
    incoming.changed = c.changed;
    const auto counts = store.Merge({incoming});
    const std::map<std::string, int> counted{{"added", counts.added}, {"changed", counts.changed},
                                             {"unchanged", counts.unchanged}};
    EXPECT_EQ(counted.at(c.counted), 1);
    EXPECT_EQ(counts.added + counts.changed + counts.unchanged, 1);
    const auto after = store.Find("张伟", Sex::kMale);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->note, c.note);
    EXPECT_EQ(after->added, c.addedAfter);
    EXPECT_EQ(store.List().size(), 2u);
  }
}

TEST(StoreChanges, AMergeWithOneBadFavouriteAddsNone) {
  TempDir dir;
  FavouritesStore store(dir.Dir() + "favourites.db", FixedClock());
  Favourite bad = Named("李静");
  bad.rating = 9;
  EXPECT_THROW(store.Merge({Named("张伟"), bad}), FavouritesError);
  EXPECT_TRUE(store.List().empty());
}

TEST(StoreSharing, TwoProgramsOnOneFile) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  FavouritesStore window(path, FixedClock());
  FavouritesStore commandLine(path, FixedClock());
  window.Save(Named("张伟"));
  commandLine.Save(Named("李静", Sex::kFemale));
  EXPECT_EQ(window.List().size(), 2u);
  EXPECT_EQ(commandLine.List().size(), 2u);

  // A third program holds the write lock: a change waits for it...
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  EXPECT_EQ(window.Save(Named("王芳", Sex::kFemale)), FavouritesStore::Saved::kAdded);
  release.join();

  // ...and when it holds it longer than the busy timeout, the change is
  // refused and says why.
  StoreOptions impatient = FixedClock();
  impatient.busyTimeoutMs = 20;
  FavouritesStore hurried(path, impatient);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    hurried.Save(Named("刘洋"));
    ADD_FAILURE() << "saved while another program held the lock";
  } catch (const FavouritesError& error) {
    EXPECT_EQ(std::string(error.what()), "无法保存到收藏文件“" + path +
                                             "”:正被另一个程序长时间占用(database is locked);这次修改没有保存");
  }
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(hurried.List().size(), 3u);
}

}  // namespace
}  // namespace tavrin::test
