// Every way a program comes to a store lays its file out as this program
// always has: the command line's new store, an older layout brought up to
// date by the command line or by a vote book, and a store laid out without
// the family's vote tables, which a vote book completes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_testutil.h"
#include "favourites/store.h"
#include "share/vote_book.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

// The file's tables and indexes in the order they were made.
std::vector<std::string> Layout(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_stmt* select = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master ORDER BY rowid", -1, &select, nullptr);
  std::vector<std::string> names;
  while (sqlite3_step(select) == SQLITE_ROW)
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
  sqlite3_finalize(select);
  sqlite3_close(db);
  return names;
}

// A store of the layout before the vote tables and the advice's columns.
void MakeLayoutTwo(const std::string& path) {
  StoreOptions earlier;
  earlier.schema = FavouritesSchema().first(2);
  earlier.additions = {};
  ASSERT_EQ(FavouritesStore(path, earlier).SchemaVersion(), 2);
}

void AddOne(const std::string& path) {
  const test::CliResult added = test::RunCommand({"favourites", "add", test::U8(u8"张伟"), "--store", path});
  EXPECT_EQ(added.status, 0) << added.err;
}

struct Way {
  const char* what;
  std::function<void(const std::string& path)> make;
  bool inOrder;  // made in the order of the layout, or only holding its tables
};

// The layout of the stores each way makes. What adds the vote tables to the
// layout adds them for the rest of the program: each test (a program of its
// own under ctest) is one kind of program, its first row made before anything
// else could have added them.
void ExpectLaidOutAsBefore(const std::vector<Way>& ways) {
  const std::vector<std::string> kLayout = {"favourite",
                                            "sqlite_autoindex_favourite_1",
                                            "member",
                                            "sqlite_autoindex_member_1",
                                            "vote",
                                            "sqlite_autoindex_vote_1",
                                            "sqlite_autoindex_vote_2",
                                            "favourite_warning",
                                            "sqlite_autoindex_favourite_warning_1"};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    tavrin::test::TempDir dir;
    const std::string path = dir.Dir() + "favourites.db";
    way.make(path);
    std::vector<std::string> layout = Layout(path), expected = kLayout;
    if (!way.inOrder) {
      std::sort(layout.begin(), layout.end());
      std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(layout, expected);
  }
}

TEST(CliStoreLayout, TheCommandLine) {
  ExpectLaidOutAsBefore({
      {"no store yet", [](const std::string& path) { AddOne(path); }, true},
      {"a store of layout 2",
       [](const std::string& path) {
         MakeLayoutTwo(path);
         AddOne(path);
       },
       true},
  });
}

TEST(CliStoreLayout, AVoteBook) {
  ExpectLaidOutAsBefore({
      {"a store of layout 2",
       [](const std::string& path) {
         MakeLayoutTwo(path);
         share::SqliteVoteBook book(path);
       },
       true},
      {"a store laid out without the vote tables",
       [](const std::string& path) {
         StoreOptions without;
         without.additions = {};
         {
           FavouritesStore store(path, without);
         }
         share::SqliteVoteBook book(path);
         EXPECT_EQ(book.Add({"grandma", "x", "male", 5, ""}).version, 1);
       },
       false},
  });
}

}  // namespace
}  // namespace tavrin::cli
