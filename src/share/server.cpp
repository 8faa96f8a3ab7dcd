#include "share/server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <type_traits>
#include <vector>

#include "share/request_reader.h"
#include "share/secret.h"
#include "share/text_checks.h"

namespace tavrin::share {
namespace {

using Json = nlohmann::json;
using httplib::Request;
using httplib::Response;
using HandlerResponse = httplib::Server::HandlerResponse;

// The page may load its own script and style and talk to its own server;
// nothing inline, nothing from elsewhere, in no frame.
const httplib::Headers kSafeHeaders = {
    {"Content-Security-Policy",
     "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
     "base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"},
    {"Cross-Origin-Opener-Policy", "same-origin"},
    {"Cross-Origin-Resource-Policy", "same-origin"},
    {"Permissions-Policy", "camera=(), microphone=(), geolocation=(), interest-cohort=()"},
};

using Clock = std::chrono::steady_clock;

// The statuses the reader answers itself, with their reason phrases and,
// for a request with the secret, what the page shows.
struct Refusal {
  int status;
  const char* reason;
  const char* words;
};
constexpr Refusal kRefusals[] = {
    {100, "Continue", ""},
    {400, "Bad Request", "请求格式不对"},
    {404, "Not Found", ""},
    {411, "Length Required", "请求缺少长度"},
    {413, "Payload Too Large", "请求太长"},
    {414, "URI Too Long", "请求的地址太长"},
    {417, "Expectation Failed", "请求格式不对"},
    {431, "Request Header Fields Too Large", "请求的头部太长"},
};

const Refusal& RefusalOf(int status) {
  for (const Refusal& r : kRefusals) {
    if (r.status == status) return r;
  }
  return kRefusals[1];
}

// A reply made before the HTTP library has seen the request: with the safe
// headers, and the connection closed after it.
std::string RawReply(int status, const std::string& body) {
  std::string reply = "HTTP/1.1 " + std::to_string(status) + " " + RefusalOf(status).reason + "\r\n";
  for (const auto& [name, value] : kSafeHeaders) reply.append(name).append(": ").append(value).append("\r\n");
  if (!body.empty()) reply += "Content-Type: application/json; charset=utf-8\r\n";
  reply += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  return reply + body;
}

std::string ErrorBody(const std::string& why) {
  return Json{{"error", why}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void CloseSocket(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// One client's connection between its requests: what it has sent of the
// next one, and until when it may go on.
struct Connection {
  int fd = -1;
  std::string peer, local;
  int peerPort = 0, localPort = 0;
  std::uint64_t order = 0;  // later connections have larger numbers
  RequestReader reader;
  std::string unread;  // sent after the request being read: the next one's
  Clock::time_point deadline;
  int served = 0;
  bool continued = false;  // told to send its body (100 Continue)
  bool whole = false;      // waits for a serving thread
  // Replied to and shut for sending: what it still sends is read and
  // dropped for a moment, so that closing does not reset the connection
  // before the client has read the reply.
  bool closing = false;
  std::size_t drained = 0;

  ~Connection() { CloseSocket(fd); }
};

std::string AddressText(const sockaddr_storage& address, int& port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(address);
    ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    port = ntohs(in.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
    ::inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
    port = ntohs(in6.sin6_port);
  }
  return text;
}

// Waits until `fd` is ready for `events`, `stop` is signalled or `deadline`
// passes; true when `fd` is ready.
bool WaitFor(int fd, short events, int stop, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd fds[] = {{fd, events, 0}, {stop, POLLIN, 0}};
    const int ready = ::poll(fds, 2, static_cast<int>(std::min<long long>(left, 1000)));
    if (ready < 0 && errno != EINTR) return false;
    if (fds[1].revents) return false;
    if (fds[0].revents & (POLLERR | POLLNVAL)) return false;
    if (fds[0].revents) return true;
  }
}

// A request the reader has found whole, as the HTTP library reads it, and
// its reply written to the client's socket within the write timeout (and
// not at all once the share stops).
class RequestStream : public httplib::Stream {
 public:
  RequestStream(const Connection& c, std::string request, int stop, std::chrono::milliseconds writeTimeout)
      : c_(c), request_(std::move(request)), stop_(stop), deadline_(Clock::now() + writeTimeout) {}

  bool is_readable() const override { return at_ < request_.size(); }
  bool is_writable() const override { return !failed_; }
  ssize_t read(char* ptr, size_t size) override {
    const std::size_t n = std::min(size, request_.size() - at_);
    std::memcpy(ptr, request_.data() + at_, n);
    at_ += n;
    return static_cast<ssize_t>(n);
  }
  ssize_t write(const char* ptr, size_t size) override {
    std::size_t sent = 0;
    while (!failed_ && sent < size) {
      const ssize_t n = ::send(c_.fd, ptr + sent, size - sent, MSG_NOSIGNAL);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        failed_ = !WaitFor(c_.fd, POLLOUT, stop_, deadline_);
      } else {
        failed_ = true;
      }
    }
    return failed_ ? -1 : static_cast<ssize_t>(size);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    ip = c_.peer;
    port = c_.peerPort;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    ip = c_.local;
    port = c_.localPort;
  }
  socket_t socket() const override { return c_.fd; }
  bool Failed() const { return failed_; }

 private:
  const Connection& c_;
  std::string request_;
  std::size_t at_ = 0;
  int stop_;
  Clock::time_point deadline_;
  bool failed_ = false;
};

// The HTTP library's server, given one whole request at a time: it never
// reads from a client itself, nor listens. Its request function changed
// between releases (the addresses are handed to it from 0.12 on); the form
// this release has is the one called.
class Engine : public httplib::Server {
 public:
  template <typename Self = Engine>
  bool ServeOne(RequestStream& stream, const Connection& c, bool last, bool& closed) {
    Self& self = static_cast<Self&>(*this);
    const std::function<void(Request&)> setup;
    if constexpr (requires {
                    self.process_request(stream, c.peer, c.peerPort, c.local, c.localPort, last, closed, setup);
                  }) {
      return self.process_request(stream, c.peer, c.peerPort, c.local, c.localPort, last, closed, setup);
    } else {
      return self.process_request(stream, last, closed, setup);
    }
  }
};

// The listening socket of `address`:`port`, without sharing the port with
// another socket (a second share on a port in use fails here).
int Listen(const std::string& address, int port, int& boundPort) {
  sockaddr_storage storage{};
  socklen_t length;
  const bool six = address.find(':') != std::string::npos;
  if (six) {
    auto& in6 = reinterpret_cast<sockaddr_in6&>(storage);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET6, address.c_str(), &in6.sin6_addr);
    length = sizeof in6;
  } else {
    auto& in = reinterpret_cast<sockaddr_in&>(storage);
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &in.sin_addr);
    length = sizeof in;
  }
  const int fd = ::socket(six ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -errno;
  // Only so that a port of a share just ended can be taken again at once.
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 || ::listen(fd, 128) != 0) {
    const int error = errno;
    ::close(fd);
    return -error;
  }
  length = sizeof storage;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length);
  AddressText(storage, boundPort);
  return fd;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in || text.str().empty()) throw ShareError("分享页面的文件“" + path + "”不见了或读不出，请重新安装 Tavrin");
  return text.str();
}

