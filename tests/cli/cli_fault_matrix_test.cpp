// The command line on broken data: the cells of the fault matrix
// (data_faults.h), each running generate, analyse and poetry on a copy of the
// data directory with one file broken. A required file that cannot be read
// is named on stderr with exit status 2 by every command that needs it; a
// broken optional file changes no exit status, except that without a usable
// pinyin index the first generator ends the run (status 2) because the
// surname has no tone; a poem database that cannot be read is named. A file
// that is there but no regular file, too big or with too long a line is named
// with the reason first. No cell ends with an internal error or hangs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>

#include "cli/cli_testutil.h"
#include "data_faults.h"

namespace tavrin::test {

// How GoogleTest shows a cell (in test listings and failures).
inline void PrintTo(const FaultCell& cell, std::ostream* os) { *os << cell.Label(); }

}  // namespace tavrin::test

namespace tavrin::cli {
namespace {

namespace fault = tavrin::test;
using test::RunCommand;
using test::U8;

class CliFaultMatrix : public ::testing::TestWithParam<fault::FaultCell> {};

// "status" or "status: messages", the lines of stderr joined by " / ", the
// data directory written as <dir>/.
std::string Outcome(const test::CliResult& result, const std::string& dir) {
  std::string shown = std::to_string(result.status);
  std::string err = result.err.substr(0, result.err.find_last_not_of('\n') + 1);
  for (std::size_t at; (at = err.find('\n')) != std::string::npos;) err.replace(at, 1, " / ");
  for (std::size_t at; (at = err.find(dir)) != std::string::npos;) err.replace(at, dir.size(), "<dir>/");
  if (!err.empty()) shown += ": " + err;
  return shown;
}

TEST_P(CliFaultMatrix, NamesTheFileOrStaysSilent) {
  const fault::FaultCell& cell = GetParam();
  fault::TempDataDir dir;
  ASSERT_FALSE(dir.Path().empty());
  fault::CopyShippedData(FindDataDir(), dir.Path());
  fault::ApplyFault(dir.Path(), cell.file, cell.fault);
  const bool unreadable = fault::Unreadable(dir.Path(), cell);
  const bool rootReads = cell.fault == fault::DataFault::kUnreadable && !unreadable;
  const std::string name = cell.file.name;
  const bool requiredFails = cell.file.role == fault::DataRole::kRequired && unreadable;
  const bool numerologyFails = requiredFails && name == kNumerologyFile;
  const bool noPinyin = name == kPinyinFile && !rootReads;
  const bool poemsFail = cell.file.role == fault::DataRole::kPoems && !rootReads && !fault::PoemsReadable(cell);
  if (rootReads) RecordProperty("note", "mode 000 does not stop root's reads: checked as an intact file");
  // The note that names a refused file, before any message of the command.
  const std::string note =
      fault::NamedAtStartup(cell) ? U8(u8"tavrin-cli: 无法打开文件“") + dir.DirText() + name + U8(u8"”:") : "";
  const auto startsWithNote = [&](const std::string& err) { return err.starts_with(note); };

  const auto generate = RunCommand({"generate", "--seed", "1", "--count", "3"}, dir.DirText());
  if (requiredFails) {
    EXPECT_EQ(generate.status, 2);
    EXPECT_TRUE(generate.err.ends_with(U8(u8"\ntavrin-cli generate: 缺少数据文件") + name + U8(u8",无法生成名字\n")) ||
                generate.err == U8(u8"tavrin-cli generate: 缺少数据文件") + name + U8(u8",无法生成名字\n"))
        << generate.err;
    EXPECT_TRUE(startsWithNote(generate.err)) << generate.err;
    EXPECT_EQ(generate.out, "");
  } else if (noPinyin) {
    EXPECT_EQ(generate.status, 2);
    EXPECT_TRUE(generate.err.ends_with(U8(u8"tavrin-cli generate: 姓氏“张”的拼音“张”没有声调,无法生成二字名\n")))
        << generate.err;
    EXPECT_TRUE(startsWithNote(generate.err)) << generate.err;
    EXPECT_TRUE(generate.out.starts_with(U8(u8"【姓名设置】\n开始分析八字\n"))) << generate.out;
  } else {
    EXPECT_EQ(generate.status, 0) << generate.err;
    EXPECT_TRUE(note.empty() ? generate.err.empty() : startsWithNote(generate.err)) << generate.err;
    EXPECT_TRUE(generate.out.starts_with(U8(u8"【姓名设置】\n开始分析八字\n"))) << generate.out;
  }

  const auto analyse = RunCommand({"analyse", U8(u8"张伟"), "--conventions"}, dir.DirText());
  if (numerologyFails) {
    EXPECT_EQ(analyse.status, 2);
    EXPECT_NE(analyse.err.find(name), std::string::npos) << analyse.err;
  } else {
    EXPECT_EQ(analyse.status, 0) << analyse.err;
    EXPECT_TRUE(analyse.out.starts_with(U8(u8"开始分析八字\n"))) << analyse.out;
  }

  const auto poetry = RunCommand({"poetry", "--poem-id", "1", "--count", "3", "--seed", "1"}, dir.DirText());
  if (poemsFail || numerologyFails) {
    EXPECT_EQ(poetry.status, 2);
    EXPECT_NE(poetry.err.find(name), std::string::npos) << poetry.err;
  } else {
    EXPECT_EQ(poetry.status, 0) << poetry.err;
    EXPECT_TRUE(poetry.out.starts_with(U8(u8"出生日期:2012年1月1日\n"))) << poetry.out;
  }

  // TAVRIN_CLI_FAULT_TABLE names a file that gets the cell's exit statuses
  // and messages as a Markdown row.
  if (const char* table = std::getenv("TAVRIN_CLI_FAULT_TABLE")) {
    std::ofstream(table, std::ios::app) << "| " << name << " | " << fault::FaultName(cell.fault)
                                        << (rootReads ? " (root: read as intact)" : "") << " | "
                                        << Outcome(generate, dir.DirText()) << " | " << Outcome(analyse, dir.DirText())
                                        << " | " << Outcome(poetry, dir.DirText()) << " |\n";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFileAndFault, CliFaultMatrix, ::testing::ValuesIn(fault::AllFaultCells()),
                         [](const ::testing::TestParamInfo<fault::FaultCell>& info) {
                           // Test names take letters, digits and "_" only.
                           std::string label = std::to_string(info.index) + "_";
                           for (const char c : info.param.Label()) {
                             label += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return label;
                         });

}  // namespace
}  // namespace tavrin::cli
