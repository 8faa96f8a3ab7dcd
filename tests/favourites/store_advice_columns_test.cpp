// The kept advice in columns: a store of the layout before them opens with
// every favourite, its advice read into the columns and the family's votes
// kept, and it exports the same file, byte for byte, as it did; the warning
// rows follow their favourite when it changes or goes.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "chars/encoding.h"
#include "favourites/exchange.h"
#include "favourites/favourites_testutil.h"
#include "share/vote_book.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

void Exec(sqlite3* db, const std::string& sql) {
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
}

// The one number a query gives.
std::int64_t Number(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  sqlite3_open(path.c_str(), &db);
  std::int64_t value = -99;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    value = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}

struct StoredAdvice {
  const char* what;
  const char* name;  // GBK, as the core has it
  const char* json;  // GBK here, stored as UTF-8; nullptr: no advice
  int recommend;     // as the window reads it
  struct Warning {
    const char *kind, *severity, *text;  // the text GBK here
  };
  std::vector<Warning> warnings;
};

const StoredAdvice kStored[] = {
    {"no advice", "张伟", nullptr, -1, {}},
    {"warnings",
     "李静",
     R"({"name":"李静","recommend":72,"warnings":[{"kind":"homophone","severity":"mild","text":"音近“利尽”"},)"
     R"({"kind":"common","severity":"mild","text":"同名者多"}],"reasons":[]})",
     72,
     {{"homophone", "mild", "音近“利尽”"}, {"common", "mild", "同名者多"}}},
    {"serious warnings",
     "王芳",
     R"({"recommend":35,"warnings":[{"kind":"rude","severity":"serious","text":"谐音不雅"},)"
     R"({"kind":"tone","severity":"mild","text":"三字同调"}]})",
     35,
     {{"rude", "serious", "谐音不雅"}, {"tone", "mild", "三字同调"}}},
    {"bad JSON", "刘洋", R"({"recommend": 80, "warnings": [)", -1, {}},
    {"a fraction, a warning without text or kind",
     "陈杰",
     R"({"recommend": 7.5, "warnings":[{"kind":"rude","severity":"serious"},{"text":"生僻"}, "loose"]})",
     0,
     {{"", "", "生僻"}}},
};

// A store of the layout before the advice's columns, made as that program
// made it; `shared`: it was shared with the family, so it has their votes.
void MakeLayoutTwo(const std::string& path, bool shared) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  Exec(db, FavouritesSchema()[0].sql);
  Exec(db, FavouritesSchema()[1].sql);
  Exec(db, "PRAGMA application_id = " + std::to_string(kFavouritesApplicationId) + "; PRAGMA user_version = 2");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO favourite (name, sex, birth_year, birth_month, birth_day, birth_hour, score, advice,"
                     " note, added, changed) VALUES (?1, 'female', 2012, 6, 1, 7, 88, ?2, ?3, ?4, ?4)",
                     -1, &insert, nullptr);
  int n = 0;
  for (const StoredAdvice& s : kStored) {
    const std::string name = GbkToUtf8(s.name), json = s.json ? GbkToUtf8(s.json) : "", note = GbkToUtf8("好听");
    sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (s.json) {
      sqlite3_bind_text(insert, 2, json.c_str(), -1, SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(insert, 2);
    }
    sqlite3_bind_text(insert, 3, note.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 4, kTestNow - 100 + ++n);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE) << s.what;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  if (shared) {
    Exec(db, share::SqliteVoteBook::TablesSql());
    Exec(db,
         "INSERT INTO member (id, display_name, joined) VALUES (1, 'grandma', 1);"
         "INSERT INTO vote VALUES (1, 'x', 'female', 5, '', 1, 1)");
  }
  sqlite3_close(db);
}