bool IsNumericAddress(const std::string& address) {
  unsigned char buffer[sizeof(in6_addr)];
  return ::inet_pton(AF_INET, address.c_str(), buffer) == 1 || ::inet_pton(AF_INET6, address.c_str(), buffer) == 1;
}

// A whole decimal number, 0 to 2^62; -1 for anything else.
std::int64_t WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return -1;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

Json VoteJson(const Vote& v) {
  return {{"version", v.version}, {"member", v.member}, {"name", v.name},         {"sex", v.sex},
          {"rating", v.rating},   {"comment", v.comment}, {"changed", v.changed}};
}

// The vote a POST's body gives, with its texts' blanks trimmed; nullopt
// when the body is not such an object (its texts are checked after).
std::optional<VoteInput> VoteOfBody(const std::string& text) {
  const Json body = Json::parse(text, nullptr, false);
  if (!body.is_object() || !body.contains("member") || !body["member"].is_string() || !body.contains("name") ||
      !body["name"].is_string() || !body.contains("sex") || !body["sex"].is_string() || !body.contains("rating") ||
      !body["rating"].is_number_integer() || (body.contains("comment") && !body["comment"].is_string())) {
    return std::nullopt;
  }
  VoteInput vote;
  vote.member = TrimBlanks(body["member"].get<std::string>());
  vote.name = body["name"].get<std::string>();
  vote.sex = body["sex"].get<std::string>();
  const auto rating = body["rating"].get<std::int64_t>();
  vote.rating = rating < 0 || rating > 100 ? 0 : static_cast<int>(rating);
  vote.comment = body.contains("comment") ? TrimBlanks(body["comment"].get<std::string>()) : std::string();
  return vote;
}

void Reply(Response& res, int status, const std::string& body, const char* type) {
  res.status = status;
  res.set_content(body, type);
}

