#include "scoring/score.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(GridsOf, FromTheStrokesOfTheTraditionalForm) {
  // Strokes: 李 7, 马 (馬, counted as 马) 3, 林 8, 王 4, 张 7, 三 3, 后 (後) 9.
  const struct {
    const char* name;
    std::array<int, kGridCount> grids;  // heaven, earth, person, outer, total
  } cases[] = {
      {"李马林", {8, 11, 10, 9, 18}}, {"李王", {8, 5, 11, 2, 11}},
      {"李", {8, 0, 12, 0, 0}},                                   // the absent second character counts 5
      {"李马林王", {8, 0, 10, 0, 0}},                             // four characters: heaven and person only
      {"", {6, 0, 10, 0, 0}},         {"后", {10, 0, 14, 0, 0}},  // 後 has 9 strokes, 后 only 6
      {"张三李", {8, 10, 10, 8, 17}},                             // heaven and outer equal
      {"司马林", {6, 11, 8, 9, 16}},                              // a double surname is still one character: 司 5
      {"a李", {6, 8, 12, 2, 12}},                                 // a one-byte character counts 5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GridsOf(c.name).number, c.grids);
  }
}

TEST(BareName, EverythingFromTheFirstParenthesisIsIgnored) {
  EXPECT_EQ(BareName("李马林(85)"), "李马林");
  EXPECT_EQ(BareName("李马林("), "李马林");
  EXPECT_EQ(BareName("(85)"), "");
  EXPECT_EQ(BareName("李马林"), "李马林");
}

TEST(LinePoints, FavourableHalfAndUnfavourable) {
  const struct {
    const char* line;
    int points;
  } cases[] = {
      {"第8数 吉", 30},      {"第8数 半吉", 10}, {"第8数 凶", -5}, {"第8数 吉凶参半", 25},
      {"第8数 半吉半凶", 5}, {"第8数 平", 0},    {"大吉大吉", 30},
  };
  for (const auto& c : cases) EXPECT_EQ(LinePoints(c.line), c.points) << c.line;
}

struct ScoreCase {
  const char* what;
  LineList table;
  const char* name;
  const char* birth;
  const char* expected;
};

void ExpectScores(const std::vector<ScoreCase>& cases, const LineList& elementList = {}) {
  const ElementService elements(elementList);
  for (const ScoreCase& c : cases) {
    SCOPED_TRACE(c.what);
    const NameScorer scorer(c.table, elements);
    EXPECT_EQ(scan::ScoreName(c.table, elementList, c.birth, c.name), c.expected);
    EXPECT_EQ(scorer.ScoreName(c.name, c.birth), c.expected);
    const std::string expected = c.expected;
    EXPECT_EQ(scorer.Score(c.name, c.birth), std::stoi(expected.substr(0, expected.find(','))));
  }
}

