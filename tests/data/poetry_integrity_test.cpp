// Integrity of the shipped poem database "poetry.db" after its cleaning: the
// rows of each collection, no variant character the generator replaces, the
// reviewed authors and titles, no placeholder or cut-off author, no copy of
// a poem.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "core/poetry_db.h"
#include "core/startup.h"
#include "data/char_data_files.h"

namespace tavrin {
namespace {

using test::TreeTable;

struct Poem {
  std::string content, collection, title, author;
};

// The characters of a text up to its first mark or line end.
std::string FirstLine(const std::string& content) {
  std::string line;
  for (const std::string& c : SplitChars(content)) {
    if (c == "\n" || c == "，" || c == "。" || c == "？" || c == "！" || c == "；" || c == "：" || c == "、") break;
    line += c;
  }
  return line;
}

// The text without every occurrence of the given phrases.
std::string Without(std::string text, const std::vector<std::string>& phrases) {
  for (const std::string& phrase : phrases) {
    for (std::size_t at; (at = FindAligned(text, phrase)) != std::string::npos;) text.erase(at, phrase.size());
  }
  return text;
}

std::vector<std::string> SplitOn(const std::string& text, const std::string& comma) {
  std::vector<std::string> parts;
  if (text == "-") return parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(comma, from)) != std::string::npos; from = at + comma.size()) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

class PoetryDb : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    poems_ = new std::vector<Poem>;
    std::string error;
    const auto table = QueryPoems(ExecutableDir() + kPoetryFile, error);
    ASSERT_TRUE(table.has_value()) << error;
    const int content = table->Column("content"), collection = table->Column("collection");
    const int title = table->Column("title"), author = table->Column("author");
    for (const auto& row : table->rows) poems_->push_back({row[content], row[collection], row[title], row[author]});
  }
  static void TearDownTestSuite() {
    delete poems_;
    poems_ = nullptr;
  }
  static const std::vector<Poem>& Poems() { return *poems_; }

 private:
  static std::vector<Poem>* poems_;
};
std::vector<Poem>* PoetryDb::poems_ = nullptr;

TEST_F(PoetryDb, RowsOfEachCollectionAfterMerging) {
  std::map<std::string, int> counts;
  for (const Poem& p : Poems()) ++counts[p.collection];
  const std::map<std::string, int> expected = {{"唐诗三百首", 316}, {"宋词三百首", 274}, {"诗经", 305}, {"楚辞", 64}};
  EXPECT_EQ(counts, expected);
}

// Every variant the generator replaced (its written map, the automatic and
// the reviewed entries together) is gone from texts and titles, but for the
// phrases in which it is kept (沈郎, 乾坤 …).
TEST_F(PoetryDb, NoReplacedVariantIsLeft) {
  const auto variants = TreeTable("tools/names/poetry_variants.tsv");
  EXPECT_GE(variants.size(), 100u);
  for (const auto& row : variants) {
    ASSERT_EQ(row.size(), 5u);
    const std::vector<std::string> kept = SplitOn(row[3], ",");
    for (const Poem& p : Poems()) {
      EXPECT_FALSE(ContainsAligned(Without(p.content + "\n" + p.title, kept), row[0]))
          << row[0] << " in " << p.title << " / " << p.author;
    }
  }
}

TEST_F(PoetryDb, ReviewedAuthorsAndTitles) {
  const struct {
    const char* title;
    const char* author;
    const char* opening;
  } cases[] = {
      {"赤壁", "杜牧", "折戟沉沙铁未销"},              // not 李商隐
      {"回乡偶书", "贺知章", "少小离家老大回"},        // not 还乡偶书 / 黄拱
      {"桃花溪", "张旭", "隐隐飞桥隔野烟"},            // not 度南涧 / 蔡襄
      {"登鹳雀楼", "王之涣", "白日依山尽"},            // not 登楼 / 朱斌
      {"寻隐者不遇", "贾岛", "松下问童子"},            // not 访羊尊师 / 孙革
      {"春怨", "金昌绪", "打起黄莺儿"},                // not a hymn of 释明辩
      {"和晋陵陆丞早春游望", "杜审言", "独有宦游人"},  // not 韦应物
      {"夜上受降城闻笛", "李益", "回乐峰前沙似雪"},    // not "杨敬述进"
      {"经邹鲁祭孔子而叹之", "唐玄宗", "夫子何为者"},  // not 明皇帝
      {"在狱咏蝉", "骆宾王", "西陆蝉声唱"},            // not 在岳
      {"渭城曲", "王维", "渭城朝雨浥轻尘"},            // not 谓城
      {"蝶恋花", "赵令畤", "欲减罗衣寒未去"},          // not 赵令
      {"满庭芳", "张镃", "月洗高梧"},                  // not 张
      {"高阳台", "韩疁", "频听银签"},                  // not 韩
      {"著", "佚名", "俟我于著乎而"},                  // not 着
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    int found = 0;
    for (const Poem& p : Poems()) {
      if (p.content.rfind(c.opening, 0) != 0) continue;
      ++found;
      EXPECT_EQ(p.title, c.title);
      EXPECT_EQ(p.author, c.author);
    }
    EXPECT_EQ(found, 1);
  }
}

TEST_F(PoetryDb, AuthorsTitlesAndCopies) {
  std::set<std::string> texts;
  std::set<std::string> openings;
  for (const Poem& p : Poems()) {
    SCOPED_TRACE(p.title + " / " + p.author);
    // One marker for an unknown poet; no author cut to a surname.
    EXPECT_GE(CharCount(p.author), 2u);
    for (const char* placeholder : {"无名氏", "不详", "明皇帝"}) EXPECT_NE(p.author, placeholder);
    // Parts are written 赠别二首·其一, with no space and no 乐府 category.
    EXPECT_EQ(p.title.find(' '), std::string::npos);
    EXPECT_EQ(FindAligned(p.title, "歌辞"), std::string::npos);
    // No poem twice: not the same text, and (outside 诗经 and 楚辞, where
    // songs share openings) not one poet's same first line.
    std::string characters;
    for (const std::string& c : SplitChars(p.content)) {
      if (c.size() == 2 && c != "，" && c != "。" && c != "？" && c != "！" && c != "；" && c != "：" && c != "、") {
        characters += c;
      }
    }
    EXPECT_TRUE(texts.insert(p.collection + characters).second);
    if (p.collection != "诗经" && p.collection != "楚辞") {
      EXPECT_TRUE(openings.insert(p.author + "|" + FirstLine(p.content)).second);
    }
  }
}

}  // namespace
}  // namespace tavrin