void ReplyJson(Response& res, int status, const Json& body) {
  Reply(res, status, body.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json; charset=utf-8");
}

// A refused request: a short reason the page can show, and the connection
// closed (a body it did not read must not be taken for the next request).
void Refuse(Response& res, int status, const std::string& why) {
  ReplyJson(res, status, {{"error", why}});
  res.set_header("Connection", "close");
}

// What a request under the secret may ask for.
enum class Route { kRedirect, kPage, kStyle, kScript, kIcon, kNames, kVotes };
struct RouteEntry {
  std::string_view path;
  Route route;
  bool post;  // POST allowed besides GET and HEAD
};
constexpr RouteEntry kRoutes[] = {
    {"", Route::kRedirect, false},          {"/", Route::kPage, false},
    {"/style.css", Route::kStyle, false},   {"/app.js", Route::kScript, false},
    {"/icon.svg", Route::kIcon, false},
    {"/api/names", Route::kNames, false},   {"/api/votes", Route::kVotes, true},
};

}  // namespace

struct ShareServer::Impl {
  Impl(VoteBook& book, ServerOptions options)
      : book(book), options(std::move(options)), requestLimit(this->options.requests), voteLimit(this->options.votes) {}

  VoteBook& book;
  ServerOptions options;
  std::string page, style, script, icon;
  RateLimiter requestLimit, voteLimit;

  // The shared names, as the API gives them, and the keys votes may name.
  std::mutex listMutex;
  std::shared_ptr<const std::string> namesJson = std::make_shared<const std::string>(NamesJson({}, 0));
  std::shared_ptr<const std::vector<std::string>> keys = std::make_shared<const std::vector<std::string>>();
  std::atomic<std::int64_t> listVersion{0};

  // Waiting GETs of the votes wake on every change here.
  std::mutex changeMutex;
  std::condition_variable changed;
  std::uint64_t changes = 0;
  std::atomic<int> waiting{0};

  std::mutex secretMutex;
  std::string secret;
  std::atomic<bool> stopping{false};
  Engine engine;
  int port = 0;

  // The display names this share has taken votes under, in all and by
  // client address.
  std::mutex membersMutex;
  std::set<std::string> shareMembers;
  std::map<std::string, std::set<std::string>> clientMembers;

  // The network: one thread reads every connection's request until it is
  // whole (or refused), then hands it to the serving threads through
  // `ready`; a kept connection comes back through `returned`.
  int listener = -1;
  int stopSignal = -1;    // signalled once when the share stops, never read
  int returnSignal = -1;  // a connection came back
  std::thread reader;
  std::vector<std::thread> workers;
  std::mutex queueMutex;
  std::condition_variable queueChanged;
  std::deque<std::unique_ptr<Connection>> ready;
  std::vector<std::unique_ptr<Connection>> returned;
  bool queueClosed = false;
  std::uint64_t accepted = 0;

  RequestLimits Limits() const {
    return {options.maxRequestLine, options.maxHeaderBytes, options.maxHeaderLines, options.maxBodyBytes};
  }
  void ReadLoop(const std::string& secretOfShare);
  // The connections the serving threads are done with, back for their next
  // request: some of it may be here already.
  void TakeBack(std::vector<std::unique_ptr<Connection>>& open, const std::string& secretOfShare);
  // Whole requests to the serving threads, in the order they came, as the
  // queue has room; true when some still wait for it.
  bool DispatchWhole(std::vector<std::unique_ptr<Connection>>& open);
  // Waits for the stop, a connection back, a new client or bytes of a
  // client's; `fds` says which came, in that order. False when polling failed.
  bool Poll(const std::vector<std::unique_ptr<Connection>>& open, bool waits, std::vector<pollfd>& fds);
  // Reads from the connections `fds` found ready; the ones done with go.
  void ReadReady(std::vector<std::unique_ptr<Connection>>& open, const std::vector<pollfd>& fds,
                 const std::string& secretOfShare);
  // Reads out and drops what a closing connection still sends; false once
  // it is to be closed.
  static bool Drain(Connection& c);
  void Accept(std::vector<std::unique_ptr<Connection>>& open);
  // Reads what the client sent; false when the connection is done with.
  bool Read(std::unique_ptr<Connection>& c, const std::string& secretOfShare);
  // Takes `bytes` into the request and acts on what it has become: a whole
  // request goes to the serving threads (and `c` is null after it).
  void Feed(std::unique_ptr<Connection>& c, std::string_view bytes, const std::string& secretOfShare);
  void ReplyAndClose(Connection& c, const std::string& reply);
  // Hands a whole request to the serving threads (`c` is null after it);
  // false when as many wait for them as may.
  bool Dispatch(std::unique_ptr<Connection>& c);
  void Work();
  void Serve(std::unique_ptr<Connection> c);

  static std::string Key(const std::string& name, const std::string& sex) { return sex + ":" + name; }
  // The keys of the names shared now.
  std::shared_ptr<const std::vector<std::string>> SharedKeys() {
    std::lock_guard lock(listMutex);
    return keys;
  }

  void Changed() {
    {
      std::lock_guard lock(changeMutex);
      ++changes;
    }
    changed.notify_all();
  }