void ExpectAdviceAsStored(const std::vector<Favourite>& favourites) {
  ASSERT_EQ(favourites.size(), std::size(kStored));
  for (std::size_t i = 0; i < favourites.size(); ++i) {
    const StoredAdvice& s = kStored[i];
    SCOPED_TRACE(s.what);
    EXPECT_EQ(favourites[i].name, GbkText(s.name));
    EXPECT_EQ(favourites[i].note, GbkText("好听"));
    ASSERT_EQ(favourites[i].advice.has_value(), s.json != nullptr);
    if (!s.json) continue;
    EXPECT_EQ(favourites[i].advice->json, ToUtf8(GbkText(s.json)));
    EXPECT_EQ(favourites[i].advice->recommend, s.recommend);
    std::vector<KeptWarning> warnings;
    for (const auto& w : s.warnings) warnings.push_back({w.kind, w.severity, ToUtf8(GbkText(w.text))});
    EXPECT_EQ(favourites[i].advice->warnings, warnings);
  }
}

TEST(StoreAdviceColumns, ALayoutTwoStoreKeepsEveryFavouriteAndExportsAsBefore) {
  share::AddVoteTables();  // as the programs lay their stores out
  for (const bool shared : {false, true}) {
    SCOPED_TRACE(shared ? "shared before" : "never shared");
    TempDir dir;
    const std::string path = dir.Dir() + "favourites.db";
    MakeLayoutTwo(path, shared);
    std::string before;
    {
      // Only read: the layout stays as it is, and the advice is read from
      // its JSON.
      StoreOptions readOnly = FixedClock();
      readOnly.readOnly = true;
      FavouritesStore store(path, readOnly);
      EXPECT_EQ(store.SchemaVersion(), 2);
      ExpectAdviceAsStored(store.List());
      before = FavouritesToJson(store.List(), kTestNow).Bytes();
    }
    FavouritesStore store(path, FixedClock());
    EXPECT_EQ(store.SchemaVersion(), kFavouritesSchemaVersion);
    ExpectAdviceAsStored(store.List());
    EXPECT_EQ(FavouritesToJson(store.List(), kTestNow).Bytes(), before);
    // The columns themselves, as another SQLite tool reads them.
    EXPECT_EQ(Number(path, "SELECT count(*) FROM favourite_warning"), 5);
    EXPECT_EQ(Number(path, "SELECT count(*) FROM favourite WHERE recommend IS NULL"), 2);
    EXPECT_EQ(Number(path, "SELECT sum(recommend) FROM favourite"), 72 + 35 + 0);
    EXPECT_EQ(Number(path, "SELECT count(*) FROM vote"), shared ? 1 : 0);
    EXPECT_EQ(IntegrityOf(path), "ok");
  }
}

TEST(StoreAdviceColumns, TheWarningRowsFollowTheirFavourite) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  auto advised = [](const char* name, int warnings) {
    Favourite f = Named(name, Sex::kFemale);
    if (warnings < 0) return f;
    std::string json = R"({"warnings":[)";
    for (int i = 0; i < warnings; ++i) json += std::string(i ? "," : "") + R"({"text":")" + std::to_string(i) + "\"}";
    f.advice = ReadKeptAdvice(Utf8Text(json + "]}"));
    return f;
  };
  const std::pair<std::function<void(FavouritesStore&)>, std::int64_t> steps[] = {
      {[&](FavouritesStore& s) { s.Save(advised("李静", 2)); }, 2},
      {[&](FavouritesStore& s) { s.Merge({advised("王芳", 3)}); }, 5},
      {[&](FavouritesStore& s) { s.Save(advised("李静", 1)); }, 4},
      {[&](FavouritesStore& s) { s.SetNote(GbkText("李静"), Sex::kFemale, GbkText("嗯")); }, 4},
      {[&](FavouritesStore& s) { s.Save(advised("王芳", -1)); }, 1},  // kept again without advice
      {[&](FavouritesStore& s) { s.Remove(GbkText("李静"), Sex::kFemale); }, 0},
  };
  for (const auto& [change, rows] : steps) {
    {
      FavouritesStore store(path, FixedClock());
      change(store);
    }
    EXPECT_EQ(Number(path, "SELECT count(*) FROM favourite_warning"), rows);
    for (const Favourite& f : FavouritesStore(path).List()) {
      if (f.advice) {
        EXPECT_EQ(f.advice->warnings, ReadKeptAdvice(f.advice->json).warnings);
      }
    }
  }
}

}  // namespace
}  // namespace tavrin::test
