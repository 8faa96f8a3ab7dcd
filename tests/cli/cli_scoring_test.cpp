#include <gtest/gtest.h>

#include <algorithm>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "chars/strokes.h"
#include "cli/cli_testutil.h"
#include "core/lines.h"
#include "pinyin_file.h"
#include "scoring/score.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::CliResult;
using test::RunCommand;
using test::U8;

// A data directory with small files written here.
class ScoringData {
 public:
  ScoringData() {
    dir_.Write(kPinyinFile, tavrin::test::PinyinFile({{"张", "zhang1"},
                                                      {"三", "san1"},
                                                      {"陈", "chen2"},
                                                      {"王", "wang2"},
                                                      {"李", "li3"},
                                                      {"女", "nv3"},
                                                      {"红", "hong2"},
                                                      {"许", "xv3"}}));
    dir_.Write(kCharElementFile, "“水”的字有：\r\n张林\r\n“木”的字有：\r\n王\r\n");
    dir_.Write(kNumerologyFile, "第8数 吉 天\r\n第10数 凶\r\n第11数 半吉\r\n第9数 吉凶\r\n第18数 大吉\r\n");
  }
  std::string Dir() const { return dir_.Dir(); }

 private:
  tavrin::test::TempDir dir_;
};

TEST(CliScoring, Commands) {
  const ScoringData data;
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"pinyin", U8(u8"张三")}, "Zhang1 San1\n"},
      {{"pinyin", U8(u8"a张b谢")}, U8(u8"a Zhang1 b 谢\n")},
      {{"pinyin", ""}, "\n"},
      // zh and ch clash, and so do ang and en; the reason names the last clash.
      {{"sound", U8(u8"张"), U8(u8"陈")}, U8(u8"false\nang\nen张陈韵母为相似发音\n")},
      {{"sound", U8(u8"红"), U8(u8"许")}, U8(u8"false\nh\nx\n红许声母为相似发音\n")},
      {{"sound", U8(u8"张"), U8(u8"女")}, "true\n"},
      {{"element", U8(u8"张王李一谢爨")},
       U8(u8"张\t水\n王\t木\n李\t金\n一\t木\n谢\t木\n爨\t水\nNameElements\t水木金木木水\n")},
      {{"element", ""}, "NameElements\t\n"},
      // 李 7, 马 3, 林 8: heaven 8, earth 11, person 10, outer 9, total 18;
      // elements 金火水 against an empty chart: -10.
      {{"score", U8(u8"李马林")},
       U8(u8"80\n天格:第8数 吉 天\n人格:第10数 凶\n地格:第11数 半吉\n外格:第9数 吉凶\n总格:第18数 大吉\n")},
      {{"score", U8(u8"李马林(85)"), "--birth-elements", U8(u8"金木木水火火土土")},
       U8(u8"100\n天格:第8数 吉 天\n人格:第10数 凶\n地格:第11数 半吉\n外格:第9数 吉凶\n总格:第18数 大吉\n")},
      {{"score", "--birth-elements", U8(u8"金木木水火火土土"), U8(u8"李马")},
       U8(u8"10\n天格:第8数 吉 天\n人格:第10数 凶\n总格:第10数 凶\n")},
      {{"score", U8(u8"王")}, U8(u8"15\n人格:第9数 吉凶\n")},  // heaven 5, person 9
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
    const CliResult result = RunCommand(c.args, data.Dir());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
  }
}

TEST(CliScoring, BadInputExitsWithTwoAndAMessage) {
  const ScoringData data;
  tavrin::test::TempDir empty;
  const struct {
    std::vector<std::string> args;
    std::string dataDir;
    std::string messagePart;
  } cases[] = {
      {{"pinyin"}, data.Dir(), U8(u8"用法: tavrin-cli pinyin TEXT")},
      {{"sound", "a"}, data.Dir(), U8(u8"用法: tavrin-cli sound A B")},
      {{"element", "a", "b"}, data.Dir(), U8(u8"用法: tavrin-cli element TEXT")},
      {{"score"}, data.Dir(), U8(u8"用法: tavrin-cli score NAME")},
      {{"score", "a", "b"}, data.Dir(), U8(u8"用法")},
      {{"score", "a", "--birth-elements"}, data.Dir(), U8(u8"用法")},
      {{"score", U8(u8"😀")}, data.Dir(), U8(u8"GBK 无法表示")},
      {{"score", U8(u8"张三")}, empty.Dir(), "5ge.dat"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messagePart);
    const CliResult result = RunCommand(c.args, c.dataDir);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(c.messagePart), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
  // Without the optional files the character commands still answer.
  EXPECT_EQ(RunCommand({"pinyin", U8(u8"张三")}, empty.Dir()).out, U8(u8"张 三\n"));
  EXPECT_EQ(RunCommand({"element", U8(u8"张")}, empty.Dir()).out, U8(u8"张\t金\nNameElements\t金\n"));
}

TEST(CliScoring, HelpListsTheCommands) {
  const CliResult result = RunCommand({"--help"});
  for (const char* name : {"pinyin", "sound", "element", "score"}) {
    EXPECT_NE(result.out.find(name), std::string::npos) << name;
  }
}

// Lines of a command's output.
std::vector<std::string> OutputLines(const std::string& out) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  return lines;
}

// With the shipped data beside the tests.
TEST(CliScoring, ShippedData) {
  const std::string dir = ExecutableDir();
  if (!FileExists(dir + kPinyinFile) || !FileExists(dir + kNumerologyFile) || !FileExists(dir + kCharElementFile)) {
    GTEST_SKIP() << "shipped data files are not beside the tests";
  }
  EXPECT_EQ(RunCommand({"pinyin", U8(u8"张三")}).out, "Zhang1 San1\n");
  EXPECT_EQ(OutputLines(RunCommand({"sound", U8(u8"张"), U8(u8"陈")}).out).at(0), "false");

  // Five labelled grid lines whose numbers follow the strokes of the
  // traditional form: 張 (counted as 张) 7, 陳 (陈) 7, 龍 (龙) 5.
  const std::vector<std::string> lines = OutputLines(RunCommand({"score", U8(u8"张陈龙")}).out);
  ASSERT_EQ(lines.size(), 6u);
  const std::string keys[] = {U8(u8"天格:第8数"), U8(u8"地格:第12数"), U8(u8"人格:第14数"), U8(u8"外格:第6数"),
                              U8(u8"总格:第19数")};
  for (const std::string& key : keys) {
    const bool found =
        std::any_of(lines.begin() + 1, lines.end(), [&](const std::string& line) { return line.rfind(key, 0) == 0; });
    EXPECT_TRUE(found) << key;
  }

  // Each element is the one the shipped list gives, or the one of the stroke count.
  std::string error;
  const LineList elementList = SplitLines(*ReadWholeFile(dir + kCharElementFile, error));
  std::string expected;
  std::string all;
  for (const std::string& ch : SplitChars("张王李一谢爨")) {
    const std::string element = scan::CharElement(elementList, ch);
    expected += GbkToUtf8(ch + "\t" + element) + "\n";
    all += element;
  }
  expected += GbkToUtf8("NameElements\t" + all) + "\n";
  EXPECT_EQ(RunCommand({"element", U8(u8"张王李一谢爨")}).out, expected);
}

}  // namespace
}  // namespace tavrin::cli
