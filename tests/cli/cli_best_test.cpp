// generate --best N: the best distinct names of the run with their advice
// and the baby they were judged for, added after everything else; without
// it the output is the same.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>
#include <string>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;
using Json = nlohmann::ordered_json;

const std::vector<std::string> kRun = {"generate", "--seed", "20121209", "--count", "200", "--sex", "female"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more) {
  args.insert(args.end(), more);
  return args;
}

TEST(CliBest, JsonHoldsTheBestNamesAsAdviceAndNothingElseChanges) {
  const auto plain = RunCommand(With(kRun, {"--json"}));
  const auto best = RunCommand(With(kRun, {"--json", "--best", "12"}));
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(best.status, 0) << best.err;
  Json withBest = Json::parse(best.out);
  ASSERT_TRUE(withBest.contains("best"));
  const Json names = withBest["best"];
  withBest.erase("best");
  ASSERT_TRUE(withBest.contains("child"));
  EXPECT_FALSE(withBest["child"]["favourable"].empty());
  withBest.erase("child");
  EXPECT_EQ(withBest.dump() + "\n", plain.out);

  ASSERT_EQ(names.size(), 12u);
  std::set<std::string> distinct;
  int previous = 101;
  for (const Json& name : names) {
    std::vector<std::string> keys;
    for (const auto& item : name.items()) keys.push_back(item.key());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"name", "sex", "pinyin", "recommend", "warnings", "pairMeaning", "chars",
                                        "reasons", "fit", "givenElements", "score", "conventions_score", "origin"}));
    EXPECT_EQ(name["sex"], "female");
    EXPECT_TRUE(distinct.insert(name["name"].get<std::string>()).second) << name["name"];
    EXPECT_LE(name["recommend"].get<int>(), previous) << name["name"];
    previous = name["recommend"].get<int>();
    for (const Json& warning : name["warnings"]) EXPECT_NE(warning["severity"], "serious") << name["name"];
    // Level-1 characters only.
    for (const Json& ch : name["chars"]) EXPECT_EQ(ch["level"].get<int>(), 1) << name["name"];
  }
}

TEST(CliBest, TextAddsOneLastSection) {
  const auto plain = RunCommand(kRun);
  const auto best = RunCommand(With(kRun, {"--best", "5"}));
  ASSERT_EQ(best.status, 0) << best.err;
  const std::string heading = U8(u8"【精选】") + "\n";
  const std::size_t at = best.out.find(heading);
  ASSERT_NE(at, std::string::npos);
  const std::size_t seed = best.out.find("seed: ", at);
  ASSERT_NE(seed, std::string::npos);
  // Taking the section out gives the output without --best.
  EXPECT_EQ(best.out.substr(0, at) + best.out.substr(seed), plain.out);
  const std::string section = best.out.substr(at + heading.size(), seed - at - heading.size());
  // What the baby needs and how the two readings differ, then the names.
  EXPECT_EQ(section.find(U8(u8"宝宝八字 ")), 0u) << section;
  EXPECT_EQ(std::count(section.begin(), section.end(), '\n'), 2 + 5) << section;
  EXPECT_NE(section.find(U8(u8"推荐度 ")), std::string::npos) << section;
  EXPECT_NE(section.find(U8(u8"\t通行评分 ")), std::string::npos) << section;
  EXPECT_NE(section.find(U8(u8"\t来源 ")), std::string::npos) << section;
}

// The best names' 推荐度 is what `advise` gives each of them, the bonus of a
// source in the 诗经, the 楚辞 or the Four Books included, and then the
// baby's own lines (the elements, the naming books' numerology).
TEST(CliBest, RecommendAgreesWithAdviseSourceBonusIncluded) {
  const auto best = RunCommand(With(kRun, {"--json", "--best", "60"}));
  ASSERT_EQ(best.status, 0) << best.err;
  const Json names = Json::parse(best.out)["best"];
  std::vector<std::string> args = {"advise", "--sex", "female", "--json"};
  for (const Json& name : names) args.push_back(name["name"].get<std::string>());
  const auto advised = RunCommand(args);
  ASSERT_EQ(advised.status, 0) << advised.err;
  const Json expected = Json::parse(advised.out)["names"];
  ASSERT_EQ(names.size(), expected.size());
  int withBonus = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i]["name"], expected[i]["name"]);
    const Json& reasons = names[i]["reasons"];
    const Json& own = expected[i]["reasons"];
    ASSERT_GE(reasons.size(), own.size()) << names[i]["name"];
    int childPoints = 0;
    for (std::size_t r = 0; r < reasons.size(); ++r) {
      const std::string text = reasons[r]["text"].get<std::string>();
      if (r < own.size()) {
        EXPECT_EQ(reasons[r], own[r]) << names[i]["name"];
      } else {
        EXPECT_TRUE(text.find(U8(u8"喜用")) != std::string::npos || text.starts_with(U8(u8"通行算法"))) << text;
        childPoints += reasons[r]["points"].get<int>();
      }
      withBonus += text.starts_with(U8(u8"名字出自"));
    }
    // Neither held within 0..100: the baby's lines add to the name's own.
    const int recommend = names[i]["recommend"].get<int>();
    const int ownRecommend = expected[i]["recommend"].get<int>();
    if (recommend > 0 && recommend < 100 && ownRecommend > 0 && ownRecommend < 100) {
      EXPECT_EQ(recommend, ownRecommend + childPoints) << names[i]["name"];
    }
  }
  EXPECT_GE(withBonus, 1);  // this run's best 60 hold 张羽衣 (唐诗三百首)
}

TEST(CliBest, RefusesACountThatIsNoPositiveNumber) {
  for (const char* value : {"0", "-3", "x", "", "5x", "100001"}) {
    const auto result = RunCommand(With(kRun, {"--best", value}));
    EXPECT_EQ(result.status, 2) << value;
    EXPECT_NE(result.err.find("--best"), std::string::npos) << value << ": " << result.err;
  }
}

}  // namespace
}  // namespace tavrin::cli
