// The pieces the library is searched by: where a name's characters stand in
// a line, the lines and index form of a text, the order of line keys, and
// the given name of a full name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "sources/library_text.h"

namespace tavrin::sources {
namespace {

// Test literals are GBK; the library's texts are UTF-8.
std::string U(const char* gbk) { return GbkToUtf8(gbk); }

TEST(LibraryText, PlaceName) {
  const struct {
    const char* line;
    const char* name;
    Fit fit;
    std::vector<int> positions;
  } cases[] = {
      {"我善养吾浩然之气", "浩然", Fit::kAdjacent, {5, 6}},
      {"路漫漫其修远兮", "修远", Fit::kAdjacent, {5, 6}},
      {"静女其姝", "静姝", Fit::kInOrder, {1, 4}},
      {"清扬婉兮", "婉清", Fit::kAnyOrder, {3, 1}},
      {"青青子衿", "青子", Fit::kAdjacent, {2, 3}},  // the second 青 touches 子
      {"青青子衿", "青青", Fit::kAdjacent, {1, 2}},  // a doubled character takes two places
      {"绿竹青", "青青", Fit::kNone, {}},            // ... and needs both
      {"子之清扬", "扬清", Fit::kAnyOrder, {4, 3}},
      {"明明如月何时可掇", "明月", Fit::kInOrder, {2, 4}},  // the tightest span in order
      {"月出皎兮明", "明月", Fit::kAnyOrder, {5, 1}},
      {"天命之谓性", "浩然", Fit::kNone, {}},
      {"我", "浩然", Fit::kNone, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line) + " / " + c.name);
    std::vector<int> positions;
    EXPECT_EQ(PlaceName(Utf8Chars(U(c.line)), Utf8Chars(U(c.name)), positions), c.fit);
    if (c.fit != Fit::kNone) {
      EXPECT_EQ(positions, c.positions);
    }
  }
}

TEST(LibraryText, LinesAndIndexForm) {
  const struct {
    const char* text;
    std::vector<std::string> lines;
    const char* form;
  } cases[] = {
      {"青青子衿，悠悠我心。", {"青青子衿", "悠悠我心"}, "青 青 子 衿 0 悠 悠 我 心 0"},
      {"子曰：“学而时习之”\n有朋", {"子曰", "学而时习之", "有朋"}, "子 曰 0 学 而 时 习 之 0 有 朋"},
      {"，，abc 12", {}, "0"},
      {"满庭芳·三闾", {"满庭芳", "三闾"}, "满 庭 芳 0 三 闾"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> lines;
    for (const std::string& line : TextLines(U(c.text))) lines.push_back(*Utf8ToGbk(line));
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(IndexForm(U(c.text)), U(c.form));
  }
}

// Line keys order lines as sources rank: collection, the well-known
// anthology first, then text and line; and give both back.
TEST(LibraryText, LineKeysFollowTheRanking) {
  const struct {
    const char* collection;
    std::int64_t text;
    int line;
  } ranked[] = {{"诗经", 900, 3},     {"诗经", 901, 0},       {"楚辞", 20, 0},       {"论语", 960, 0},
                {"孟子", 980, 9999},  {"唐诗三百首", 316, 0}, {"全唐诗", 1000, 0},   {"宋词三百首", 400, 0},
                {"全宋词", 60000, 0}, {"曹操", 84000, 0},     {"元曲", 84001, 65535}};
  for (std::size_t i = 0; i < std::size(ranked); ++i) {
    SCOPED_TRACE(ranked[i].collection);
    const std::int64_t key = LineKey(U(ranked[i].collection), ranked[i].text, ranked[i].line);
    EXPECT_EQ(TextIdOfLineKey(key), ranked[i].text);
    EXPECT_EQ(LineNumberOfLineKey(key), ranked[i].line);
    if (i > 0) {
      EXPECT_LT(LineKey(U(ranked[i - 1].collection), ranked[i - 1].text, ranked[i - 1].line), key);
    }
  }
}

TEST(LibraryText, GivenName) {
  const struct {
    const char* full;
    int surnameLength;
    const char* given;
  } cases[] = {
      {"孟浩然", 1, "浩然"},   {"王修远", 1, "修远"},   {"李白", 1, "白"}, {"欧阳若水", 2, "若水"}, {"诸葛亮", 2, "亮"},
      {"司马相如", 2, "相如"}, {"上官婉儿", 2, "婉儿"}, {"欧阳", 2, ""},   {"王", 1, ""},           {"", 1, ""},
      {"王a", 1, "a"},         {"孟浩然", 0, ""}};
  for (const auto& c : cases) EXPECT_EQ(GivenName(c.full, c.surnameLength), c.given) << c.full;
}

}  // namespace
}  // namespace tavrin::sources
