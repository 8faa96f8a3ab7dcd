#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

TEST(CliAdvise, JsonShape) {
  const auto result = RunCommand({"advise", U8(u8"陈依婷"), U8(u8"欧阳修"), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto json = nlohmann::ordered_json::parse(result.out);
  ASSERT_EQ(json.size(), 1u);
  const auto& names = json.at("names");
  ASSERT_EQ(names.size(), 2u);
  const std::vector<std::string> keys = {"name", "sex", "pinyin", "recommend", "warnings", "chars", "reasons",
                                        "conventions"};
  const std::set<std::string> kinds = {"homophone", "famous", "rare", "unsuitable", "sex", "reading"};
  for (const auto& a : names) {
    std::vector<std::string> seen;
    for (const auto& [key, value] : a.items()) seen.push_back(key);
    EXPECT_EQ(seen, keys);  // in this order
    EXPECT_EQ(a.at("sex"), "male");
    EXPECT_TRUE(a.at("recommend").is_number_integer());
    EXPECT_GE(a.at("recommend").get<int>(), 0);
    EXPECT_LE(a.at("recommend").get<int>(), 100);
    for (const auto& w : a.at("warnings")) {
      EXPECT_TRUE(kinds.count(w.at("kind").get<std::string>())) << w;
      EXPECT_TRUE(w.at("severity") == "serious" || w.at("severity") == "mild") << w;
      EXPECT_FALSE(w.at("text").get<std::string>().empty());
    }
    for (const auto& c : a.at("chars")) {
      for (const char* key : {"char", "level", "gloss", "words", "boys", "girls", "readings"}) {
        EXPECT_TRUE(c.contains(key)) << key;
      }
      EXPECT_TRUE(c.at("words").is_array() && c.at("readings").is_array());
    }
    for (const auto& r : a.at("reasons")) EXPECT_TRUE(r.at("points").is_number_integer() && r.at("text").is_string());
  }
  EXPECT_EQ(names[0].at("pinyin"), U8(u8"chén yī tíng"));
  EXPECT_EQ(names[0].at("chars").size(), 2u);       // the given name's characters
  EXPECT_EQ(names[0].at("warnings")[0].at("kind"), "sex");  // a girl's name for a boy, serious first
  EXPECT_EQ(names[1].at("chars").size(), 1u);       // 欧阳 is the surname
  EXPECT_EQ(names[1].at("chars")[0].at("readings")[0], U8(u8"xiū"));
}

TEST(CliAdvise, TextAndBadInput) {
  const auto text = RunCommand({"advise", U8(u8"王韵宁"), "--sex", "female"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(text.out.starts_with(U8(u8"王韵宁  wáng yùn níng  推荐度 "))) << text.out;

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"advise"}, {"advise", U8(u8"王明"), "--sex", "x"}, {"advise", "abc"}, {"advise", U8(u8"王")},
           {"advise", U8(u8"王明"), "--sex"}, {"advise", U8(u8"王明"), "--best"}}) {
    const auto result = RunCommand(args);
    EXPECT_EQ(result.status, 2) << args.back();
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace tavrin::cli
