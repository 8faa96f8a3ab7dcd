// generate --best with the family's wishes: each option reaches the list,
// the JSON says per name how it meets them, and a wrong option is refused.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;
using Json = nlohmann::ordered_json;

const std::vector<std::string> kRun = {"generate", "--seed",     "7",      "--count", "20",     "--surname", U8(u8"李"),
                                       "--date",   "2024-03-05", "--hour", "9",       "--best", "20",        "--json"};

std::string Given(const Json& name) { return name["name"].get<std::string>().substr(3); }  // after 李

bool AnyLine(const Json& name, const std::string& start) {
  for (const Json& line : name["wishes"]) {
    if (line["text"].get<std::string>().rfind(start, 0) == 0) return true;
  }
  return false;
}

TEST(CliWishes, EachOptionReachesTheBestNames) {
  const auto keptSecond = [](const Json& n) { return Given(n).substr(3) == U8(u8"德"); };
  const struct {
    std::vector<std::string> options;
    std::string sentence;                    // child.wishes.sentence
    std::function<bool(const Json&)> meets;  // of every name listed
    std::size_t raised;                      // names at least that a wish line raises
  } cases[] = {
      {{"--theme", U8(u8"书香")},
       U8(u8"家人心愿：书香"),
       [](const Json& n) { return AnyLine(n, U8(u8"心愿 书香：")); },
       5},
      {{"--keep", U8(u8"德"), "--keep-at", "2"}, U8(u8"家人心愿：辈分字“德”在第二字"), keptSecond, 0},
      {{"--fix3", U8(u8"德")}, U8(u8"家人心愿：辈分字“德”在第二字"), keptSecond, 0},
      // 李 and 德 sound alike to the rule, but the family chose it.
      {{"--keep", U8(u8"德")},
       U8(u8"家人心愿：辈分字“德”在第一字"),
       [](const Json& n) { return Given(n).substr(0, 3) == U8(u8"德"); },
       0},
      {{"--avoid", U8(u8"明泽"), "--avoid-same-sound"},
       U8(u8"家人心愿：避讳 明 泽（同音字也避开）"),
       [](const Json& n) {
         const std::string pinyin = n["pinyin"];
         return pinyin.find("ming") == std::string::npos && pinyin.find(" ze") == std::string::npos;
       },
       0},
      {{"--sibling", U8(u8"李子涵"), "--sibling-sex", "female"},
       U8(u8"家人心愿：姐姐 子涵"),
       [](const Json& n) { return Given(n) != U8(u8"子涵") && !AnyLine(n, U8(u8"与哥哥")); },
       3},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = kRun;
    args.insert(args.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(args[args.size() - c.options.size()]);
    const auto result = RunCommand(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const Json out = Json::parse(result.out);
    EXPECT_EQ(out["child"]["wishes"]["sentence"], c.sentence);
    ASSERT_EQ(out["best"].size(), 20u);
    std::size_t raised = 0;
    for (const Json& name : out["best"]) {
      EXPECT_TRUE(c.meets(name)) << name["name"] << " " << name["pinyin"];
      ASSERT_TRUE(name.contains("wishes")) << name["name"];
      raised += std::any_of(name["wishes"].begin(), name["wishes"].end(),
                            [](const Json& line) { return line["points"].get<int>() > 0; });
    }
    EXPECT_GE(raised, c.raised);
  }
}

TEST(CliWishes, TheTextSaysHowEachNameMeetsThemAndWrongOptionsAreRefused) {
  std::vector<std::string> args(kRun.begin(), kRun.end() - 1);  // no --json
  args.insert(args.end(), {"--theme", U8(u8"聪慧")});
  const auto text = RunCommand(args);
  ASSERT_EQ(text.status, 0) << text.err;
  const std::size_t at = text.out.find(U8(u8"家人心愿：聪慧\n"));
  ASSERT_NE(at, std::string::npos) << text.out;
  const std::string names = text.out.substr(at);
  EXPECT_EQ(std::count(names.begin(), names.end(), '\n'), 1 + 20 + 1);  // the sentence, the names, the seed
  EXPECT_NE(names.find(U8(u8"\t心愿 聪慧：")), std::string::npos);

  const struct {
    std::vector<std::string> options;
    std::string message;
  } refused[] = {
      {{"--theme", U8(u8"发财")}, U8(u8"没有“发财”这个心愿,可选的有:聪慧 温润")},
      {{"--keep", U8(u8"德厚")}, U8(u8"--keep 要 1 至 1 个汉字")},
      {{"--keep-at", "3"}, U8(u8"--keep-at 只能是 1 或 2")},
      {{"--sibling", U8(u8"子涵子涵子")}, U8(u8"--sibling 要 1 至 4 个汉字")},
      {{"--sibling-sex", "boy"}, "boy"},
  };
  for (const auto& r : refused) {
    std::vector<std::string> wrong = kRun;
    wrong.insert(wrong.end(), r.options.begin(), r.options.end());
    const auto result = RunCommand(wrong);
    EXPECT_NE(result.status, 0) << r.options[0];
    EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tavrin::cli
