// The command line's text crosses between UTF-8 and the core's GBK at its
// edge only: every argument the core reads is refused whole, quoted, when
// GBK cannot hold it (never passed on with a "?"), and before the checks
// that come first; every line it writes is UTF-8, however its GBK and UTF-8
// parts were put together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/output_text.h"
#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

TEST(CliTextBoundary, ArgumentsGbkCannotHoldAreRefusedWhereTheyAreRead) {
  const std::string smile = U8(u8"😀");
  const std::string refused = U8(u8"参数“😀”不是有效的 UTF-8,或含有 GBK 无法表示的字符");
  const std::string date = "2020-05-06";
  const struct {
    std::vector<std::string> args;
    std::string said;  // the whole message after "tavrin-cli COMMAND: "
  } cases[] = {
      // The one name of analyse and score; every name of advise.
      {{"analyse", smile, "--date", date}, refused},
      {{"score", smile}, refused},
      {{"advise", U8(u8"张伟"), smile}, refused},
      // Commands of a fixed number of arguments.
      {{"source", smile}, refused},
      {{"sound", U8(u8"张"), smile}, refused},
      {{"element", smile}, refused},
      {{"trad", smile}, refused},
      {{"spell", smile}, refused},
      {{"pinyin", smile, "--name"}, refused},
      // Options the core reads.
      {{"generate", "--surname", smile}, refused},
      {{"generate", "--fix3", smile}, refused},
      {{"generate", "--date", "2020-" + smile + "-06"},
       U8(u8"参数“2020-😀-06”不是有效的 UTF-8,或含有 GBK 无法表示的字符")},
      {{"analyse", U8(u8"张伟"), "--birth-elements", smile}, refused},
      {{"analyse", U8(u8"张伟"), "--favourable", smile}, refused},
      {{"advise", U8(u8"张伟"), "--surname", smile}, refused},
      {{"poems", "--search", smile}, refused},
      {{"poetry", "--poem-id", smile, "--date", date}, refused},
      // What is checked first still is: the number of arguments, an
      // option that needs another.
      {{"sound", smile}, U8(u8"用法: tavrin-cli sound A B")},
      {{"analyse", U8(u8"张伟"), smile}, U8(u8"用法: tavrin-cli analyse ")},
      {{"strokes", "--numerals", smile}, U8(u8"--numerals 只能与 --kangxi 同用;")},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    const std::string shown = c.args[0] + " " + c.args[1];
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_EQ(result.err.rfind("tavrin-cli " + c.args[0] + ": " + c.said, 0), 0u) << shown << "\n" << result.err;
  }
}

TEST(CliTextBoundary, LinesOfGbkAndUtf8PartsComeOutAsUtf8) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db";
  ASSERT_EQ(RunCommand({"favourites", "add", U8(u8"张伟"), "--store", store}).status, 0);
  const struct {
    std::vector<std::string> args;
    std::vector<const char8_t*> shown;  // each in stdout
  } cases[] = {
      {{"advise", U8(u8"张若水")}, {u8"张若水  zhāng ruò shuǐ  推荐度 ", u8"级字  男名 "}},
      {{"generate", "--seed", "7", "--surname", U8(u8"张"), "--date", "2020-05-06", "--best", "3"},
       {u8"【精选】", u8"\t推荐度 ", u8"\t通行评分 ", u8"\t来源 "}},
      {{"source", U8(u8"张若水"), "--json"}, {u8"\"given\":\"若水\""}},
      {{"analyse", U8(u8"张伟"), "--date", "2020-05-06", "--json", "--conventions"}, {u8"\"dayMaster\":\""}},
      {{"favourites", "export", dir.Dir() + "out.csv", "--store", store}, {u8"已导出 1 条收藏到 /"}},
      {{"favourites", "list", "--store", store}, {u8"张伟\t男\t"}},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 0) << c.args[0] << "\n" << result.err;
    EXPECT_TRUE(IsValidUtf8(result.out)) << c.args[0];
    EXPECT_EQ(result.out.find(U8(u8"\ufffd")), std::string::npos) << c.args[0];
    for (const char8_t* piece : c.shown) EXPECT_NE(result.out.find(U8(piece)), std::string::npos) << U8(piece);
  }
}

}  // namespace
}  // namespace tavrin::cli