// With an empty birth chart every name of up to three characters gets -10 for
// its elements.
TEST(ScoreName, VerdictsAndTheOrderOfTheTable) {
  ExpectScores({
      {"one line per grid, in table order",
       {"第8数 吉", "第10数 凶", "第11数 半吉", "第9数 吉 凶", "第18数 大吉"},
       "李马林",
       "",
       "80,天格:第8数 吉\r人格:第10数 凶\r地格:第11数 半吉\r外格:第9数 吉 凶\r总格:第18数 大吉\r"},
      {"earth before heaven when its line comes first",
       {"第11数 吉", "第8数 吉"},
       "李马林",
       "",
       "50,地格:第11数 吉\r天格:第8数 吉\r"},
      {"equal heaven and outer append the line twice; within a line the grid order holds",
       {"第10数 凶", "第8数 吉"},
       "张三李",
       "",
       "40,地格:第10数 凶\r人格:第10数 凶\r天格:第8数 吉\r外格:第8数 吉\r"},
      {"half favourable adds 10", {"第8数 半吉"}, "李马林", "", "0,天格:第8数 半吉\r"},
      {"favourable and unfavourable add 25", {"第8数 吉凶"}, "李马林", "", "15,天格:第8数 吉凶\r"},
      {"a line without a verdict is still shown", {"第8数 平"}, "李马林", "", "-10,天格:第8数 平\r"},
      {"every grid unfavourable",
       {"第8数 凶", "第9数 凶", "第10数 凶", "第11数 凶", "第18数 凶"},
       "李马林",
       "",
       "-35,天格:第8数 凶\r外格:第9数 凶\r人格:第10数 凶\r地格:第11数 凶\r总格:第18数 凶\r"},
      {"capped at 100",
       {"第8数 吉", "第10数 吉", "第11数 吉", "第9数 吉", "第18数 半吉"},
       "李马林",
       "金金木木水水火火土土",
       "100,天格:第8数 吉\r人格:第10数 吉\r地格:第11数 吉\r外格:第9数 吉\r总格:第18数 半吉\r"},
      {"no table", {}, "李马林", "", "-10,"},
      {"an empty name: heaven 6, person 10, and 0 for the rest, which a line for 0 would match",
       {"第6数 吉", "第10数 吉", "第0数 凶"},
       "",
       "",
       "35,天格:第6数 吉\r人格:第10数 吉\r地格:第0数 凶\r外格:第0数 凶\r总格:第0数 凶\r"},
      {"two grids in one line", {"第8数与第9数 吉"}, "李马林", "", "50,天格:第8数与第9数 吉\r外格:第8数与第9数 吉\r"},
      {"a key twice in one line counts once", {"第8数 第8数 吉"}, "李马林", "", "20,天格:第8数 第8数 吉\r"},
      {"a one-character name", {"第8数 吉", "第12数 吉"}, "李", "", "50,天格:第8数 吉\r人格:第12数 吉\r"},
      {"a two-character name",
       {"第2数 凶", "第5数 吉", "第11数 半吉"},
       "李王",
       "",
       "35,外格:第2数 凶\r地格:第5数 吉\r人格:第11数 半吉\r总格:第11数 半吉\r"},
  });
}

TEST(ScoreName, KeysAreWholeNumbers) {
  ExpectScores({
      // 李王: heaven 8, earth 5, person 11, outer 2, total 11.
      {"第11数 is not inside 第111数", {"第111数 吉", "第11数 凶"}, "李王", "", "-20,人格:第11数 凶\r总格:第11数 凶\r"},
      {"第8数 is not inside 第18数 or 第08数",
       {"第18数 吉", "第08数 吉", "第 8数 吉", "第８数 吉"},
       "李王",
       "",
       "-10,"},
      // 一 has heaven 2; the line holds 第2数 only across the characters B0B5 and DA32.
      {"a key across character boundaries is no key", {"\xB0\xB5\xDA\x32数 吉"}, "一", "", "-10,"},
  });
}

TEST(ScoreName, ElementBalanceOfBirthChartAndName) {
  // With no element list: 李 金, 马 火, 林 金 (strokes 7, 3, 8); 后 土, 後 would be 水.
  ExpectScores({
      {"balanced", {}, "李马林", "木木水水火土土金", "10,"},
      {"fire once", {}, "李马林", "木木水水土土土土", "-10,"},
      {"the elements of the name as given, not of its traditional form",
       {"第10数 吉"},
       "后",
       "金金木木水水火火土",
       "40,天格:第10数 吉\r"},
      {"the annotation is ignored for the elements too", {}, "李马林(85)", "木木水水火土土金", "10,"},
      {"four characters", {}, "李马林王", "木木水水土土", "10,"},
  });
  const LineList woodList = {"“木”的字有：", "李马林"};
  ExpectScores(
      {
          {"elements from the list", {}, "李马林", "金金水水火火土土", "10,"},
          {"elements from the list, one missing", {}, "李马林", "金水水火火土土", "-10,"},
      },
      woodList);
}

TEST(ScoreName, AnnotationInParenthesesIsIgnored) {
  const LineList table = {"第8数 吉", "第10数 凶", "第11数 半吉", "第9数 吉 凶", "第18数 大吉"};
  const ElementService elements({});
  const NameScorer scorer(table, elements);
  for (const char* text : {"李马林(85)", "李马林(", "李马林(-35)张"}) {
    EXPECT_EQ(scorer.ScoreName(text, ""), scorer.ScoreName("李马林", "")) << text;
    EXPECT_EQ(scan::ScoreName(table, {}, "", text), scorer.ScoreName("李马林", "")) << text;
  }
}

}  // namespace
}  // namespace tavrin
