// What the command line writes can never move or break a terminal: names,
// notes and arguments with control characters are shown as escapes (the
// JSON keeps them escaped its own way), every message is UTF-8 and whole,
// and the files it is pointed at are reported as what they are.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/output_text.h"
#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;
namespace fs = std::filesystem;

TEST(CliTerminalOutput, ControlCharactersAreShownNotObeyed) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db";
  const std::string note = "a\x1b[31mred\x1b]0;title\x07";
  ASSERT_EQ(RunCommand({"favourites", "add", U8(u8"张伟"), "--note", note, "--store", store}).status, 0);
  const struct {
    std::vector<std::string> args;
    const char* shown;  // in stdout, in place of the control characters
  } cases[] = {
      {{"favourites", "list", "--store", store}, "a\\e[31mred\\e]0;title\\x07"},
      {{"favourites", "note", U8(u8"张伟"), note, "--store", store}, "a\\e[31mred"},
      {{"strokes", "--kangxi", U8(u8"张") + "\x1b[2J"}, "\\e\t-"},
      {{"strokes", U8(u8"张") + "\x1b[2J"}, "\\e\t"},
      {{"favourites", "list", "--json", "--store", store}, "a\\u001b[31mred\\u001b]0;title\\u0007"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 0) << c.args[0] << ": " << result.err;
    for (const char control : {'\x1b', '\x07'}) EXPECT_EQ(result.out.find(control), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(c.shown), std::string::npos) << result.out;
  }
}

TEST(CliTerminalOutput, MessagesAreWholeUtf8AndTrue) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db";
  const std::string fifo = dir.Dir() + "fifo.json";
  ::mkfifo(fifo.c_str(), 0600);
  dir.Write("nul.json", U8(u8R"({"format":"tavrin-favourites","version":1,"favourites":[)"
                           u8R"({"name":"张\u0000伟甲","sex":"male","date":"2012-01-01","hour":1,"score":80}]})"));
  std::string thirteen;
  for (int i = 0; i < 13; ++i) thirteen += U8(u8"张");
  const struct {
    std::vector<std::string> args;
    const char8_t* said;     // in stderr
    const char8_t* notSaid;  // never in stderr
  } cases[] = {
      {{"analyse", U8(u8"张伟"), "--conventions", "--favourable", U8(u8"木x")},
       u8"应由金木水火土中的字组成",
       u8"\ufffd"},
      {{"favourites", "import", "/dev/null", "--store", store}, u8"不是普通文件", u8"不存在"},
      {{"favourites", "import", fifo, "--store", store}, u8"不是普通文件", u8"不存在"},
      {{"favourites", "import", dir.Dir() + "nul.json", "--store", store}, u8"“张\\x00伟甲”", u8"“张”"},
      {{"advise", thirteen}, u8"超过 12 个字", u8"推荐度"},
      {{"source", thirteen}, u8"超过 12 个字", u8"典籍库"},
  };
  for (const auto& c : cases) {
    const auto result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2) << c.args[0] << " " << c.args[1];
    EXPECT_TRUE(IsValidUtf8(result.err)) << result.err;
    EXPECT_NE(result.err.find(U8(c.said)), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find(U8(c.notSaid)), std::string::npos) << result.err;
  }
}

// An export to a link writes through it, as the other exports do.
TEST(CliTerminalOutput, ExportWritesThroughALink) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db";
  ASSERT_EQ(RunCommand({"favourites", "add", U8(u8"张伟"), "--store", store}).status, 0);
  dir.Write("target.json", "old");
  fs::create_symlink(dir.Dir() + "target.json", dir.Dir() + "link.json");
  ASSERT_EQ(RunCommand({"favourites", "export", dir.Dir() + "link.json", "--store", store}).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir.Dir() + "link.json"));
  std::ifstream target(dir.Dir() + "target.json");
  const std::string bytes{std::istreambuf_iterator<char>(target), std::istreambuf_iterator<char>()};
  EXPECT_NE(bytes.find(U8(u8"张伟")), std::string::npos) << bytes;
}

}  // namespace
}  // namespace tavrin::cli
