// The share against strangers and floods: requests read within bounds of
// bytes and time before anything else, a bare 404 for anything without the
// secret, a flood that closes its own connections first, a port that is
// not shared; and, with the secret, a few members per phone and share,
// names that show what they are, and only the votes of what is shared now.
// Slow and idle crowds and Ctrl+C among them: serve_guard_test.py.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <nlohmann/json.hpp>

#include <thread>

#include "share/request_reader.h"
#include "share/text_checks.h"
#include "share_testutil.h"

namespace tavrin::share::test {
namespace {

using namespace std::chrono_literals;
using State = RequestReader::State;

std::string Fill(std::string request, const std::string& secret) {
  for (std::size_t at; (at = request.find("{S}")) != std::string::npos;) request.replace(at, 3, secret);
  return request;
}

// A client sends `bytes` in pieces of `piece`, up to `cap`: the reader takes
// no more than its limits, whatever is offered.
TEST(RequestReader, TakesNoMoreThanItsLimits) {
  const std::string line = "X-Filler: " + std::string(90, 'a') + "\r\n";
  std::string flood = "GET /s/ HTTP/1.1\r\n";
  while (flood.size() < (200u << 20)) flood += line;  // 200 MB of header lines
  const struct {
    const char* what;
    std::string bytes;
    State state;
    int refusal;
    std::size_t taken;  // at most
  } table[] = {
      {"200 MB of header lines", flood, State::kRefused, 431, 8192},
      {"41 header lines",
       "GET / HTTP/1.1\r\n" +
           [&] {
             std::string h;
             for (int i = 0; i < 41; ++i) h += "A: b\r\n";
             return h;
           }() +
           "\r\n",
       State::kRefused, 431, 400},
      {"a request line of 3000", "GET /" + std::string(3000, 'c') + " HTTP/1.1\r\n", State::kRefused, 414, 3100},
      {"chunked", "POST /s HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", State::kRefused, 411,
       50},
      {"chunked with a small length",
       "POST /s HTTP/1.1\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(1 << 20, 'x'),
       State::kRefused, 400, 80},
      {"a length past the limit", "POST /s HTTP/1.1\r\nContent-Length: 300000000\r\n\r\n" + std::string(1 << 20, 'x'),
       State::kRefused, 413, 60},
      {"two lengths", "POST /s HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\nx", State::kRefused, 400, 80},
      {"another expectation", "GET /s HTTP/1.1\r\nExpect: coffee\r\n\r\n", State::kRefused, 417, 40},
      {"a folded line", "GET /s HTTP/1.1\r\nA: b\r\n c\r\n\r\n", State::kRefused, 400, 40},
      {"no version", "GET /s\r\n\r\n", State::kRefused, 400, 20},
      {"a path without its slash", "GET s HTTP/1.1\r\n\r\n", State::kRefused, 400, 40},
      {"a body whole, the next request after it", "POST /s HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}GET / HTTP/1.1\r\n",
       State::kWhole, 0, 43},
      {"line ends before the request", "\r\n\r\nGET /s HTTP/1.1\n\n", State::kWhole, 0, 22},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.what);
    RequestReader reader;
    std::size_t taken = 0;
    for (std::size_t at = 0; at < row.bytes.size() && reader.Status() == State::kMore; at += 65536) {
      taken += reader.Take(std::string_view(row.bytes).substr(at, 65536));
      EXPECT_LE(reader.Held(), 8192u + 4096u);
    }
    EXPECT_EQ(reader.Status(), row.state);
    EXPECT_EQ(reader.Refusal(), row.refusal);
    EXPECT_LE(taken, row.taken);
  }
  // What the library reads: the head without the Expect line, then the body.
  RequestReader reader;
  reader.Take("POST /s/api/votes HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n");
  EXPECT_TRUE(reader.WaitsForContinue());
  reader.Take("{}");
  EXPECT_EQ(reader.Request(), "POST /s/api/votes HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}");
}

TEST(RequestReader, TellsTheSecretOnlyWhenItsSegmentHasEnded) {
  const struct {
    std::string_view target;
    bool whole;
    std::optional<bool> named;
  } table[] = {
      {"/abc/", false, true},       {"/abc?x", false, true}, {"/abc", true, true},    {"/abc", false, std::nullopt},
      {"/ab", false, std::nullopt}, {"/abd/", false, false}, {"/abcd", false, false}, {"/ab/", false, false},
      {"abc/", false, false},       {"", true, false},       {"/", true, false},      {"//abc/", false, false},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.target);
    EXPECT_EQ(NamesSecret(row.target, row.whole, "abc"), row.named);
  }
}

