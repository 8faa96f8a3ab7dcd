// The filters and the order of the list of best names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "advice/selection.h"

namespace tavrin::advice {
namespace {

CharFacts Facts(int level) {
  CharFacts facts;
  facts.level = level;
  return facts;
}

const CharFacts kLevel1 = Facts(1);
const CharFacts kLevel2 = Facts(2);
const CharFacts kLevel3 = Facts(3);

Advice Make(const char* first, const char* second, const CharFacts* secondFacts, int recommend,
            std::vector<Severity> warnings = {}) {
  Advice a;
  a.given = {{first, &kLevel1}, {second, secondFacts}};
  a.recommend = recommend;
  for (Severity s : warnings) a.warnings.push_back({WarningKind::kReading, s, "", 0});
  return a;
}

TEST(Selection, Filters) {
  Filter all;
  all.hideSerious = false;
  all.levelOneOnly = false;
  Filter strict;
  strict.hideMild = true;
  strict.minScore = 80;
  strict.leaveOut = "雨轩";
  Filter noLevelThree;  // the 精选 page's default
  noLevelThree.levelOneOnly = false;
  Filter anyLevel = noLevelThree;
  anyLevel.hideLevelThree = false;
  const struct {
    Advice advice;
    int score;
    Filter filter;
    bool passes;
  } cases[] = {
      {Make("子", "涵", &kLevel1, 80), 90, Filter{}, true},
      {Make("子", "涵", &kLevel1, 80, {Severity::kSerious}), 90, Filter{}, false},
      {Make("子", "涵", &kLevel1, 80, {Severity::kSerious}), 90, all, true},
      {Make("子", "涵", &kLevel1, 80, {Severity::kMild}), 90, Filter{}, true},
      {Make("子", "涵", &kLevel1, 80, {Severity::kMild}), 90, strict, false},
      {Make("子", "霖", &kLevel2, 80), 90, Filter{}, false},
      {Make("子", "霖", &kLevel2, 80), 90, all, true},
      {Make("子", "\x81\x40", nullptr, 80), 90, Filter{}, false},  // unknown to the table
      {Make("子", "涵", &kLevel1, 80), 79, strict, false},
      {Make("子", "轩", &kLevel1, 80), 90, strict, false},
      {Make("子", "涵", &kLevel1, 80), 80, strict, true},
      {Make("子", "霖", &kLevel2, 80), 90, noLevelThree, true},
      {Make("子", "翀", &kLevel3, 80), 90, noLevelThree, false},
      {Make("子", "\x81\x40", nullptr, 80), 90, noLevelThree, false},
      {Make("子", "翀", &kLevel3, 80), 90, anyLevel, true},
      {Make("子", "\x81\x40", nullptr, 80), 90, anyLevel, true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Passes(cases[i].advice, cases[i].score, cases[i].filter), cases[i].passes) << "case " << i;
  }
}

TEST(Selection, BestAreOrderedAndVaried) {
  const std::vector<Advice> advice = {
      Make("子", "轩", &kLevel1, 80),                        // 0
      Make("子", "涵", &kLevel1, 79),                        // 1: second with 子
      Make("雨", "涵", &kLevel1, 70),                        // 2
      Make("子", "墨", &kLevel1, 95, {Severity::kSerious}),  // 3: filtered out
      Make("浩", "宇", &kLevel1, 70),                        // 4: as 2, a lower score
      Make("雨", "霖", &kLevel2, 99),                        // 5: level 2
  };
  const std::vector<int> scores = {90, 90, 85, 100, 80, 100};
  EXPECT_EQ(SelectBest(advice, scores, 3), (std::vector<std::size_t>{0, 2, 4}));
  EXPECT_EQ(SelectBest(advice, scores, 4), (std::vector<std::size_t>{0, 1, 2, 4}));  // then round 1
  EXPECT_EQ(SelectBest(advice, scores, 10).size(), 4u);
  EXPECT_TRUE(RanksBefore(advice[2], 85, advice[4], 80));
  EXPECT_FALSE(RanksBefore(advice[4], 80, advice[2], 85));
  // Two names that both show 100 keep the order of the sums they were held
  // from, before the score.
  Advice full = Make("嘉", "树", &kLevel1, 100);
  Advice fuller = Make("云", "汉", &kLevel1, 100);
  full.unclamped = 104;
  fuller.unclamped = 118;
  EXPECT_TRUE(RanksBefore(fuller, 70, full, 100));
  // A whole page: the best of each first character, then the second best …;
  // a name that does not pass has no round.
  EXPECT_EQ(DiversityRounds(advice, scores), (std::vector<int>{0, 1, 0, -1, 0, -1}));
  Filter anyLevel;
  anyLevel.levelOneOnly = false;
  EXPECT_EQ(DiversityRounds(advice, scores, anyLevel), (std::vector<int>{0, 1, 1, -1, 0, 0}));
  // Two names of a round may end alike; the third waits a round.
  const std::vector<Advice> far = {Make("修", "远", &kLevel1, 90), Make("明", "远", &kLevel1, 89),
                                   Make("致", "远", &kLevel1, 88), Make("嘉", "树", &kLevel1, 70)};
  EXPECT_EQ(DiversityRounds(far, {0, 0, 0, 0}), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(SelectBest(far, {0, 0, 0, 0}, 3), (std::vector<std::size_t>{0, 1, 3}));
}

}  // namespace
}  // namespace tavrin::advice
