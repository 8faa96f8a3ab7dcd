// The end of a share as an open page meets it: a page waiting for news is
// told that the share ended, and the link then answers nothing.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <thread>

#include "share_testutil.h"

namespace tavrin::share::test {
namespace {

TEST(ShareEnd, AWaitingPageIsToldTheShareEnded) {
  ServerOptions options;
  options.longPoll = std::chrono::seconds(20);
  Sharing sharing({{Shared("王秀林")}}, options);
  const int port = sharing.server->Port();
  const std::string ask = Get(sharing.Path("/api/votes?since=0&list=1&wait=1"));
  Reply waited;
  std::thread waiter([&] { waited = Exchange(port, ask, std::chrono::seconds(30)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto stopped = std::chrono::steady_clock::now();
  sharing.server->Stop();
  waiter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(2));
  EXPECT_EQ(waited.status, 410);
  EXPECT_EQ(nlohmann::json::parse(waited.body, nullptr, false), nlohmann::json({{"ended", true}}));
  EXPECT_EQ(Connect(port), -1);
}

}  // namespace
}  // namespace tavrin::share::test