SharedList Names() { return {{Shared("王秀林"), Shared("王子衿")}}; }

std::string Vote(const std::string& member, const std::string& name = "王秀林") {
  return R"({"member":")" + member + R"(","name":")" + name + R"(","sex":"female","rating":4})";
}

// Sends `request`, then reads for `wait`: what came back, raw.
std::string Raw(int port, const std::string& request, std::chrono::milliseconds wait = 3000ms) {
  const int fd = Connect(port);
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string data;
  const auto until = std::chrono::steady_clock::now() + wait;
  for (char buffer[4096];;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return data;
}

TEST(ShareGuard, AnswersHostileClientsWithinBounds) {
  ServerOptions options;
  options.readTimeout = 500ms;
  Sharing sharing(Names(), options);
  const int port = sharing.server->Port();
  const std::string bare = "HTTP/1.1 404 Not Found\r\n";
  const std::string flood = "GET /{S}/ HTTP/1.1\r\n" + [] {
    std::string h;
    for (int i = 0; i < 700; ++i) h += "X-Filler: " + std::string(90, 'f') + "\r\n";
    return h;
  }();
  const struct {
    const char* what;
    std::string request;
    std::string starts;  // the raw reply begins so
    bool emptyBody;
  } table[] = {
      {"Expect without the secret", "POST /x/api/votes HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 40\r\n\r\n",
       bare, true},
      {"a malformed request line", "GARBAGE\r\n\r\n", bare, true},
      {"a request line too long", "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\n\r\n", bare, true},
      {"a header line too long", "GET / HTTP/1.1\r\nX: " + std::string(10000, 'b') + "\r\n\r\n", bare, true},
      {"a wrong secret, trickled no further", "GET /AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA",
       bare, true},
      {"64 KB of headers with the secret", flood, "HTTP/1.1 431 ", false},
      {"a path too long with the secret", "GET /{S}/?" + std::string(3000, 'c') + " HTTP/1.1\r\n\r\n", "HTTP/1.1 414 ",
       false},
      {"a vote in chunks, a small length",
       "POST /{S}/api/votes HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 2\r\nTransfer-Encoding: "
       "chunked\r\n\r\n2\r\n{}\r\n0\r\n\r\n",
       "HTTP/1.1 400 ", false},
      {"a vote of 300 MB said",
       "POST /{S}/api/votes HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 300000000\r\n\r\n",
       "HTTP/1.1 413 ", false},
      {"a vote that waits to be told",
       "POST /{S}/api/votes HTTP/1.1\r\nContent-Type: application/json\r\nExpect: 100-continue\r\nContent-Length: "
       "9\r\n\r\n",
       "HTTP/1.1 100 Continue\r\n\r\n", false},
      {"a request that never ends", "GET /{S}/ HTTP/1.1\r\nHost: x\r\n", "", true},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.what);
    const auto started = std::chrono::steady_clock::now();
    const std::string reply = Raw(port, Fill(row.request, sharing.server->Secret()));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);  // closed by the server, not by the wait
    EXPECT_EQ(reply.substr(0, row.starts.size()), row.starts) << reply.substr(0, 200);
    if (row.emptyBody) {
      EXPECT_TRUE(reply.empty() || reply.ends_with("Content-Length: 0\r\nConnection: close\r\n\r\n"));
    }
  }
  EXPECT_EQ(sharing.book->Version(), 0);
}

// A connection from `from` (an address of the loopback range).
int ConnectFrom(const char* from, int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  ::inet_pton(AF_INET, from, &address.sin_addr);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return fd;
}

// A flood of one address closes its own connections first, not another's.
TEST(ShareGuard, AFloodClosesItsOwnConnectionsFirst) {
  ServerOptions options;
  options.connections = 40;
  options.connectionsPerClient = 30;
  Sharing sharing(Names(), options);
  std::vector<int> family, flood;
  for (int i = 0; i < 8; ++i) family.push_back(ConnectFrom("127.0.0.2", sharing.server->Port()));
  for (int i = 0; i < 100; ++i) flood.push_back(ConnectFrom("127.0.0.3", sharing.server->Port()));
  const auto open = [](const std::vector<int>& fds) {
    int count = 0;
    for (int fd : fds) {
      char byte;
      count += ::recv(fd, &byte, 1, MSG_DONTWAIT) < 0 && errno == EAGAIN;  // nothing to read, not closed
    }
    return count;
  };
  for (int wait = 0; wait < 50 && open(flood) > 30; ++wait) std::this_thread::sleep_for(100ms);
  EXPECT_EQ(open(family), 8);
  EXPECT_EQ(open(flood), 30);
  for (int fd : family) ::close(fd);
  for (int fd : flood) ::close(fd);
}

