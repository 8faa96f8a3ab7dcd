// The share as someone uninvited or hostile tries it: every request of the
// table gets an error (or a closed connection) and, with it, the safe
// headers; only the invited page and its API answer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>
#include <thread>

#include "share/secret.h"
#include "share/text_checks.h"
#include "share_testutil.h"

namespace tavrin::share::test {
namespace {

SharedList ThreeNames() { return {{Shared("王秀林"), Shared("王子衿"), Shared("王若溪", "male")}}; }

std::string VoteBody(const std::string& member, int rating, const std::string& comment,
                     const std::string& name = "王秀林") {
  return R"({"member":")" + member + R"(","name":")" + name + R"(","sex":"female","rating":)" + std::to_string(rating) +
         R"(,"comment":")" + comment + R"("})";
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct Hostile {
  const char* what;
  // The request; "{S}" stands for the secret.
  std::string request;
  std::set<int> statuses;  // what may come back; 0 is a closed connection
  bool emptyBody = false;
};

std::string WithSecret(std::string request, const std::string& secret) {
  for (std::size_t at; (at = request.find("{S}")) != std::string::npos;) request.replace(at, 3, secret);
  return request;
}

TEST(ShareServer, RefusesEveryHostileRequest) {
  Sharing sharing(ThreeNames());
  const std::string someoneElse = NewSecret();
  const std::string longHeader = "X-Filler: " + std::string(10000, 'a') + "\r\n";
  const std::string manyHeaders = Repeat("X-Filler: " + std::string(500, 'b') + "\r\n", 20);
  const std::string hostile[] = {"\xff\xfe", "\xc0\xaf", "\xed\xa0\x80", "\xe7\x8e"};  // bad, overlong, surrogate, cut
  const Hostile table[] = {
      {"no secret", Get("/"), {404}, true},
      {"no secret, the page's file", Get("/app.js"), {404}, true},
      {"a wrong secret", Get("/" + someoneElse + "/"), {404}, true},
      {"the secret cut short", Get("/" + sharing.server->Secret().substr(1) + "/"), {404}, true},
      {"the secret and more", Get("/{S}x/"), {404}, true},
      {"the secret as a query", Get("/?s={S}"), {404}, true},
      {"a vote without the secret", Post("/api/votes", VoteBody("爷爷", 5, "")), {404}, true},
      {"traversal", Get("/{S}/../../../etc/passwd"), {404}},
      {"traversal, encoded", Get("/{S}/%2e%2e/%2e%2e/etc/passwd"), {404}},
      {"traversal before the secret", Get("/../{S}/app.js"), {404}, true},
      {"a file of the data folder", Get("/{S}/index.html"), {404}},
      {"PUT", "PUT /{S}/api/votes HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 0\r\n\r\n", {405}},
      {"DELETE", "DELETE /{S}/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {405}},
      {"POST to the names", Post("/{S}/api/names", "{}"), {405}},
      {"a method HTTP has not", "BREW /{S}/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {400, 405}},
      {"a header line too long",
       "GET /{S}/ HTTP/1.1\r\nHost: x\r\n" + longHeader + "Connection: close\r\n\r\n",
       {400, 431, 0}},
      {"headers too long together",
       "GET /{S}/ HTTP/1.1\r\nHost: x\r\n" + manyHeaders + "Connection: close\r\n\r\n",
       {431}},
      {"a path too long", Get("/{S}/?x=" + std::string(9000, 'c')), {414, 400, 0}},
      {"a body too long", Post("/{S}/api/votes", "{\"member\":\"" + std::string(8000, 'd') + "\"}"), {413}},
      {"a body of no stated length",
       "POST /{S}/api/votes HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: application/json\r\n"
       "Transfer-Encoding: chunked\r\n\r\n5\r\n{\"a\":\r\n0\r\n\r\n",
       {411}},
      {"a form, not JSON", Post("/{S}/api/votes", "member=a&rating=5", "application/x-www-form-urlencoded"), {415}},
      {"not JSON at all", Post("/{S}/api/votes", "{member:"), {400}},
      {"a rating as text",
       Post("/{S}/api/votes", R"({"member":"爷爷","name":"王秀林","sex":"female","rating":"5"})"),
       {400}},
      {"a rating of 4.5",
       Post("/{S}/api/votes", R"({"member":"爷爷","name":"王秀林","sex":"female","rating":4.5})"),
       {400}},
      {"rating 0", Post("/{S}/api/votes", VoteBody("爷爷", 0, "")), {400}},
      {"rating 6", Post("/{S}/api/votes", VoteBody("爷爷", 6, "")), {400}},
      {"rating -1", Post("/{S}/api/votes", VoteBody("爷爷", -1, "")), {400}},
      {"a name 21 characters long", Post("/{S}/api/votes", VoteBody(Repeat("爷", 21), 5, "")), {400}},
      {"a name of blanks", Post("/{S}/api/votes", VoteBody("   ", 5, "")), {400}},
      {"a name turned around", Post("/{S}/api/votes", VoteBody("\u202e爷爷", 5, "")), {400}},
      {"a comment 501 characters long", Post("/{S}/api/votes", VoteBody("爷爷", 5, Repeat("好", 501))), {400, 413}},
      {"bad UTF-8 in the name", Post("/{S}/api/votes", VoteBody(hostile[0], 5, "")), {400}},
      {"an overlong form", Post("/{S}/api/votes", VoteBody("爷" + hostile[1], 5, "")), {400}},
      {"a surrogate", Post("/{S}/api/votes", VoteBody("爷" + hostile[2], 5, "")), {400}},
      {"a character cut short", Post("/{S}/api/votes", VoteBody("爷爷", 5, "好" + hostile[3])), {400}},
      {"a name not shared", Post("/{S}/api/votes", VoteBody("爷爷", 5, "", "王大锤")), {404}},
      {"the right name, the other sex",
       Post("/{S}/api/votes", R"({"member":"爷爷","name":"王秀林","sex":"male","rating":5})"),
       {404}},
      {"since that is no number", Get("/{S}/api/votes?since=-1"), {400}},
  };
  for (const Hostile& row : table) {
    SCOPED_TRACE(row.what);
    Reply reply = Exchange(sharing.server->Port(), WithSecret(row.request, sharing.server->Secret()));
    EXPECT_TRUE(row.statuses.count(reply.status)) << "status " << reply.status << " body " << reply.body;
    if (reply.status == 0) continue;
    if (row.emptyBody) {
      EXPECT_EQ(reply.body, "");
    }
    EXPECT_NE(reply.headers["content-security-policy"].find("default-src 'none'"), std::string::npos);
    EXPECT_EQ(reply.headers["x-content-type-options"], "nosniff");
    EXPECT_EQ(reply.headers["referrer-policy"], "no-referrer");
  }
  // Nothing of it was stored.
  EXPECT_EQ(sharing.book->Version(), 0);
}

// What the invited page asks for, at the limits of what it may send.
TEST(ShareServer, AnswersTheInvitedPage) {
  Sharing sharing(ThreeNames());
  const int port = sharing.server->Port();
  struct Row {
    const char* what;
    std::string request;
    int status;
    const char* type;  // the start of the Content-Type
  };
  const Row table[] = {
      {"the page", Get(sharing.Path("/")), 200, "text/html"},
      {"the page without its slash", Get(sharing.Path("")), 308, nullptr},
      {"its style", Get(sharing.Path("/style.css")), 200, "text/css"},
      {"its script", Get(sharing.Path("/app.js")), 200, "text/javascript"},
      {"the names", Get(sharing.Path("/api/names")), 200, "application/json"},
      {"the votes", Get(sharing.Path("/api/votes?since=0")), 200, "application/json"},
      {"a name of 20 characters", Post(sharing.Path("/api/votes"), VoteBody(Repeat("爷", 20), 1, "")), 200,
       "application/json"},
      {"a comment of 500 characters", Post(sharing.Path("/api/votes"), VoteBody("奶奶", 5, Repeat("好", 500))), 200,
       "application/json"},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.what);
    Reply reply = Exchange(port, row.request);
    EXPECT_EQ(reply.status, row.status) << reply.body;
    if (row.type) {
      EXPECT_EQ(reply.headers["content-type"].rfind(row.type, 0), 0u) << reply.headers["content-type"];
    }
    EXPECT_NE(reply.headers["content-security-policy"].find("script-src 'self'"), std::string::npos);
  }
  // The names carry what was shared and nothing else.
  const auto names = nlohmann::json::parse(Exchange(port, Get(sharing.Path("/api/names"))).body);
  ASSERT_EQ(names["names"].size(), 3u);
  std::set<std::string> keys;
  for (const auto& [key, value] : names["names"][0].items()) keys.insert(key);
  EXPECT_EQ(keys, (std::set<std::string>{"name", "sex", "pinyin", "recommend", "meanings", "source", "warnings"}));
  const auto votes = nlohmann::json::parse(Exchange(port, Get(sharing.Path("/api/votes?since=0"))).body);
  ASSERT_EQ(votes["votes"].size(), 2u);
  EXPECT_EQ(votes["votes"][1]["member"], "奶奶");
  EXPECT_EQ(votes["version"], 2);
}

TEST(ShareServer, LimitsTheRequestsOfEachClient) {
  ServerOptions options;
  options.requests = {5, 0.001};
  Sharing sharing(ThreeNames(), options);
  std::vector<int> statuses;
  for (int i = 0; i < 7; ++i) statuses.push_back(Exchange(sharing.server->Port(), Get(sharing.Path("/"))).status);
  EXPECT_EQ(statuses, (std::vector<int>{200, 200, 200, 200, 200, 429, 429}));
}

TEST(ShareServer, DropsAClientThatStopsSending) {
  ServerOptions options;
  options.readTimeout = std::chrono::seconds(1);
  Sharing sharing(ThreeNames(), options);
  const int fd = Connect(sharing.server->Port());
  ASSERT_GE(fd, 0);
  const std::string half = "GET " + sharing.Path("/") + " HTTP/1.1\r\nHost: x\r\n";
  ASSERT_EQ(::send(fd, half.data(), half.size(), MSG_NOSIGNAL), static_cast<ssize_t>(half.size()));
  const auto started = std::chrono::steady_clock::now();
  ReadAll(fd, std::chrono::seconds(10));  // returns when the server closes
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  ::close(fd);
}

TEST(ShareServer, StopForgetsTheSecretAndAStartTakesANewOne) {
  Sharing sharing(ThreeNames());
  const std::string old = sharing.server->Secret();
  EXPECT_GE(old.size() * 6, 128u);
  sharing.server->Stop();
  EXPECT_EQ(sharing.server->Secret(), "");
  EXPECT_EQ(Connect(sharing.server->Port()), -1);  // nothing listens
  sharing.server->Start();
  EXPECT_NE(sharing.server->Secret(), old);
  EXPECT_EQ(Exchange(sharing.server->Port(), Get("/" + old + "/")).status, 404);
  EXPECT_EQ(Exchange(sharing.server->Port(), Get(sharing.Path("/"))).status, 200);
}

TEST(ShareServer, AWaitingPageHearsOfAVoteAtOnce) {
  Sharing sharing(ThreeNames());
  const int port = sharing.server->Port();
  Reply waited;
  std::thread waiter([&] {
    waited = Exchange(port, Get(sharing.Path("/api/votes?since=0&list=1&wait=1")), std::chrono::seconds(30));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto posted = std::chrono::steady_clock::now();
  EXPECT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), VoteBody("妈妈", 4, "好听"))).status, 200);
  waiter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - posted, std::chrono::seconds(1));
  EXPECT_NE(waited.body.find("好听"), std::string::npos);
}

TEST(ShareServer, OnlySoManyPagesWaitAtOnce) {
  ServerOptions options;
  options.waiters = 1;
  options.longPoll = std::chrono::milliseconds(3000);
  Sharing sharing(ThreeNames(), options);
  const int port = sharing.server->Port();
  ASSERT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), VoteBody("妈妈", 4, ""))).status, 200);
  // Asking to wait when there is news already waits for nothing, and does
  // not count as waiting.
  for (int i = 0; i < 3; ++i) Exchange(port, Get(sharing.Path("/api/votes?since=0&list=1&wait=1")));
  std::thread first([&] { Exchange(port, Get(sharing.Path("/api/votes?since=1&list=1&wait=1"))); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_EQ(Exchange(port, Get(sharing.Path("/api/votes?since=1&list=1&wait=1"))).status, 200);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));  // answered at once
  first.join();
}

