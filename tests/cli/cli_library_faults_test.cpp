// The classical library broken in the ways a user's disk can break it: the
// commands that only weigh sources in go on without them and say so once;
// those that need the library refuse in Chinese. None waits on a FIFO, none
// ends as an internal error or shows SQLite's own words.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "cli/cli_testutil.h"
#include "library_faults.h"
#include "sources/classical_library.h"
#include "sources/library_error.h"
#include "sources/library_text.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using tavrin::test::BrokenLibrary;
using tavrin::test::LibraryState;
using test::RunCommand;
using test::U8;

TEST(CliLibraryFaults, NoSourcesSaidOnceOrRefusedInChinese) {
  tavrin::test::TempDir stores;
  const struct {
    std::vector<std::string> args;
    int status;  // 0: the command goes on without sources; 2: it needs the library
  } commands[] = {
      {{"advise", U8(u8"张明月")}, 0},
      {{"generate", "--best", "3", "--count", "3", "--seed", "1"}, 0},
      {{"favourites", "add", U8(u8"张明月"), "--store", stores.Dir() + "favourites.db"}, 0},
      {{"poems", "--search", U8(u8"明月")}, 2},
      {{"source", U8(u8"张明月")}, 2},
  };
  for (const LibraryState state :
       {LibraryState::kDamagedPages, LibraryState::kFifo, LibraryState::kRandomBytes, LibraryState::kDirectory}) {
    const BrokenLibrary library(state);
    for (const auto& c : commands) {
      const auto result = RunCommand(c.args, library.Dir());
      const std::string cell = c.args[0] + " " + c.args[1] + " state " + std::to_string(static_cast<int>(state));
      EXPECT_EQ(result.status, c.status) << cell << ": " << result.err;
      // Said once, in Chinese, naming the library.
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << cell << ": " << result.err;
      EXPECT_NE(result.err.find(U8(u8"典籍库")), std::string::npos) << cell << ": " << result.err;
      for (const char* raw : {"malformed", "not a database", "query failed", "disk image", "cannot open"}) {
        EXPECT_EQ(result.err.find(raw), std::string::npos) << cell << ": " << result.err;
      }
      if (c.status == 0) {
        EXPECT_NE(result.err.find(U8(u8"名字没有出处")), std::string::npos) << cell;
      }
    }
  }
}

// A search is cut to its longest text and stopped at its time, whatever it asks.
TEST(CliLibraryFaults, SearchesAreBounded) {
  std::string longest;
  for (std::size_t i = 0; i < sources::kMaxSearchChars; ++i) longest += U8(u8"月");
  const auto refused = RunCommand({"poems", "--search", longest + U8(u8"月")});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find(U8(u8"搜索文字超过 50 个字")), std::string::npos) << refused.err;

  sources::ClassicalLibrary library(ExecutableDir() + sources::kLibraryFile);
  std::string quotes, marks, latin, han;
  for (std::size_t i = 0; i < sources::kMaxSearchChars / 2; ++i) {
    quotes += "\"*";
    marks += "\xD6\xAE\xA3\xAC";  // 之，
    latin += "e ";
    han += "\xD6\xAE\xD4\xC2";  // 之月
  }
  for (const std::string& query : {quotes, marks, latin, han, std::string("e"), std::string("\xD6\xAE")}) {
    const auto start = std::chrono::steady_clock::now();
    try {
      library.Search(GbkText(query), GbkText());
    } catch (const sources::LibraryError& error) {
      EXPECT_EQ(error.Fault(), sources::LibraryFault::kTooSlow) << error.what();
    }
    EXPECT_LE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200)) << query;
  }
}

}  // namespace
}  // namespace tavrin::cli