TEST(ShareGuard, ASecondShareOnAPortInUseFails) {
  Sharing first(Names());
  ServerOptions options;
  options.port = first.server->Port();
  try {
    Sharing second(Names(), options);
    ADD_FAILURE() << "a second share on port " << options.port;
  } catch (const ShareError& error) {
    EXPECT_NE(std::string(error.what()).find("端口已被占用"), std::string::npos) << error.what();
  }
}

TEST(ShareGuard, AFewMembersPerPhoneAndShare) {
  ServerOptions options;
  options.membersPerClient = 3;
  options.membersPerShare = 3;
  Sharing sharing(Names(), options);
  const int port = sharing.server->Port();
  const struct {
    const char* member;
    int status;
  } table[] = {{"爷爷", 200}, {"奶奶", 200}, {"妈妈", 200}, {"爸爸", 403}, {"爷爷", 200}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.member);
    EXPECT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), Vote(row.member))).status, row.status);
  }
}

TEST(ShareGuard, ServesOnlyTheVotesOfWhatIsSharedNow) {
  Sharing sharing(Names());
  const int port = sharing.server->Port();
  ASSERT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), Vote("爷爷", "王子衿"))).status, 200);
  ASSERT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), Vote("爷爷"))).status, 200);
  // Votes another program or an older store wrote, that no page may post.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(sharing.storePath.c_str(), &db), SQLITE_OK);
  const char* foreign =
      "PRAGMA ignore_check_constraints = ON;"
      "INSERT INTO member (id, display_name, joined) VALUES (90, '奶奶', 0), (91, '爷爷' || char(8203), 0);"
      "INSERT INTO vote VALUES (90, '王秀林', 'female', 99, '', 10, 0), (91, '王秀林', 'female', 5, '', 11, 0),"
      " (90, '王子衿', 'female', 3, '好' || char(8238), 12, 0), (90, '王秀林', 'male', 0, '', 13, 0);";
  ASSERT_EQ(sqlite3_exec(db, foreign, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
  sharing.server->SetList({{Shared("王秀林")}});
  const auto reply = nlohmann::json::parse(Exchange(port, Get(sharing.Path("/api/votes?since=0"))).body);
  ASSERT_EQ(reply["votes"].size(), 1u) << reply.dump();
  EXPECT_EQ(reply["votes"][0]["name"], "王秀林");
  EXPECT_EQ(reply["votes"][0]["rating"], 4);
  EXPECT_EQ(Exchange(port, Post(sharing.Path("/api/votes"), Vote("爷爷", "王子衿"))).status, 404);
  // A member removed takes their votes, and the versions do not go back.
  EXPECT_TRUE(sharing.book->RemoveMember("奶奶"));
  EXPECT_FALSE(sharing.book->RemoveMember("奶奶"));
  EXPECT_EQ(sharing.book->Members().size(), 2u);
  EXPECT_EQ(sharing.book->Version(), 14);
  EXPECT_EQ(sharing.book->Add({"妈妈", "王秀林", "female", 5, ""}).version, 15);
}

TEST(TextChecks, NamesThatShowWhatTheyAre) {
  const struct {
    std::string member;
    bool good;
  } names[] = {
      {"爷爷", true},        {"大 姑", true},           {"奶奶👵", true},
      {"Grandpa Li", true},  {"爷爷\u200b", false},     {"\u200f爷爷", false},
      {"\u2800", false},     {"\u3164", false},         {"\u3000\u3000", false},
      {"爷\u00a0爷", false}, {"爷\u2060爷", false},     {"\ufeff爷爷", false},
      {"爷爷\u202e", false}, {"爷爷\u2066", false},     {"爷\u00ad爷", false},
      {"爷爷\ufe0f", false}, {"\U000e0041爷爷", false}, {"爷\ue000", false},
      {"爷\u034f爷", false}, {"爷爷\u180e", false},
  };
  for (const auto& row : names) {
    SCOPED_TRACE(row.member);
    EXPECT_EQ(!CheckMember(row.member), row.good) << CheckMember(row.member).value_or("");
  }
  // A comment may keep emoji (joiners, variation selectors), not turns.
  EXPECT_FALSE(CheckComment("很好👨\u200d👩\u200d👧❤\ufe0f\n第二行"));
  EXPECT_TRUE(CheckComment("好\u202e听"));
  EXPECT_TRUE(CheckComment("\u200f好听"));
}

}  // namespace
}  // namespace tavrin::share::test