TEST(ShareServer, RefusesAPageFolderWithoutThePage) {
  TempDir dir;
  const std::string path = dir.Path() + "/favourites.db";
  {
    FavouritesStore store(path);
  }
  SqliteVoteBook book(path);
  ServerOptions options;
  options.pageDir = dir.Path();
  EXPECT_THROW(ShareServer(book, options), ShareError);
  options.pageDir = PageDir();
  options.address = "localhost";  // a name, not an address: never looked up
  ShareServer server(book, options);
  EXPECT_THROW(server.Start(), ShareError);
}

TEST(TextChecks, Utf8) {
  const struct {
    std::string text;
    bool valid;
    std::size_t length;
  } table[] = {
      {"", true, 0},
      {"abc", true, 3},
      {"爷爷", true, 2},
      {"\xf0\x9f\x91\xb5", true, 1},
      {"\x80", false, 0},
      {"\xc0\x80", false, 0},
      {"\xe0\x80\x80", false, 0},
      {"\xed\xbf\xbf", false, 0},
      {"\xf4\x90\x80\x80", false, 0},
      {"\xe7\x88", false, 0},
      {"\xf8\x88\x80\x80\x80", false, 0},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IsUtf8(row.text), row.valid);
    if (row.valid) {
      EXPECT_EQ(Utf8Length(row.text), row.length);
    }
  }
  EXPECT_EQ(TrimBlanks("\u3000 爷爷 \u3000"), "爷爷");
}

}  // namespace
}  // namespace tavrin::share::test