  HandlerResponse PreRoute(const Request& req, Response& res);
  // The route the request's path names after the secret, once the secret,
  // the rate and the headers' size let it in; nullptr when answered already.
  const RouteEntry* Admitted(const Request& req, Response& res);
  // A vote's request says how long it is and that it is JSON, within limits:
  // false when it was refused.
  bool VoteAcceptable(const Request& req, Response& res);
  void Get(Route route, const Request& req, Response& res);
  void Votes(const Request& req, Response& res);
  // Waits, up to the long poll's time, while no vote has come after `since`
  // (the votes are at `version`) and the list is still `knownList`; the
  // votes' version after it.
  std::int64_t AwaitChange(std::int64_t since, std::int64_t knownList, std::int64_t version);
  // The votes after `since` on the names shared now, one reply's worth.
  Json VotesSince(std::int64_t since, std::int64_t version);
  void PostVote(const Request& req, Response& res);
  // Where a vote's display name was new when it was admitted.
  struct NewMember {
    bool toClient = false, toShare = false;
  };
  // Admits `member` for `client` under the limits of display names per
  // client and per share; the refusal's words when it is one too many.
  std::optional<std::string> AdmitMember(const std::string& client, const std::string& member, NewMember& added);
  // Forgets what AdmitMember added, for a vote that was not kept.
  void ForgetMember(const std::string& client, const std::string& member, const NewMember& added);
};

const RouteEntry* ShareServer::Impl::Admitted(const Request& req, Response& res) {
  // The secret first: without it, nothing but an empty 404, whatever else
  // is wrong with the request.
  std::string_view path = req.path;
  const std::size_t end = path.find('/', 1);
  const std::string_view first = path.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
  bool known;
  {
    std::lock_guard lock(secretMutex);
    known = !stopping && path.starts_with('/') && SameSecret(first, secret);
  }
  if (!known) {
    res.status = 404;
    res.set_header("Connection", "close");
    return nullptr;
  }
  path.remove_prefix(1 + first.size());
  if (!requestLimit.Allow(req.remote_addr)) {
    res.set_header("Retry-After", "5");
    Refuse(res, 429, "请求太频繁，请稍等几秒再试");
    return nullptr;
  }
  std::size_t headerBytes = 0;
  for (const auto& [name, value] : req.headers) headerBytes += name.size() + value.size() + 4;
  if (headerBytes > options.maxHeaderBytes) {
    Refuse(res, 431, "请求的头部太长");
    return nullptr;
  }
  for (const RouteEntry& candidate : kRoutes) {
    if (candidate.path == path) return &candidate;
  }
  res.status = 404;
  return nullptr;
}

bool ShareServer::Impl::VoteAcceptable(const Request& req, Response& res) {
  // Its body is read by the library (up to maxBodyBytes) only when it says
  // how long it is and that it is JSON. A cross-site form cannot send JSON
  // without the browser asking first, and this server answers no such
  // question.
  if (!req.has_header("Content-Length")) {
    Refuse(res, 411, "请求缺少长度");
    return false;
  }
  const std::int64_t length = WholeNumber(req.get_header_value("Content-Length"));
  if (length < 0 || static_cast<std::size_t>(length) > options.maxBodyBytes) {
    Refuse(res, 413, "请求太长");
    return false;
  }
  const std::string type = req.get_header_value("Content-Type");
  if (!type.starts_with("application/json")) {
    Refuse(res, 415, "请求格式不对");
    return false;
  }
  if (!voteLimit.Allow(req.remote_addr)) {
    res.set_header("Retry-After", "5");
    Refuse(res, 429, "投票太频繁，请稍等几秒再试");
    return false;
  }
  return true;
}

HandlerResponse ShareServer::Impl::PreRoute(const Request& req, Response& res) {
  const RouteEntry* entry = Admitted(req, res);
  if (!entry) return HandlerResponse::Handled;
  const bool get = req.method == "GET" || req.method == "HEAD";
  if (!get && !(entry->post && req.method == "POST")) {
    res.set_header("Allow", entry->post ? "GET, HEAD, POST" : "GET, HEAD");
    Refuse(res, 405, "不支持这种请求");
    return HandlerResponse::Handled;
  }
  if (get) {
    Get(entry->route, req, res);
    return HandlerResponse::Handled;
  }
  // A vote goes to the POST handler, after its body.
  return VoteAcceptable(req, res) ? HandlerResponse::Unhandled : HandlerResponse::Handled;
}

