#include <gtest/gtest.h>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

TEST(CliAnalyse, TextAndJson) {
  const auto text = RunCommand({"analyse", U8(u8"张三"), "--date", "2011-09-09", "--hour", "1"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(text.out.starts_with(U8(u8"开始分析八字\n")));
  EXPECT_NE(text.out.find(U8(u8"\n五行缺水\n")), std::string::npos);
  EXPECT_NE(text.out.find(U8(u8"\n繁体字为:張三\n分数:")), std::string::npos);
  EXPECT_EQ(text.out.find('\r'), std::string::npos);  // the score's grid lines stand on lines of their own
  EXPECT_NE(text.out.find(U8(u8"\n人格:")), std::string::npos);

  const auto json = RunCommand({"analyse", U8(u8"张三"), "--birth-elements", U8(u8"金木金水金金土土"), "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(json.out.starts_with(U8(u8"{\"lines\":[\"开始分析八字\",")));
  EXPECT_NE(json.out.find("\\r"), std::string::npos);  // CRs kept
}

TEST(CliAnalyse, BadInput) {
  const struct {
    std::vector<std::string> args;
    const char8_t* out;
    const char8_t* message;
  } cases[] = {
      {{"analyse", "x", "--date", "2012-02-31"}, u8"", u8"出生日期 2012-2-31 不存在"},
      {{"analyse", "x", "--date", "1899-12-31"}, u8"", u8"出生年份 1899 不在 1900 至 2056 之间"},
      {{"analyse", "x", "--hour", "1.5"}, u8"开始分析八字\n", u8"出生时辰“1.5”不是整数"},
      {{"analyse"}, u8"", u8"用法"},
      {{"analyse", "a", "b"}, u8"", u8"用法"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_EQ(result.out, U8(c.out));
    EXPECT_NE(result.err.find(U8(c.message)), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tavrin::cli
