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
  const std::vector<std::string> keys = {"name",        "sex",   "pinyin",  "recommend", "warnings",
                                         "pairMeaning", "chars", "reasons", "sources",   "conventions"};
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
      for (const char* key : {"char", "level", "meaning", "gloss", "words", "boys", "girls", "readings"}) {
        EXPECT_TRUE(c.contains(key)) << key;
      }
      EXPECT_TRUE(c.at("words").is_array() && c.at("readings").is_array());
    }
    for (const auto& r : a.at("reasons")) EXPECT_TRUE(r.at("points").is_number_integer() && r.at("text").is_string());
  }
  EXPECT_EQ(names[0].at("pinyin"), U8(u8"chén yī tíng"));
  EXPECT_EQ(names[0].at("chars").size(), 2u);               // the given name's characters
  EXPECT_EQ(names[0].at("warnings")[0].at("kind"), "sex");  // a girl's name for a boy, serious first
  EXPECT_EQ(names[1].at("chars").size(), 1u);               // 欧阳 is the surname
  EXPECT_EQ(names[1].at("chars")[0].at("readings")[0], U8(u8"xiū"));
  EXPECT_EQ(names[0].at("chars")[1].at("meaning"), U8(u8"美好的样子，亭亭玉立"));  // Chinese; English stays in "gloss"
  EXPECT_EQ(names[0].at("chars")[1].at("gloss"), "graceful");
  EXPECT_EQ(names[0].at("pairMeaning"), "");  // 依婷 is no word
}

// The best lines a given name comes from, as `source --json` gives them (at
// most three), and the 推荐度's bonus for a line of the first collections.
TEST(CliAdvise, SourcesAndTheirBonus) {
  const auto result =
      RunCommand({"advise", U8(u8"王子衿"), U8(u8"欧阳修远"), U8(u8"李锦瑟"), U8(u8"王犇犇"), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto names = nlohmann::json::parse(result.out).at("names");
  const struct {
    const char8_t* best;  // the first line's JSON, or empty for none
    int bonus;            // of the line
  } expected[] = {
      {u8R"({"line":"青青子衿","title":"子衿","author":"佚名","collection":"诗经","positions":[3,4]})", 6},
      {u8R"({"line":"路漫漫其修远兮","title":"离骚","author":"屈原","collection":"楚辞","positions":[5,6]})", 6},
      {u8R"({"line":"锦瑟无端五十弦","title":"锦瑟","author":"李商隐","collection":"唐诗三百首","positions":[1,2]})",
       4},        // one of the two anthologies of three hundred
      {u8"", 0},  // no line holds it
  };
  ASSERT_EQ(names.size(), std::size(expected));
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto& sources = names[i].at("sources");
    EXPECT_LE(sources.size(), 3u);
    if (*expected[i].best) {
      EXPECT_EQ(sources.at(0), nlohmann::json::parse(U8(expected[i].best))) << i;
    }
    int bonus = 0;
    for (const auto& r : names[i].at("reasons")) {
      if (r.at("text").get<std::string>().starts_with(U8(u8"名字出自"))) bonus = r.at("points").get<int>();
    }
    EXPECT_EQ(bonus, expected[i].bonus) << i;
  }
  EXPECT_TRUE(names[3].at("sources").empty());
  EXPECT_FALSE(names[2].at("sources").empty());
}

TEST(CliAdvise, TextAndBadInput) {
  const auto text = RunCommand({"advise", U8(u8"王韵宁"), "--sex", "female"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(text.out.starts_with(U8(u8"王韵宁  wáng yùn níng  推荐度 "))) << text.out;

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"advise"},
                                             {"advise", U8(u8"王明"), "--sex", "x"},
                                             {"advise", "abc"},
                                             {"advise", U8(u8"王")},
                                             {"advise", U8(u8"王明"), "--sex"},
                                             {"advise", U8(u8"王明"), "--best"}}) {
    const auto result = RunCommand(args);
    EXPECT_EQ(result.status, 2) << args.back();
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace tavrin::cli