void ShareServer::Impl::Get(Route route, const Request& req, Response& res) {
  switch (route) {
    case Route::kRedirect:
      res.status = 308;
      res.set_header("Location", req.path + "/");
      return;
    case Route::kPage:
      return Reply(res, 200, page, "text/html; charset=utf-8");
    case Route::kStyle:
      return Reply(res, 200, style, "text/css; charset=utf-8");
    case Route::kScript:
      return Reply(res, 200, script, "text/javascript; charset=utf-8");
    case Route::kIcon:
      return Reply(res, 200, icon, "image/svg+xml");
    case Route::kNames: {
      std::shared_ptr<const std::string> names;
      {
        std::lock_guard lock(listMutex);
        names = namesJson;
      }
      return Reply(res, 200, *names, "application/json; charset=utf-8");
    }
    case Route::kVotes:
      return Votes(req, res);
  }
}

void ShareServer::Impl::Votes(const Request& req, Response& res) {
  std::int64_t since = req.has_param("since") ? WholeNumber(req.get_param_value("since")) : 0;
  const std::int64_t knownList = req.has_param("list") ? WholeNumber(req.get_param_value("list")) : -1;
  if (since < 0) return Refuse(res, 400, "请求格式不对");
  try {
    std::int64_t version = book.Version();
    // Past the store's latest: the page read another store, or every vote
    // after it was removed; it is given them all again.
    if (since > version) since = 0;
    if (req.get_param_value("wait") == "1") version = AwaitChange(since, knownList, version);
    // The share ended while this request waited: the page is told so (and
    // stops asking) rather than finding the computer gone.
    if (stopping) return ReplyJson(res, 410, {{"ended", true}});
    ReplyJson(res, 200, VotesSince(since, version));
  } catch (const ShareError&) {
    Refuse(res, 503, "投票记录暂时读不出，请稍后再试");
  }
}

std::int64_t ShareServer::Impl::AwaitChange(std::int64_t since, std::int64_t knownList, std::int64_t version) {
  if (version > since || knownList != listVersion.load()) return version;
  // Wait for a change, but only so many at once: each waiting request
  // holds a serving thread. A change of another program (the window
  // writing the same store) is seen within a second.
  const struct Leave {
    std::atomic<int>& waiting;
    ~Leave() { waiting.fetch_sub(1); }
  } leave{waiting};
  if (waiting.fetch_add(1) >= options.waiters) return version;
  const auto deadline = std::chrono::steady_clock::now() + options.longPoll;
  std::unique_lock lock(changeMutex);
  while (!stopping && version <= since && knownList == listVersion.load() &&
         std::chrono::steady_clock::now() < deadline) {
    const std::uint64_t seen = changes;
    const auto until = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(1));
    changed.wait_until(lock, until, [&] { return changes != seen || stopping.load(); });
    lock.unlock();
    version = book.Version();
    lock.lock();
  }
  return version;
}

Json ShareServer::Impl::VotesSince(std::int64_t since, std::int64_t version) {
  // Only the votes on names shared now: those on a name no longer kept
  // stay in the store, for when it is kept again, but reach no page.
  const std::shared_ptr<const std::vector<std::string>> shared = SharedKeys();
  Json votes = Json::array();
  const std::vector<Vote> found = book.Since(since, options.votesPerReply);
  for (const Vote& v : found) {
    if (std::binary_search(shared->begin(), shared->end(), Key(v.name, v.sex))) votes.push_back(VoteJson(v));
  }
  const bool more = found.size() == options.votesPerReply;
  return {{"version", more ? found.back().version : std::max(version, found.empty() ? since : found.back().version)},
          {"listVersion", listVersion.load()},
          {"more", more},
          {"votes", std::move(votes)}};
}

void ShareServer::Impl::PostVote(const Request& req, Response& res) {
  if (!IsUtf8(req.body)) return Refuse(res, 400, "内容含有无法识别的字符");
  const std::optional<VoteInput> vote = VoteOfBody(req.body);
  if (!vote) return Refuse(res, 400, "请求格式不对");
  std::optional<std::string> bad = CheckMember(vote->member);
  if (!bad) bad = CheckRating(vote->rating);
  if (!bad) bad = CheckComment(vote->comment);
  if (bad) return Refuse(res, 400, *bad);
  const std::shared_ptr<const std::vector<std::string>> shared = SharedKeys();
  if (!std::binary_search(shared->begin(), shared->end(), Key(vote->name, vote->sex))) {
    return Refuse(res, 404, "这个名字没有在分享中");
  }
  NewMember added;
  if (const std::optional<std::string> full = AdmitMember(req.remote_addr, vote->member, added)) {
    return Refuse(res, 403, *full);
  }
  try {
    const Vote stored = book.Add(*vote);
    Changed();
    ReplyJson(res, 200, {{"version", stored.version}, {"vote", VoteJson(stored)}});
  } catch (const ShareError&) {
    ForgetMember(req.remote_addr, vote->member, added);
    Refuse(res, 503, "投票暂时没能保存，请稍后再试");
  }
}

