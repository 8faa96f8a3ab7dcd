#include <gtest/gtest.h>

#include <iostream>

#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::CliResult;
using test::RunCommand;
using test::U8;

TEST(CliChars, Commands) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"strokes", U8(u8"一乙二人马王刘张李陈啊黄谢魏攮蠼爨")},
       U8(u8"一\t1\n乙\t1\n二\t2\n人\t2\n马\t3\n王\t4\n刘\t6\n张\t7\n李\t7\n陈\t7\n啊\t10\n黄\t11\n谢\t12\n魏\t17\n"
          u8"攮\t25\n蠼\t26\n爨\t30\n")},
      {{"strokes", U8(u8"張陳龍氵A")}, U8(u8"張\t7\n陳\t7\n龍\t5\n氵\t5\nA\t5\n")},
      {{"strokes", ""}, ""},
      {{"strokes", "--kangxi", U8(u8"江陈譽王玲四A")}, U8(u8"江\t7\n陈\t16\n譽\t21\n王\t4\n玲\t10\n四\t5\nA\t-\n")},
      {{"strokes", "--numerals", "--kangxi", U8(u8"四十万")}, U8(u8"四\t4\n十\t10\n万\t15\n")},
      {{"trad", U8(u8"张三陈龙")}, U8(u8"張三陳龍\n")},
      {{"simp", U8(u8"張三陳龍")}, U8(u8"张三陈龙\n")},
      {{"trad", ""}, "\n"},
      {{"spell", U8(u8"张三，②Ω")}, "zhang san 2 o\nzs2o\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const CliResult result = RunCommand(c.args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
  }
}

TEST(CliChars, BadInputExitsWithTwoAndAMessage) {
  const struct {
    std::vector<std::string> args;
    std::string messagePart;
  } cases[] = {
      {{}, U8(u8"用法: tavrin-cli 命令")},
      {{"nonsense"}, U8(u8"没有命令“nonsense”")},
      {{"strokes"}, U8(u8"用法: tavrin-cli strokes TEXT")},
      {{"strokes", "a", "b"}, U8(u8"用法")},
      {{"strokes", "--kangxi"}, U8(u8"用法: tavrin-cli strokes TEXT 或 strokes --kangxi [--numerals] TEXT\n")},
      {{"strokes", "--numerals", "a"}, U8(u8"--numerals 只能与 --kangxi 同用")},
      {{"trad", "\xFF"}, U8(u8"不是有效的 UTF-8")},
      {{"simp", U8(u8"😀")}, U8(u8"GBK 无法表示")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messagePart);
    const CliResult result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(c.messagePart), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

TEST(CliChars, HelpListsTheCommands) {
  const CliResult result = RunCommand({"--help"});
  EXPECT_EQ(result.status, 0);
  for (const char* name : {"strokes", "trad", "simp"}) EXPECT_NE(result.out.find(name), std::string::npos) << name;
}

TEST(CliChars, MissingRequiredDataIsReportedForCommandsThatNeedIt) {
  tavrin::test::TempDir empty;
  CliContext context(std::cout, std::cerr, empty.Dir());
  try {
    context.RequireData({kNumerologyFile, kMaleCharsFile});
    FAIL() << "no error";
  } catch (const CliError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("5ge.dat"), std::string::npos);
    EXPECT_NE(message.find(kMaleCharsFile), std::string::npos);
    EXPECT_EQ(message.find("tj.dat"), std::string::npos);
  }
  // A command that needs no data works without it.
  EXPECT_EQ(RunCommand({"strokes", U8(u8"张")}, empty.Dir()).status, 0);
}

}  // namespace
}  // namespace tavrin::cli
