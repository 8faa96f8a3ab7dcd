// An import merged into the store: fields an entry leaves out stay as kept,
// times ahead of now count as now, an entry as kept counts as unchanged, and
// every file an export writes is read back.
#include <gtest/gtest.h>

#include "chars/encoding.h"
#include "favourites/exchange.h"
#include "favourites/favourites_testutil.h"
#include "testutil.h"

namespace tavrin::test {
namespace {

std::string File(const std::string& entry, const std::string& exported = "2030-01-01T00:00:00Z") {
  return R"({"format": "tavrin-favourites", "version": 1, "exported": ")" + exported + R"(", "favourites": [)" +
         GbkToUtf8(entry) + "]}";
}

TEST(ImportMerge, ChangesOnlyWhatALaterEntryGives) {
  struct Case {
    const char* what;
    std::string entry;   // of 张伟, kept with note 奶奶喜欢, rating 5, changed at kTestNow
    const char* counts;  // added, changed, unchanged
    const char* note;
    int rating;
    std::int64_t changed;
  };
  const std::string head = R"({"name": "张伟", "sex": "male", "date": "2012-01-01", "hour": 1, "score": 90)";
  const Case cases[] = {
      {"no time of change", head + R"(, "note": "", "rating": 0})", "0 0 1", "奶奶喜欢", 5, kTestNow},
      {"later, a rating only", head + R"(, "rating": 1, "changed": "2026-12-09T10:00:00Z"})", "0 1 0", "奶奶喜欢", 1,
       kTestNow + 2700},
      {"earlier, a note", head + R"(, "note": "x", "changed": "2020-01-01T00:00:00Z"})", "0 0 1", "奶奶喜欢", 5,
       kTestNow},
      {"in the future", head + R"(, "note": "x", "changed": "2099-01-01T00:00:00Z"})", "0 1 0", "x", 5,
       kTestNow + 3600},
      {"later but as kept", head + R"(, "note": "奶奶喜欢", "changed": "2026-12-09T10:00:00Z"})", "0 0 1", "奶奶喜欢",
       5, kTestNow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.Dir() + "favourites.db";
    MakeStore(path);
    StoreOptions options = FixedClock();
    options.clock = [] { return kTestNow + 3600; };
    FavouritesStore store(path, options);
    const auto counts = store.Merge(FavouritesFromJson(Utf8Text(File(c.entry))));
    EXPECT_EQ(
        std::to_string(counts.added) + " " + std::to_string(counts.changed) + " " + std::to_string(counts.unchanged),
        c.counts);
    const Favourite kept = *store.Find(GbkText("张伟"), Sex::kMale);
    EXPECT_EQ(std::make_tuple(kept.note, kept.rating, kept.changed),
              std::make_tuple(GbkText(c.note), c.rating, c.changed));
  }
}

TEST(ImportMerge, AReimportIsUnchangedAndEveryExportReadsBack) {
  TempDir dir;
  const std::string path = dir.Dir() + "favourites.db";
  FavouritesStore store(path, FixedClock());
  // Nine thousand favourites with two kilobytes of advice each: more than
  // the 16 MB an import used to read.
  std::vector<Favourite> many;
  const std::string advice = R"({"recommend": 80, "reasons": [")" + std::string(2000, 'x') + R"("]})";
  for (int i = 0; i < 9000; ++i) {
    Favourite f =
        Named(std::string("张") + char(0xB0 + i / 94 % 39) + char(0xA1 + i % 94) + char(0xB0 + i / 3666) + char(0xA1));
    f.advice = ReadKeptAdvice(Utf8Text(advice));
    f.added = f.changed = kTestNow - 60;
    many.push_back(f);
  }
  store.Merge(many);
  const std::string file = dir.Dir() + "export.json";
  WriteExportFile(file, FavouritesToJson(store.List(), kTestNow));
  const std::vector<Favourite> back = FavouritesFromJson(ReadImportFile(file));
  ASSERT_EQ(back.size(), 9000u);
  const auto counts = store.Merge(back);
  EXPECT_EQ(std::make_tuple(counts.added, counts.changed, counts.unchanged), std::make_tuple(0, 0, 9000));
}

}  // namespace
}  // namespace tavrin::test
