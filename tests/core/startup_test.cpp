#include "core/startup.h"
#include "chars/encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

#include "chars/gbk.h"
#include "testutil.h"

namespace tavrin {
namespace {

TEST(SplitLines, EveryLineEndKind) {
  const struct {
    std::string text;
    LineList lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},      // last line without an end
      {"a\n\nb", {"a", "", "b"}},  // an empty line keeps its index
      {"\r\n\r\n", {"", ""}},
      {"a\n\r\nb", {"a", "", "b"}},  // LF then CR LF: two line ends
      {"a\r\rb", {"a", "", "b"}},
      {"", {}},
      {"\n", {""}},
      {" a \t\n", {" a \t"}},                      // never trimmed
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},  // a zero byte ends the text
      {"张三\r\n李四", {"张三", "李四"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitLines(c.text), c.lines);
  }
}

TEST(StartUp, BuiltInTables) {
  test::TempDir dir;
  const SharedStores shared = StartUp(dir.Dir());
  const DataStores& stores = *shared;
  const auto girlChars = SplitChars(stores.girlNameChars);
  EXPECT_EQ(girlChars.size(), 254u);
  EXPECT_EQ(std::set<std::string>(girlChars.begin(), girlChars.end()).size(), 254u);
  EXPECT_EQ(girlChars.front(), "竹");
  EXPECT_EQ(girlChars.back(), "艳");
  EXPECT_EQ(stores.initialGroups, (LineList{"b,p,m,f", "d,t,n,l", "g,k,h", "j,q,x,zh,ch,sh,r,z,c,s"}));
  ASSERT_EQ(stores.finalGroups.size(), 4u);
  EXPECT_EQ(stores.finalGroups[2], "v,ue,uan,un");
  EXPECT_EQ(CharCount(stores.metalChars), 14u);
  EXPECT_EQ(CharCount(stores.woodChars), 59u);
  EXPECT_EQ(CharCount(stores.waterChars), 73u);
  EXPECT_EQ(CharCount(stores.fireChars), 21u);
  EXPECT_EQ(CharCount(stores.earthChars), 24u);
}

TEST(StartUp, OptionalFilesMissingAreSilentRequiredOnesAreRecorded) {
  test::TempDir dir;
  DataStores stores = LoadStores(dir.Dir());
  EXPECT_TRUE(stores.girlGivenNames.empty());
  EXPECT_TRUE(stores.pinyinIndex.empty());
  EXPECT_TRUE(stores.charElementList.empty());
  ASSERT_EQ(stores.failures.size(), 4u);
  EXPECT_EQ(stores.failures[0].fileName, "tj.dat");
  EXPECT_EQ(stores.failures[1].fileName, "5ge.dat");
  EXPECT_EQ(stores.failures[2].fileName, kMaleCharsFile);
  EXPECT_EQ(stores.failures[3].fileName, kFemaleCharsFile);
  // The message is GBK like every message of the core; the path in it is the one tried.
  EXPECT_NE(ToUtf8(stores.failures[2].Message()).Bytes().find(dir.Dir() + kMaleCharsFile), std::string::npos);
  EXPECT_EQ(stores.failures[2].GbkFileName(), GbkText("男.dat"));
  EXPECT_NE(stores.failures[2].Message().Bytes().find("文件不存在"), std::string::npos);
  EXPECT_FALSE(stores.HasAll({kNumerologyFile}));
  // The tables built after the failing loads are still set up.
  EXPECT_FALSE(stores.earthChars.empty());

  // With only the numerology and name files present, only tj.dat fails.
  dir.Write("5ge.dat", "第1数 吉\r\n");
  dir.Write(kMaleCharsFile, "明\r\n\r\n华");
  dir.Write(kFemaleCharsFile, "丽\n");
  stores = LoadStores(dir.Dir());
  ASSERT_EQ(stores.failures.size(), 1u);
  EXPECT_TRUE(stores.Failed("tj.dat"));
  EXPECT_TRUE(stores.HasAll({kNumerologyFile, kMaleCharsFile, kFemaleCharsFile}));
  EXPECT_EQ(stores.maleGivenChars, (LineList{"明", "", "华"}));
  EXPECT_EQ(stores.femaleGivenChars, (LineList{"丽"}));
}

TEST(StartUp, LoadsEveryFileAsItStands) {
  test::TempDir dir;
  const std::string pinyin("\x01\x00\xFF\r\n", 5);
  dir.Write("yq.dat", pinyin);
  dir.Write("1600nv.dat", "丽丽\r\n");
  dir.Write("1600nan.dat", "明\n");
  dir.Write("dzwx.dat", "五行属“金”的字有:\r\n金\r\n");
  dir.Write("tj.dat", "张三\r\n");
  dir.Write("5ge.dat", "");
  dir.Write(kMaleCharsFile, "明");
  dir.Write(kFemaleCharsFile, "丽");
  const SharedStores shared = StartUp(dir.Dir());
  const DataStores& stores = *shared;
  EXPECT_TRUE(stores.failures.empty());
  EXPECT_EQ(stores.pinyinIndex, pinyin);  // raw bytes, line ends and zero bytes included
  EXPECT_EQ(stores.girlGivenNames, LineList{"丽丽"});
  EXPECT_EQ(stores.boyGivenNames, LineList{"明"});
  EXPECT_EQ(stores.charElementList, (LineList{"五行属“金”的字有:", "金"}));
  EXPECT_EQ(stores.recommendedList, LineList{"张三"});
  EXPECT_TRUE(stores.numerologyTable.empty());
}

TEST(StartUp, AnAdviceTableMissingOrOfNoUseIsNamedOnce) {
  const struct {
    const char* table;
    std::optional<std::string> bytes;  // nullopt: removed
    const char* reason;
  } cases[] = {{"advice_famous.dat", std::nullopt, "文件不存在"},
               {"advice_words.dat", "", "文件是空的或格式不对"},
               {"advice_chars.dat", "not a table\n", "文件是空的或格式不对"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    test::TempDir dir;
    for (const auto& file : std::filesystem::directory_iterator(ExecutableDir())) {
      if (file.path().filename().string().starts_with("advice_")) std::filesystem::copy(file.path(), dir.Dir());
    }
    std::filesystem::remove(dir.Dir() + c.table);
    if (c.bytes) dir.Write(c.table, *c.bytes);
    const DataStores stores = LoadStores(dir.Dir());
    const auto advice = std::count_if(stores.failures.begin(), stores.failures.end(),
                                      [](const LoadFailure& f) { return f.fileName.starts_with("advice_"); });
    EXPECT_EQ(advice, 1);
    ASSERT_FALSE(stores.failures.empty());
    const LoadFailure& named = stores.failures.back();
    EXPECT_TRUE(named.fileName == c.table && named.optional && named.refused);
    EXPECT_NE(named.reason.Bytes().find(GbkToUtf8(c.reason)), std::string::npos) << named.reason.Bytes();
  }
}

TEST(DataDir, ExecutableDirThenBesideItThenConfigured) {
  // An installed tree: <root>/bin holds the programs, <root>/share/tavrin
  // the data; the configured directory stands elsewhere.
  enum Where { kExe, kRelative, kConfigured };
  struct Row {
    bool inExe, inRelative, inConfigured;
    Where expected;
  };
  const Row rows[] = {
      {false, false, false, kExe},  // nowhere: the failures name the exe dir
      {false, false, true, kConfigured}, {false, true, false, kRelative},
      {false, true, true, kRelative},  // an install under another prefix wins over the configured one
      {true, false, true, kExe},         {true, true, true, kExe},  // the build tree keeps its data beside the programs
  };
  for (const Row& row : rows) {
    test::TempDir root;
    test::TempDir configured;
    std::filesystem::create_directories(root.Dir() + "bin");
    std::filesystem::create_directories(root.Dir() + "share/tavrin");
    const std::string exe = root.Dir() + "bin/";
    const std::string relative = root.Dir() + "share/tavrin/";
    if (row.inExe) std::ofstream(exe + kNumerologyFile) << "";
    if (row.inRelative) std::ofstream(relative + kNumerologyFile) << "";
    if (row.inConfigured) configured.Write(kNumerologyFile, "");
    const std::string expected = row.expected == kExe ? exe : row.expected == kRelative ? relative : configured.Dir();
    EXPECT_EQ(FindDataDir(exe, "../share/tavrin/", configured.Dir()), expected)
        << row.inExe << row.inRelative << row.inConfigured;
  }
  const std::string self = ExecutableDir();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(self.back(), '/');
  EXPECT_TRUE(FileExists(self + "test_core"));
}

}  // namespace
}  // namespace tavrin
