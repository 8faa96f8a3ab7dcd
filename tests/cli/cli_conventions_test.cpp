#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using nlohmann::json;
using test::RunCommand;
using test::U8;

json Json(const std::vector<std::string>& args) {
  const auto result = RunCommand(args);
  EXPECT_EQ(result.status, 0) << result.err;
  return json::parse(result.out, nullptr, false);
}

// 时辰不详 is the chart without an hour pillar: what an hour outside 0..23 gives.
TEST(CliConventions, UnknownHourIsTheEmptyHourPillar) {
  const struct {
    std::vector<std::string> args;  // the hour goes last
    const char8_t* extraLine;       // what 时辰不详 adds at the end
  } cases[] = {
      {{"analyse", U8(u8"张伟"), "--date", "2024-01-01", "--hour"}, u8"出生时辰不详,八字没有时柱,只看年、月、日三柱\n"},
      {{"generate", "--seed", "7", "--count", "3", "--date", "2000-01-01", "--hour"}, u8""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> unknown = c.args, outside = c.args;
    unknown.push_back("unknown");
    outside.push_back("24");
    const auto a = RunCommand(unknown), b = RunCommand(outside);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out + U8(c.extraLine)) << c.args[0];
  }
  const auto pillars = RunCommand({"pillars", "2024-01-01", "unknown"});
  ASSERT_EQ(pillars.status, 0) << pillars.err;
  EXPECT_NE(pillars.out.find(U8(u8"癸卯年 甲子月 甲子日 时\n")), std::string::npos) << pillars.out;
  EXPECT_NE(pillars.out.find(U8(u8"BirthElements: 水木木水木水\n")), std::string::npos) << pillars.out;
}

TEST(CliConventions, JsonForSingleAndCompoundSurnames) {
  const struct {
    const char8_t* name;
    int surnameLength;
    std::vector<int> kangxi, grids;  // grids 天 人 地 外 总
    const char8_t* sancai;
  } cases[] = {
      {u8"张浩宇", 1, {11, 11, 6}, {12, 22, 17, 7, 28}, u8"木木金"},
      {u8"欧阳子涵", 2, {15, 17, 3, 12}, {32, 20, 15, 27, 47}, u8"木水土"},
      {u8"欧阳修", 2, {15, 17, 10}, {32, 27, 11, 16, 42}, u8"木金木"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.name));
    const json out = Json({"analyse", U8(c.name), "--date", "2024-05-06", "--hour", "9", "--conventions", "--json"});
    ASSERT_TRUE(out.contains("lines") && out.contains("conventions"));
    const json& conv = out["conventions"];
    const json& r = conv["reading"];
    EXPECT_EQ(r["surnameLength"], c.surnameLength);
    ASSERT_EQ(r["characters"].size(), c.kangxi.size());
    for (std::size_t i = 0; i < c.kangxi.size(); ++i) EXPECT_EQ(r["characters"][i]["kangxi"], c.kangxi[i]);
    ASSERT_EQ(r["grids"].size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(r["grids"][i]["number"], c.grids[i]);
      EXPECT_EQ(r["grids"][i]["lines"].size(), r["grids"][i]["verdicts"].size());
    }
    EXPECT_EQ(r["sancai"]["elements"], U8(c.sancai));
    EXPECT_FALSE(r["sancai"]["explanation"].get<std::string>().empty());
    const json& score = r["score"];
    EXPECT_EQ(score["total"].get<int>(),
              score["numerology"].get<int>() + score["sancai"].get<int>() + score["elements"].get<int>());
    // 2024-05-06 9时: 甲辰 己巳 庚午 辛巳, a weak 庚 metal day master that wants 土 and 金.
    EXPECT_EQ(conv["chart"]["dayMaster"], U8(u8"庚"));
    EXPECT_EQ(conv["chart"]["favourable"], U8(u8"土金"));
    EXPECT_FALSE(conv["chart"]["overridden"].get<bool>());
    EXPECT_FALSE(conv["chart"]["reasoning"].empty());
  }
  // advise has no birth date: the reading without a chart.
  const json advise = Json({"advise", U8(u8"欧阳修"), "--json"});
  EXPECT_TRUE(advise["names"][0]["conventions"]["chart"].is_null());
  EXPECT_EQ(advise["names"][0]["conventions"]["reading"]["surnameLength"], 2);
  EXPECT_EQ(advise["names"][0]["conventions"]["reading"]["score"]["elements"], 10);
}

TEST(CliConventions, FavourableOverride) {
  const std::vector<std::string> base = {"analyse", U8(u8"欧阳子涵"), "--date", "2024-05-06", "--hour", "9", "--json"};
  const struct {
    const char8_t* favourable;  // nullptr: the chart's own
    const char8_t *expected, *unfavourable;
    int elementPart;  // 子 and 涵 are water
  } cases[] = {
      {nullptr, u8"土金", u8"木水火", 0},
      {u8"水", u8"水", u8"金木火土", 20},
      {u8"木水木", u8"木水", u8"金火土", 20},
      {u8"火土", u8"火土", u8"金木水", 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = base;
    args.push_back("--conventions");
    if (c.favourable) args.insert(args.end(), {"--favourable", U8(c.favourable)});
    const json out = Json(args);
    const json& chart = out["conventions"]["chart"];
    EXPECT_EQ(chart["favourable"], U8(c.expected));
    EXPECT_EQ(chart["unfavourable"], U8(c.unfavourable));
    EXPECT_EQ(chart["overridden"].get<bool>(), c.favourable != nullptr);
    EXPECT_EQ(out["conventions"]["reading"]["score"]["elements"], c.elementPart);
  }
  for (const char8_t* bad : {u8"风", u8"木x", u8""}) {
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--favourable", U8(bad)});
    const auto result = RunCommand(args);
    EXPECT_EQ(result.status, 2) << U8(bad);
    EXPECT_NE(result.err.find("--favourable"), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tavrin::cli