std::optional<std::string> ShareServer::Impl::AdmitMember(const std::string& client, const std::string& member,
                                                          NewMember& added) {
  // A few display names per phone and per share: one phone cannot pose as
  // the whole family, nor fill 收藏 with names.
  std::lock_guard lock(membersMutex);
  std::set<std::string>& mine = clientMembers[client];
  if (mine.contains(member)) return std::nullopt;
  if (mine.size() >= options.membersPerClient) {
    return "这台设备已经用过 " + std::to_string(mine.size()) + " 个称呼，请用其中一个投票";
  }
  if (!shareMembers.contains(member) && shareMembers.size() >= options.membersPerShare) {
    return "这次分享的称呼已满 " + std::to_string(shareMembers.size()) + " 个，请用已有的称呼投票";
  }
  added.toClient = mine.insert(member).second;
  added.toShare = shareMembers.insert(member).second;
  return std::nullopt;
}

void ShareServer::Impl::ForgetMember(const std::string& client, const std::string& member, const NewMember& added) {
  std::lock_guard lock(membersMutex);
  if (added.toShare) shareMembers.erase(member);
  if (added.toClient) clientMembers[client].erase(member);
}

void ShareServer::Impl::ReadLoop(const std::string& secretOfShare) {
  std::vector<std::unique_ptr<Connection>> open;
  std::vector<pollfd> fds;
  while (!stopping) {
    TakeBack(open, secretOfShare);
    const bool waits = DispatchWhole(open);
    if (!Poll(open, waits, fds) || fds[0].revents) break;
    if (fds[1].revents) {
      std::uint64_t count;
      [[maybe_unused]] const ssize_t ignored = ::read(returnSignal, &count, sizeof count);
    }
    ReadReady(open, fds, secretOfShare);
    if (fds[2].revents) Accept(open);
    // A request not whole in time is not waited for longer, whatever its
    // client still sends.
    const auto now = Clock::now();
    std::erase_if(open, [&](const auto& c) { return c->deadline <= now; });
  }
  open.clear();
  CloseSocket(listener);
}

void ShareServer::Impl::TakeBack(std::vector<std::unique_ptr<Connection>>& open, const std::string& secretOfShare) {
  std::vector<std::unique_ptr<Connection>> back;
  {
    std::lock_guard lock(queueMutex);
    back.swap(returned);
  }
  for (auto& c : back) {
    const std::string unread = std::move(c->unread);
    c->unread.clear();
    if (!unread.empty()) Feed(c, unread, secretOfShare);
    if (c) open.push_back(std::move(c));
  }
}

bool ShareServer::Impl::DispatchWhole(std::vector<std::unique_ptr<Connection>>& open) {
  bool waits = false;
  for (auto& c : open) {
    if (c->whole && !Dispatch(c)) waits = true;
  }
  std::erase_if(open, [](const auto& c) { return !c; });
  return waits;
}

bool ShareServer::Impl::Poll(const std::vector<std::unique_ptr<Connection>>& open, bool waits,
                             std::vector<pollfd>& fds) {
  fds.assign({{stopSignal, POLLIN, 0}, {returnSignal, POLLIN, 0}, {listener, POLLIN, 0}});
  // Requests waiting for room in the queue are offered again soon.
  auto wake = Clock::now() + (waits ? std::chrono::milliseconds(5) : std::chrono::milliseconds(1000));
  for (const auto& c : open) {
    fds.push_back({c->fd, static_cast<short>(c->whole ? 0 : POLLIN), 0});
    wake = std::min(wake, c->deadline);
  }
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count();
  return ::poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(wait + 1, 0, 1000))) >= 0 ||
         errno == EINTR;
}

void ShareServer::Impl::ReadReady(std::vector<std::unique_ptr<Connection>>& open, const std::vector<pollfd>& fds,
                                  const std::string& secretOfShare) {
  for (std::size_t i = 0; i < open.size(); ++i) {
    Connection& c = *open[i];
    if (!fds[3 + i].revents || c.whole) continue;
    if (c.closing ? !Drain(c) : !Read(open[i], secretOfShare)) open[i].reset();
  }
  std::erase_if(open, [](const auto& c) { return !c; });
}

bool ShareServer::Impl::Drain(Connection& c) {
  // Read out and dropped, a bounded amount, then closed.
  char drop[16384];
  const ssize_t got = ::recv(c.fd, drop, sizeof drop, 0);
  if (got > 0) c.drained += static_cast<std::size_t>(got);
  return !(got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR) || c.drained > (1u << 20));
}

