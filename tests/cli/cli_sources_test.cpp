#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

TEST(CliSources, SourceJson) {
  const auto result = RunCommand({"source", U8(u8"欧阳修远"), "--json"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto json = nlohmann::json::parse(result.out);
  ASSERT_EQ(json.size(), 3u);
  EXPECT_EQ(json.at("name"), U8(u8"欧阳修远"));
  EXPECT_EQ(json.at("given"), U8(u8"修远"));
  const auto& sources = json.at("sources");
  ASSERT_EQ(sources.size(), 10u);
  EXPECT_EQ(sources[0],
            nlohmann::json::parse(U8(u8R"({"line":"路漫漫其修远兮","title":"离骚","author":"屈原","collection":"楚辞",)"
                                     u8R"("positions":[5,6]})")));
  for (const auto& source : sources) {
    ASSERT_EQ(source.size(), 5u);
    EXPECT_TRUE(source.at("line").is_string() && source.at("title").is_string() && source.at("author").is_string() &&
                source.at("collection").is_string());
    EXPECT_EQ(source.at("positions").size(), 2u);
  }
  // Without --json: one tab-separated line a source, best first.
  const auto text = RunCommand({"source", U8(u8"孟浩然")});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(text.out.starts_with(U8(u8"我善养吾浩然之气\t公孙丑上\t孟轲\t孟子\t5,6\n"))) << text.out;
  // A name no line holds: an empty list, not a failure.
  EXPECT_EQ(RunCommand({"source", U8(u8"王犇犇"), "--json"}).out,
            U8(u8"{\"name\":\"王犇犇\",\"given\":\"犇犇\",\"sources\":[]}\n"));
}

TEST(CliSources, PoemsSearchTheLibrary) {
  const auto found = RunCommand({"poems", "--search", U8(u8"离骚"), "--collection", U8(u8"楚辞")});
  ASSERT_EQ(found.status, 0) << found.err;
  EXPECT_TRUE(found.out.starts_with(U8(u8"896\t离骚\t屈原\t楚辞\n"))) << found.out;
  const auto analects = RunCommand({"poems", "--collection", U8(u8"论语")});
  EXPECT_EQ(std::count(analects.out.begin(), analects.out.end(), '\n'), 20);
}

TEST(CliSources, BadInput) {
  const struct {
    std::vector<std::string> args;
    const char8_t* message;
  } cases[] = {
      {{"source"}, u8"用法"},
      {{"source", U8(u8"王浩然"), U8(u8"李白")}, u8"用法"},
      {{"source", U8(u8"王浩然"), "--xml"}, u8"用法"},
      {{"source", U8(u8"王")}, u8"“王”的姓氏后面没有名字"},
      {{"poems", "--search"}, u8"用法"},
      {{"poems", "--collection", "a", "--collection", "b"}, u8"用法"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_NE(result.err.find(U8(c.message)), std::string::npos) << result.err;
  }
  tavrin::test::TempDir empty;
  const auto missing = RunCommand({"source", U8(u8"王浩然")}, empty.Dir());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(U8(u8"缺少")), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tavrin::cli
