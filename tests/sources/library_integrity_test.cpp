// Integrity of the built classical library (library.db): the texts of each
// collection, the curated poems first with their ids and texts, every text
// GBK-clean, no copies, and the variants its build replaced gone.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "core/poetry_db.h"
#include "core/startup.h"
#include "data/char_data_files.h"
#include "sources/library_text.h"

namespace tavrin::sources {
namespace {

constexpr std::int64_t kCurated = 959;

// One text, its fields GBK like the core's texts.
struct Text {
  std::int64_t id;
  std::string content, collection, dynasty, title, author;
};

class Library : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    texts_ = new std::vector<Text>;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((ExecutableDir() + kLibraryFile).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT * FROM texts ORDER BY id", -1, &statement, nullptr), SQLITE_OK);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      Text text{sqlite3_column_int64(statement, 0), {}, {}, {}, {}, {}};
      std::string* fields[] = {&text.content, &text.collection, &text.dynasty, &text.title, &text.author};
      for (int i = 0; i < 5; ++i) {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(statement, i + 1));
        const auto gbk = Utf8ToGbk(utf8 ? utf8 : "");
        // GBK-clean: every field of every text converts.
        EXPECT_TRUE(gbk.has_value()) << "text " << text.id << " field " << i + 1;
        *fields[i] = gbk.value_or("");
      }
      texts_->push_back(std::move(text));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
  }
  static void TearDownTestSuite() {
    delete texts_;
    texts_ = nullptr;
  }
  static const std::vector<Text>& Texts() { return *texts_; }

 private:
  static std::vector<Text>* texts_;
};
std::vector<Text>* Library::texts_ = nullptr;

TEST_F(Library, CollectionsIdsAndFields) {
  std::map<std::string, int> counts;
  for (std::size_t i = 0; i < Texts().size(); ++i) {
    const Text& t = Texts()[i];
    ++counts[t.collection];
    EXPECT_EQ(t.id, static_cast<std::int64_t>(i) + 1);  // ids follow one another
    EXPECT_FALSE(t.title.empty() || t.author.empty() || t.dynasty.empty() || t.content.empty()) << t.id;
    EXPECT_EQ(t.title.find_first_of("\t\n"), std::string::npos) << t.id;
    EXPECT_FALSE(ContainsAligned(t.content, "□")) << t.id;
  }
  const std::map<std::string, int> expected = {
      {"唐诗三百首", 316}, {"宋词三百首", 274}, {"诗经", 305},     {"楚辞", 64},      {"论语", 20},
      {"大学", 1},         {"中庸", 1},         {"孟子", 14},      {"全唐诗", 52680}, {"全宋词", 19451},
      {"五代词", 27},      {"元曲", 10699},     {"纳兰性德", 253}, {"曹操", 26},      {"蒙学", 380}};
  EXPECT_EQ(counts, expected);
}

// The poem database's rows are the library's first, with their ids and texts.
TEST_F(Library, CuratedPoemsUnchanged) {
  std::string error;
  const auto table = QueryPoems(ExecutableDir() + kPoetryFile, error);
  ASSERT_TRUE(table.has_value()) << error;
  ASSERT_EQ(table->rows.size(), static_cast<std::size_t>(kCurated));
  for (std::size_t i = 0; i < table->rows.size(); ++i) {
    const auto& row = table->rows[i];
    const Text& t = Texts()[i];
    EXPECT_EQ(row[static_cast<std::size_t>(table->Column("id"))], std::to_string(t.id));
    EXPECT_EQ(row[static_cast<std::size_t>(table->Column("content"))], t.content) << t.id;
    EXPECT_EQ(row[static_cast<std::size_t>(table->Column("title"))], t.title) << t.id;
    EXPECT_EQ(row[static_cast<std::size_t>(table->Column("author"))], t.author) << t.id;
    EXPECT_EQ(row[static_cast<std::size_t>(table->Column("collection"))], t.collection) << t.id;
  }
}

// The characters two texts share, counted with repeats, over the longer.
double Shared(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::map<std::string, int> count;
  for (const std::string& c : a) ++count[c];
  int shared = 0;
  for (const std::string& c : b) shared += count[c]-- > 0 ? 1 : 0;
  return static_cast<double>(shared) / static_cast<double>(std::max(a.size(), b.size()));
}

// No text twice: not the same characters, and not a near copy: one author's
// texts that begin and end with the same lines, much of a length, sharing
// 85 % of their characters (outside 诗经 and 楚辞, where songs share openings).
TEST_F(Library, NoCopies) {
  std::set<std::string> characters;
  std::map<std::string, std::vector<std::string>> ends;
  for (const Text& t : Texts()) {
    const std::vector<std::string> lines = TextLines(GbkToUtf8(t.content));
    std::string all;
    for (const std::string& line : lines) all += line;
    EXPECT_TRUE(characters.insert(all).second) << t.id << " " << t.title;
    if (t.collection == "诗经" || t.collection == "楚辞" || lines.size() < 2) continue;
    const auto [at, first] = ends.try_emplace(t.author + "|" + lines.front() + "|" + lines.back(), Utf8Chars(all));
    if (!first) {
      const std::vector<std::string> chars = Utf8Chars(all);
      EXPECT_LT(Shared(at->second, chars), 0.85) << t.id << " " << t.title;
    }
  }
}

// The variants the build replaces are gone from every text after the
// curated ones, and under 2 % of the texts, the curated ones among them,
// hold a variant no review has passed.
TEST_F(Library, VariantsReplaced) {
  std::vector<std::string> replaced;
  for (const auto& row : test::TreeTable("tools/names/library_variant_overrides.tsv")) {
    if (row.size() == 4 && row[1] != "=" && row[2] == "-") replaced.push_back(row[0]);
  }
  EXPECT_GE(replaced.size(), 300u);
  std::vector<std::string> left;
  for (const auto& row : test::TreeTable("tools/names/library_variants_left.tsv")) left.push_back(row[0]);
  std::size_t holding = 0;
  std::size_t curatedHolding = 0;
  for (const Text& t : Texts()) {
    const std::string text = t.content + t.title;
    if (t.id > kCurated) {
      for (const std::string& variant : replaced) EXPECT_FALSE(ContainsAligned(text, variant)) << variant << t.id;
    }
    for (const std::string& variant : left) {
      if (!ContainsAligned(text, variant)) continue;
      ++holding;
      curatedHolding += t.id <= kCurated ? 1 : 0;
      break;
    }
  }
  EXPECT_LT(holding * 50, Texts().size());
  EXPECT_LT(curatedHolding * 50, static_cast<std::size_t>(kCurated));
}

}  // namespace
}  // namespace tavrin::sources