void ShareServer::Impl::Accept(std::vector<std::unique_ptr<Connection>>& open) {
  for (int round = 0; round < 32; ++round) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int fd = ::accept4(listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // none waits, or no descriptor is free: the others wait in the system's queue
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    c->peer = AddressText(address, c->peerPort);
    length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    c->local = AddressText(address, c->localPort);
    c->order = ++accepted;
    c->reader = RequestReader(Limits());
    c->deadline = Clock::now() + options.readTimeout;
    // A reply goes out in more than one write (head, then body): without
    // this each would wait for the client's delayed acknowledgement.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const std::string peer = c->peer;
    open.push_back(std::move(c));
    // Too many waiting: the oldest of the client that holds the most goes
    // (of this one's, when it is past its own limit).
    std::map<std::string, int> held;
    for (const auto& each : open) ++held[each->peer];
    std::string crowded = peer;
    if (held[peer] <= options.connectionsPerClient) {
      if (open.size() <= static_cast<std::size_t>(options.connections)) continue;
      crowded = std::max_element(held.begin(), held.end(), [](const auto& a, const auto& b) {
                  return a.second < b.second;
                })->first;
    }
    const auto oldest = std::min_element(open.begin(), open.end(), [&](const auto& a, const auto& b) {
      return std::tuple(a->peer != crowded, a->order) < std::tuple(b->peer != crowded, b->order);
    });
    open.erase(oldest);
  }
}

bool ShareServer::Impl::Read(std::unique_ptr<Connection>& connection, const std::string& secretOfShare) {
  Connection& c = *connection;
  // What follows a whole request waits in `unread` until it is served.
  if (!c.unread.empty()) return true;
  char buffer[8192];
  const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
  if (got == 0) return false;
  if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  // The first byte of a kept connection's next request: it has as long as
  // a new connection's has.
  if (c.served > 0 && c.reader.Held() == 0) c.deadline = Clock::now() + options.readTimeout;
  Feed(connection, std::string_view(buffer, static_cast<std::size_t>(got)), secretOfShare);
  return true;
}

void ShareServer::Impl::Feed(std::unique_ptr<Connection>& connection, std::string_view bytes,
                             const std::string& secretOfShare) {
  Connection& c = *connection;
  const std::size_t taken = c.reader.Take(bytes);
  c.unread.append(bytes.substr(taken));
  const RequestReader::State state = c.reader.Status();
  const std::optional<bool> secretNamed = NamesSecret(c.reader.TargetSoFar(), c.reader.TargetWhole(), secretOfShare);
  if (secretNamed == false || (state == RequestReader::State::kRefused && secretNamed != true)) {
    return ReplyAndClose(c, RawReply(404, ""));
  }
  if (state == RequestReader::State::kRefused) {
    return ReplyAndClose(c, RawReply(c.reader.Refusal(), ErrorBody(RefusalOf(c.reader.Refusal()).words)));
  }
  if (state == RequestReader::State::kMore) {
    if (c.reader.WaitsForContinue() && !c.continued) {
      c.continued = true;
      static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
      [[maybe_unused]] const ssize_t sent = ::send(c.fd, kContinue, sizeof kContinue - 1, MSG_NOSIGNAL);
    }
    return;
  }
  // Whole: to a serving thread, now or when there is room (it has as long
  // to wait as it had to come).
  c.whole = true;
  c.deadline = Clock::now() + options.readTimeout;
  Dispatch(connection);
}

bool ShareServer::Impl::Dispatch(std::unique_ptr<Connection>& c) {
  {
    std::lock_guard lock(queueMutex);
    if (ready.size() >= static_cast<std::size_t>(options.queued)) return false;
    c->whole = false;
    ready.push_back(std::move(c));
  }
  queueChanged.notify_one();
  return true;
}

