#include <gtest/gtest.h>

#include "cli/cli_testutil.h"
#include "core/poetry_db.h"
#include "data_faults.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

TEST(CliPoetry, PoemsAndNames) {
  const auto all = RunCommand({"poems"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_GT(std::count(all.out.begin(), all.out.end(), '\n'), 300);
  const auto search = RunCommand({"poems", "--search", U8(u8"李白")});
  ASSERT_EQ(search.status, 0);
  EXPECT_NE(search.out.find(U8(u8"\t李白\t")), std::string::npos);
  // A search reads the whole classical library, beyond the poems of the page.
  EXPECT_NE(search.out.find(U8(u8"\t李白\t全唐诗\n")), std::string::npos);

  const auto names = RunCommand({"poetry", "--poem-id", "1", "--seed", "5", "--count", "4", "--json"});
  ASSERT_EQ(names.status, 0) << names.err;
  EXPECT_TRUE(names.out.starts_with(U8(u8"{\"seed\":5,\"lines\":[\"出生日期:2012年1月1日\",")));
  EXPECT_NE(names.out.find(U8(u8"\"诗歌分析完成\"],\"progress\":")), std::string::npos);
  EXPECT_EQ(names.out, RunCommand({"poetry", "--poem-id", "1", "--seed", "5", "--count", "4", "--json"}).out);

  const auto text = RunCommand({"poetry", "--poem-text", "abc", "--date", "2013-07-07", "--seed", "1"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, U8(u8"出生日期:2013年7月7日\n"));  // no Chinese character: the heading alone
}

// A control character stored in the database is shown as an escape, not
// handed to the terminal.
TEST(CliPoetry, PoemsShowControlCharactersAsEscapes) {
  tavrin::test::TempDataDir dir;
  tavrin::test::CopyShippedData(FindDataDir(), dir.Path());
  tavrin::test::detail::RunSql(dir.Path() / kPoetryFile, "update poetry set title = char(27) || '[2J' where id = 1");
  const auto result = RunCommand({"poems"}, dir.DirText());
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.out.starts_with("1\t\\e[2J\t")) << result.out.substr(0, 40);
  EXPECT_EQ(result.out.find('\x1b'), std::string::npos);
}

TEST(CliPoetry, BadInput) {
  const struct {
    std::vector<std::string> args;
    const char8_t* message;
  } cases[] = {
      {{"poetry", "--poem-text", ""}, u8"请先选择诗歌"},
      {{"poetry", "--poem-id", "99999"}, u8"没有编号为 99999 的诗"},
      {{"poetry", "--poem-id", "1", "--count", "x"}, u8"产生名字个数“x”不是整数"},
      {{"poetry", "--poem-id", "1", "--date", "2012-02-30"}, u8"出生日期 2012-2-30 不存在"},
      {{"poetry", "--poem-id", "1", "--date", "1899-01-01"}, u8"出生年份 1899 不在 1900 至 2056 之间"},
      {{"poetry"}, u8"用法"},
      {{"poetry", "--poem-id", "1", "--poem-text", "x"}, u8"用法"},
      {{"poems", "--sort"}, u8"用法"},
      // The poetry start refuses a surname Generate refuses.
      {{"poetry", "--poem-id", "1", "--surname", "="}, u8"请输入姓"},
      {{"poetry", "--poem-id", "1", "--surname", U8(u8"张张张张张")}, u8"姓氏“张张张张张”超过4个字"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(U8(c.message)), std::string::npos) << result.err;
  }
  tavrin::test::TempDir empty;
  const auto missing = RunCommand({"poems"}, empty.Dir());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(U8(u8"缺少")), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tavrin::cli
