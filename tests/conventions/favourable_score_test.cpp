#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "conventions/conventions_data.h"
#include "conventions/conventions_score.h"
#include "conventions/favourable.h"

namespace tavrin::conventions {
namespace {

std::string Elements(const std::vector<Element>& elements) {
  std::string out;
  for (Element e : elements) out += ElementChar(e);
  return out;
}

bool AnyLineHas(const LineList& lines, const std::string& part) {
  for (const std::string& line : lines) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

// Real charts (pillars as the calendar gives them) whose strength no school
// disputes.
TEST(Favourable, UnambiguousCharts) {
  const struct {
    const char* what;
    BirthPillars pillars;
    const char* dayMaster;
    int support, oppose, supporting, others;
    bool strong;
    const char* favourable;
    const char* unfavourable;
  } cases[] = {
      // 2024-01-01 06:00: 甲 wood in the 子 month; six of the seven other
      // characters are water or wood, only the hour stem 丁 is not.
      {"strong wood", {"癸卯", "甲子", "甲子", "丁卯"}, "甲", 80, 10, 6, 7, true, "火土金", "木水"},
      // 1990-01-24 08:00: 己 earth; every other character is earth or fire,
      // only hidden stems oppose (庚 in 巳; 癸 and 辛 in 丑; 乙 and 癸 in 辰).
      {"strong earth", {"己巳", "丁丑", "己丑", "戊辰"}, "己", 67, 23, 7, 7, true, "金水木", "火土"},
      // 1990-05-09 10:00: 甲 wood in the 巳 month; no water or wood anywhere,
      // not even among the hidden stems.
      {"wood with no support", {"庚午", "辛巳", "甲戌", "己巳"}, "甲", 0, 90, 0, 7, false, "水木", "金火土"},
      // The same day with the hour unknown: six characters, the same verdict.
      {"hour unknown", {"庚午", "辛巳", "甲戌", ""}, "甲", 0, 70, 0, 5, false, "水木", "金火土"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto s = AssessStrength(c.pillars);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->dayMaster, c.dayMaster);
    EXPECT_EQ(s->support, c.support);
    EXPECT_EQ(s->oppose, c.oppose);
    EXPECT_EQ(s->supportingCharacters, c.supporting);
    EXPECT_EQ(s->otherCharacters, c.others);
    EXPECT_EQ(s->strong, c.strong);
    const FavourableElements f = FavourableOf(*s);
    EXPECT_EQ(Elements(f.favourable), c.favourable);
    EXPECT_EQ(Elements(f.unfavourable), c.unfavourable);
    const LineList reasoning = FavourableReasoning(f);
    EXPECT_EQ(AnyLineHas(reasoning, "时辰不详"), c.pillars.hour.empty());
    EXPECT_TRUE(AnyLineHas(reasoning, c.strong ? "日主偏旺" : "日主偏弱"));
  }
}

TEST(Favourable, TheUsersChoiceAndUnreadablePillars) {
  const auto s = AssessStrength({"庚午", "辛巳", "甲戌", "己巳"});
  ASSERT_TRUE(s.has_value());
  const FavourableElements chosen =
      FavourableOf(*s, std::vector<Element>{Element::kFire, Element::kWater, Element::kFire});
  EXPECT_TRUE(chosen.overridden);
  EXPECT_EQ(Elements(chosen.favourable), "火水");
  EXPECT_EQ(Elements(chosen.unfavourable), "金木土");
  EXPECT_TRUE(AnyLineHas(FavourableReasoning(chosen), "按您的选择"));
  EXPECT_FALSE(FavourableOf(*s, std::vector<Element>{}).overridden);  // an empty choice is no choice

  for (const BirthPillars& bad : {BirthPillars{"", "辛巳", "甲戌", ""}, BirthPillars{"庚午", "辛巳", "甲", ""},
                                  BirthPillars{"庚午", "辛巳", "戌甲", ""}}) {
    EXPECT_FALSE(AssessStrength(bad).has_value()) << bad.year << bad.day;
  }
}

TEST(ConventionsScore, WorkedExamples) {
  const ElementService noElements{LineList{}};
  const NameScorer numerology(test::DataLines("5ge.dat"), noElements);
  const SancaiTable sancai(test::DataLines("sancai.dat"));
  const std::map<std::string, std::string> elementOf{{"子", "水"}, {"涵", "水"}, {"浩", "水"}, {"宇", "土"}};
  const ElementLookup lookup = [&](std::string_view ch) {
    const auto it = elementOf.find(std::string(ch));
    return it == elementOf.end() ? std::string() : it->second;
  };
  const FavourableElements weakWood = FavourableOf(*AssessStrength({"庚午", "辛巳", "甲戌", "己巳"}));    // 水木
  const FavourableElements strongWood = FavourableOf(*AssessStrength({"癸卯", "甲子", "甲子", "丁卯"}));  // 火土金

  const struct {
    const char* name;
    const FavourableElements* favourable;
    int numerologyPoints, numerologyPart, sancaiPart, elementPart, score;
  } cases[] = {
      // 歐15 陽17 子3 涵12: 天32 吉, 人20 凶, 地15 吉, 外27 半吉, 总47 吉 = 95 -> 38;
      // 木水土 凶 -> 5; 子 and 涵 are water, favourable -> 20.
      {"欧阳子涵", &weakWood, 95, 38, 5, 20, 63},
      // 張11 浩11 宇6: 天12 凶, 人22 凶, 地17 吉, 外7 吉, 总28 凶 = 45 -> 18;
      // 木木金 凶 -> 5; 宇 earth favourable, 浩 water not -> 10.
      {"张浩宇", &strongWood, 45, 18, 5, 10, 33},
      // Without a birth chart the element part is half.
      {"张浩宇", nullptr, 45, 18, 5, 10, 33},
      {"欧阳子涵", nullptr, 95, 38, 5, 10, 53},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = ReadConventions({c.name, test::SurnameLength(c.name), Numerals::kValues, c.favourable}, numerology,
                                   &sancai, lookup);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->numerologyPoints, c.numerologyPoints);
    EXPECT_EQ(r->numerologyPart, c.numerologyPart);
    EXPECT_EQ(r->sancaiPart, c.sancaiPart);
    EXPECT_EQ(r->elementPart, c.elementPart);
    EXPECT_EQ(r->score, c.score);
  }
  EXPECT_FALSE(ReadConventions({"张"}, numerology, &sancai, lookup).has_value());
  EXPECT_FALSE(ReadConventions({"张A"}, numerology, &sancai, lookup).has_value());
  for (const auto& [grid, number] : {std::pair{81, 81}, {82, 2}, {161, 81}, {162, 2}})
    EXPECT_EQ(TableNumber(grid), number);
}

}  // namespace
}  // namespace tavrin::conventions