void ShareServer::Impl::ReplyAndClose(Connection& c, const std::string& reply) {
  // Short replies: one send fits them whole into the socket's buffer.
  [[maybe_unused]] const ssize_t sent = ::send(c.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
  ::shutdown(c.fd, SHUT_WR);
  c.closing = true;
  c.unread.clear();
  c.deadline = Clock::now() + std::chrono::seconds(1);
}

void ShareServer::Impl::Work() {
  for (;;) {
    std::unique_ptr<Connection> c;
    {
      std::unique_lock lock(queueMutex);
      queueChanged.wait(lock, [&] { return !ready.empty() || queueClosed; });
      if (queueClosed) return;
      c = std::move(ready.front());
      ready.pop_front();
    }
    Serve(std::move(c));
  }
}

void ShareServer::Impl::Serve(std::unique_ptr<Connection> c) {
  RequestStream stream(*c, c->reader.Request(), stopSignal, options.writeTimeout);
  ++c->served;
  bool closed = false;
  const bool last = c->served >= options.keepAliveRequests || stopping;
  const bool written = engine.ServeOne(stream, *c, last, closed);
  if (!written || closed || stream.Failed() || stopping) return;  // closes it
  c->reader = RequestReader(Limits());
  c->continued = false;
  c->deadline = Clock::now() + std::chrono::seconds(options.keepAliveSeconds);
  {
    std::lock_guard lock(queueMutex);
    if (queueClosed) return;
    returned.push_back(std::move(c));
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(returnSignal, &one, sizeof one);
}

ShareServer::ShareServer(VoteBook& book, ServerOptions options)
    : impl_(std::make_unique<Impl>(book, std::move(options))) {
  Impl& d = *impl_;
  std::string dir = d.options.pageDir;
  if (!dir.empty() && !dir.ends_with('/')) dir += '/';
  d.page = ReadWhole(dir + "index.html");
  d.style = ReadWhole(dir + "style.css");
  d.script = ReadWhole(dir + "app.js");
  d.icon = ReadWhole(dir + "icon.svg");
  const ServerOptions& o = d.options;
  d.engine.set_default_headers(kSafeHeaders);
  d.engine.set_keep_alive_timeout(o.keepAliveSeconds);
  d.engine.set_keep_alive_max_count(static_cast<std::size_t>(o.keepAliveRequests));
  d.engine.set_payload_max_length(o.maxBodyBytes);
  d.engine.set_pre_routing_handler([&d](const Request& req, Response& res) { return d.PreRoute(req, res); });
  d.engine.Post(".*", [&d](const Request& req, Response& res) { d.PostVote(req, res); });
  d.engine.set_exception_handler(
      [](const Request&, Response& res, const std::exception_ptr&) { Refuse(res, 500, "服务出了问题，请稍后再试"); });
}

ShareServer::~ShareServer() { Stop(); }

void ShareServer::SetList(const SharedList& list) {
  std::vector<std::string> keys;
  for (const SharedName& n : list.names) keys.push_back(Impl::Key(n.name, n.sex));
  std::sort(keys.begin(), keys.end());
  {
    std::lock_guard lock(impl_->listMutex);
    const std::int64_t version = impl_->listVersion.load() + 1;
    impl_->namesJson = std::make_shared<const std::string>(NamesJson(list, version));
    impl_->keys = std::make_shared<const std::vector<std::string>>(std::move(keys));
    impl_->listVersion.store(version);
  }
  impl_->Changed();
}

void ShareServer::Start() {
  Impl& d = *impl_;
  if (Running()) throw ShareError("已经在分享了");
  const ServerOptions& o = d.options;
  if (!IsNumericAddress(o.address)) throw ShareError("“" + o.address + "”不是一个 IP 地址");
  std::string secret = NewSecret();
  int bound = 0;
  const int fd = Listen(o.address, o.port, bound);
  if (fd < 0) {
    const std::string where = o.address + ":" + std::to_string(o.port);
    if (-fd == EADDRINUSE) throw ShareError("无法在 " + where + " 上分享：端口已被占用");
    if (-fd == EADDRNOTAVAIL) throw ShareError("无法在 " + where + " 上分享：这个地址不属于本机");
    throw ShareError("无法在 " + where + " 上分享：" + std::strerror(-fd));
  }
  d.listener = fd;
  d.port = bound;
  d.stopSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  d.returnSignal = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  {
    std::lock_guard lock(d.secretMutex);
    d.secret = std::move(secret);
  }
  {
    std::lock_guard lock(d.membersMutex);
    d.shareMembers.clear();
    d.clientMembers.clear();
  }
  d.stopping = false;
  d.queueClosed = false;
  d.reader = std::thread([&d, secret = d.secret] { d.ReadLoop(secret); });
  for (int i = 0; i < o.threads; ++i) d.workers.emplace_back([&d] { d.Work(); });
}

void ShareServer::Stop() {
  Impl& d = *impl_;
  {
    std::lock_guard lock(d.secretMutex);
    d.secret.clear();
    d.stopping = true;
  }
  d.Changed();
  if (!Running()) return;
  // Every wait of the reader and of a reply being written ends on this.
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(d.stopSignal, &one, sizeof one);
  d.reader.join();
  {
    std::lock_guard lock(d.queueMutex);
    d.queueClosed = true;
  }
  d.queueChanged.notify_all();
  for (std::thread& t : d.workers) t.join();
  d.workers.clear();
  d.ready.clear();
  d.returned.clear();
  CloseSocket(d.stopSignal);
  CloseSocket(d.returnSignal);
}

bool ShareServer::Running() const { return impl_->reader.joinable(); }
int ShareServer::Port() const { return impl_->port; }
const std::string& ShareServer::Secret() const { return impl_->secret; }

std::string ShareServer::Url() const {
  const std::string& address = impl_->options.address;
  const std::string host = address.find(':') != std::string::npos ? "[" + address + "]" : address;
  return "http://" + host + ":" + std::to_string(impl_->port) + "/" + impl_->secret + "/";
}

}  // namespace tavrin::share
