// `serve` refuses what it cannot share: wrong arguments, an address that is
// no IP address (never looked up), a port out of range, an empty store.
#include <gtest/gtest.h>

#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::CliResult;
using test::RunCommand;
using test::U8;

TEST(CliServe, RefusesWhatItCannotShare) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db";
  const struct {
    std::vector<std::string> args;
    std::string messagePart;
  } table[] = {
      {{"serve"}, U8(u8"用法")},
      {{"serve", "--listen", "127.0.0.1:0"}, U8(u8"用法")},
      {{"serve", "--store", store, "--store", store}, U8(u8"用法")},
      {{"serve", "--store", store, "--port", "80"}, U8(u8"用法")},
      {{"serve", "--store", store, "--listen", "localhost:8080"}, U8(u8"不是 IP 地址")},
      {{"serve", "--store", store, "--listen", "127.0.0.1"}, U8(u8"地址:端口")},
      {{"serve", "--store", store, "--listen", "127.0.0.1:"}, U8(u8"地址:端口")},
      {{"serve", "--store", store, "--listen", "127.0.0.1:65536"}, U8(u8"65535")},
      {{"serve", "--store", store, "--listen", "127.0.0.1:80x"}, U8(u8"65535")},
      {{"serve", "--store", store}, U8(u8"收藏里还没有名字")},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.messagePart);
    const CliResult result = RunCommand(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(row.messagePart), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

}  // namespace
}  // namespace tavrin::cli
