#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/gbk.h"
#include "conventions/common_grids.h"
#include "conventions/conventions_data.h"
#include "conventions/kangxi.h"
#include "conventions/sancai.h"

namespace tavrin::conventions {
namespace {

using test::SurnameLength;

std::optional<FiveGrids> GridsOfName(const std::string& name) {
  std::vector<int> strokes;
  for (const std::string& ch : SplitChars(name)) strokes.push_back(KangxiStrokes(ch, Numerals::kValues));
  return GridsFromStrokes(strokes, SurnameLength(name));
}

TEST(CommonGrids, SingleAndCompoundSurnames) {
  const struct {
    const char* name;
    int surnameLength, heaven, person, earth, outer, total;
  } cases[] = {
      // single surname: 天 s1+1, 人 s1+s2, 地 s2+s3 (s2+1), 外 s3+1 (2)
      {"张伟", 1, 12, 22, 12, 2, 22},  // 張11 偉11
      {"王小明", 1, 5, 7, 11, 9, 15},  // 王4 小3 明8
      {"李四", 1, 8, 11, 5, 2, 11},    // 李7 四 as 4
      // compound surname, one given character: 天 s1+s2, 人 s2+s3, 地 s3+1, 外 s1+1
      {"欧阳修", 2, 32, 27, 11, 16, 42},  // 歐15 陽17 修10
      {"诸葛亮", 2, 31, 24, 10, 17, 40},  // 諸16 葛15 亮9
      {"司马光", 2, 15, 16, 7, 6, 21},    // 司5 馬10 光6
      {"令狐冲", 2, 14, 24, 16, 6, 29},   // 令5 狐9 衝15
      // two given characters: 地 s3+s4, 外 s1+s4
      {"上官婉儿", 2, 11, 19, 19, 11, 30},  // 上3 官8 婉11 兒8
      {"东方明珠", 2, 12, 12, 19, 19, 31},  // 東8 方4 明8 珠11
      {"澹台子羽", 2, 22, 8, 9, 23, 31},    // 澹17 台5 子3 羽6
      {"万俟一凡", 2, 24, 10, 4, 18, 28},   // 萬15 俟9 一1 凡3
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SurnameLength(c.name), c.surnameLength);
    const auto g = GridsOfName(c.name);
    ASSERT_TRUE(g.has_value());
    const FiveGrids& n = *g;
    EXPECT_EQ((std::vector<int>{n[kHeavenGrid], n[kPersonGrid], n[kEarthGrid], n[kOuterGrid], n[kTotalGrid]}),
              (std::vector<int>{c.heaven, c.person, c.earth, c.outer, c.total}));
  }
}

TEST(CommonGrids, SurnameLengthAndShapesWithoutGrids) {
  for (const char* compound :
       {"欧阳", "诸葛", "司马", "上官", "东方", "皇甫", "尉迟", "公孙", "慕容", "长孙", "宇文", "司徒", "夏侯",
        "轩辕", "令狐", "端木", "独孤", "南宫", "西门", "百里", "呼延", "澹台", "钟离", "闻人", "赫连", "万俟"}) {
    EXPECT_EQ(SurnameLength(std::string(compound) + "一"), 2) << compound;
    EXPECT_EQ(SurnameLength(compound), 1) << compound << " alone is a surname and a given name";
  }
  for (const char* single : {"欧明", "张三", "马司徒", "阳欧", ""}) EXPECT_EQ(SurnameLength(single), 1) << single;

  EXPECT_FALSE(GridsFromStrokes({7}, 1));           // no given name
  EXPECT_FALSE(GridsFromStrokes({7, 3, 8, 2}, 1));  // three given characters
  EXPECT_FALSE(GridsFromStrokes({15, 17}, 2));      // a compound surname alone
  EXPECT_FALSE(GridsFromStrokes({7, 0, 8}, 1));     // a character without a count
  EXPECT_FALSE(GridsFromStrokes({7, 3, 8}, 3));
}

TEST(Sancai, ElementsByLastDigitAndTheTable) {
  const struct {
    int number;
    const char* element;
  } digits[] = {{1, "木"}, {2, "木"}, {3, "火"},  {4, "火"},  {5, "土"},  {6, "土"},  {7, "金"},
                {8, "金"}, {9, "水"}, {10, "水"}, {21, "木"}, {40, "水"}, {58, "金"}, {103, "火"}};
  for (const auto& d : digits) EXPECT_EQ(ElementChar(GridElement(d.number)), d.element) << d.number;

  const SancaiTable table(test::DataLines("sancai.dat"));
  const struct {
    const char* elements;
    const char* verdict;
  } readings[] = {
      {"木火土", "大吉"},                                      // generating from heaven through person to earth
      {"金金土", "大吉"},                                      // same above, earth generates the person
      {"火火木", "大吉"}, {"木木木", "吉"}, {"木水土", "凶"},  // the person feeds heaven, earth overcomes the person
      {"金木土", "大凶"},  // heaven overcomes the person, the person overcomes earth
      {"水火水", "大凶"},  // overcome from above and below
  };
  for (const auto& r : readings) {
    SCOPED_TRACE(r.elements);
    const std::string e = r.elements;
    const SancaiReading reading =
        table.Read(*ElementOf(e.substr(0, 2)), *ElementOf(e.substr(2, 2)), *ElementOf(e.substr(4, 2)));
    EXPECT_EQ(VerdictText(reading.verdict), r.verdict);
    EXPECT_FALSE(reading.explanation.empty());
  }
  // 欧阳子涵: 天 32 木, 人 20 水, 地 15 土.
  const SancaiReading ouyang = table.Read(FiveGrids{{32, 15, 20, 27, 47}});
  EXPECT_EQ(std::string(ElementChar(ouyang.heaven)) + std::string(ElementChar(ouyang.person)) +
                std::string(ElementChar(ouyang.earth)),
            "木水土");
}

TEST(Sancai, BrokenTablesAreRefused) {
  LineList full = test::DataLines("sancai.dat");
  ASSERT_EQ(full.size(), 125u);
  const struct {
    const char* what;
    LineList lines;
  } cases[] = {
      {"a combination missing", LineList(full.begin() + 1, full.end())},
      {"a combination twice",
       [&] {
         LineList l = full;
         l.push_back(full[0]);
         return l;
       }()},
      {"an unknown verdict",
       [&] {
         LineList l = full;
         l[0] = "金金金\t中吉\t说明";
         return l;
       }()},
      {"no explanation",
       [&] {
         LineList l = full;
         l[0] = "金金金\t吉\t";
         return l;
       }()},
      {"an unknown element",
       [&] {
         LineList l = full;
         l[0] = "金金风\t吉\t说明";
         return l;
       }()},
  };
  for (const auto& c : cases) EXPECT_THROW(SancaiTable{c.lines}, SancaiTableError) << c.what;
}

}  // namespace
}  // namespace tavrin::conventions
