#include "share/server.h"

#include <arpa/inet.h>
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>
#include <type_traits>
#include <vector>

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

// The HTTP library's queue of accepted connections, bounded: when every
// thread is busy and the queue is full, the library's accepting thread waits
// here, and further clients wait in the system's listen queue (or give up)
// instead of each taking memory and a descriptor. The library's interface
// changed between releases (enqueue returned void, later bool); the return
// type is taken from the library itself.
using EnqueueResult = decltype(std::declval<httplib::TaskQueue&>().enqueue(std::function<void()>()));
template <typename Result>
Result Accepted() {
  if constexpr (!std::is_void_v<Result>) return true;
}

class BoundedPool : public httplib::TaskQueue {
 public:
  BoundedPool(int threads, int queued) : capacity_(static_cast<std::size_t>(queued)) {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~BoundedPool() override { shutdown(); }

  EnqueueResult enqueue(std::function<void()> fn) override {
    {
      std::unique_lock lock(mutex_);
      // Once stopping, a late connection is still queued: the threads
      // serve (and close) every queued one before they end.
      room_.wait(lock, [&] { return jobs_.size() < capacity_ || stopping_; });
      jobs_.push_back(std::move(fn));
    }
    work_.notify_one();
    return Accepted<EnqueueResult>();
  }

  void shutdown() override {
    {
      std::lock_guard lock(mutex_);
      if (stopping_ && threads_.empty()) return;
      stopping_ = true;
    }
    work_.notify_all();
    room_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        work_.wait(lock, [&] { return !jobs_.empty() || stopping_; });
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      room_.notify_one();
      job();
    }
  }

  std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable work_, room_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  bool stopping_ = false;
};

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
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  int port = 0;

  static std::string Key(const std::string& name, const std::string& sex) { return sex + ":" + name; }

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
  void PostVote(const Request& req, Response& res);
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
  const std::int64_t since = req.has_param("since") ? WholeNumber(req.get_param_value("since")) : 0;
  const std::int64_t knownList = req.has_param("list") ? WholeNumber(req.get_param_value("list")) : -1;
  if (since < 0) return Refuse(res, 400, "请求格式不对");
  try {
    std::int64_t version = book.Version();
    // Wait for a change, but only so many at once: each waiting request
    // holds a serving thread. A change of another program (the window
    // writing the same store) is seen within a second.
    if (req.get_param_value("wait") == "1" && version <= since && knownList == listVersion.load()) {
      const struct Leave {
        std::atomic<int>& waiting;
        ~Leave() { waiting.fetch_sub(1); }
      } leave{waiting};
      if (waiting.fetch_add(1) < options.waiters) {
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
      }
    }
    // The share ended while this request waited: the page is told so (and
    // stops asking) rather than finding the computer gone.
    if (stopping) return ReplyJson(res, 410, {{"ended", true}});
    Json votes = Json::array();
    const std::vector<Vote> found = book.Since(since, options.votesPerReply);
    for (const Vote& v : found) votes.push_back(VoteJson(v));
    const bool more = found.size() == options.votesPerReply;
    ReplyJson(res, 200,
              {{"version", more ? found.back().version : std::max(version, found.empty() ? since : found.back().version)},
               {"listVersion", listVersion.load()},
               {"more", more},
               {"votes", std::move(votes)}});
  } catch (const ShareError&) {
    Refuse(res, 503, "投票记录暂时读不出，请稍后再试");
  }
}

void ShareServer::Impl::PostVote(const Request& req, Response& res) {
  if (!IsUtf8(req.body)) return Refuse(res, 400, "内容含有无法识别的字符");
  const Json body = Json::parse(req.body, nullptr, false);
  if (!body.is_object() || !body.contains("member") || !body["member"].is_string() || !body.contains("name") ||
      !body["name"].is_string() || !body.contains("sex") || !body["sex"].is_string() || !body.contains("rating") ||
      !body["rating"].is_number_integer() || (body.contains("comment") && !body["comment"].is_string())) {
    return Refuse(res, 400, "请求格式不对");
  }
  VoteInput vote;
  vote.member = TrimBlanks(body["member"].get<std::string>());
  vote.name = body["name"].get<std::string>();
  vote.sex = body["sex"].get<std::string>();
  const auto rating = body["rating"].get<std::int64_t>();
  vote.rating = rating < 0 || rating > 100 ? 0 : static_cast<int>(rating);
  vote.comment = body.contains("comment") ? TrimBlanks(body["comment"].get<std::string>()) : std::string();
  std::optional<std::string> bad = CheckMember(vote.member);
  if (!bad) bad = CheckRating(vote.rating);
  if (!bad) bad = CheckComment(vote.comment);
  if (bad) return Refuse(res, 400, *bad);
  {
    std::shared_ptr<const std::vector<std::string>> shared;
    {
      std::lock_guard lock(listMutex);
      shared = keys;
    }
    if (!std::binary_search(shared->begin(), shared->end(), Key(vote.name, vote.sex))) {
      return Refuse(res, 404, "这个名字没有在分享中");
    }
  }
  try {
    const Vote stored = book.Add(vote);
    Changed();
    ReplyJson(res, 200, {{"version", stored.version}, {"vote", VoteJson(stored)}});
  } catch (const ShareError&) {
    Refuse(res, 503, "投票暂时没能保存，请稍后再试");
  }
}

ShareServer::ShareServer(VoteBook& book, ServerOptions options)
    : impl_(std::make_unique<Impl>(book, std::move(options))) {
  std::string dir = impl_->options.pageDir;
  if (!dir.empty() && !dir.ends_with('/')) dir += '/';
  impl_->page = ReadWhole(dir + "index.html");
  impl_->style = ReadWhole(dir + "style.css");
  impl_->script = ReadWhole(dir + "app.js");
  impl_->icon = ReadWhole(dir + "icon.svg");
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
  if (d.server) throw ShareError("已经在分享了");
  if (!IsNumericAddress(d.options.address)) throw ShareError("“" + d.options.address + "”不是一个 IP 地址");
  {
    std::lock_guard lock(d.secretMutex);
    d.secret = NewSecret();
  }
  d.stopping = false;
  auto server = std::make_unique<httplib::Server>();
  const ServerOptions& o = d.options;
  server->new_task_queue = [&o] { return new BoundedPool(o.threads, o.queued); };
  server->set_default_headers(kSafeHeaders);
  server->set_read_timeout(o.readTimeout.count(), 0);
  server->set_write_timeout(o.writeTimeout.count(), 0);
  server->set_keep_alive_timeout(o.keepAliveSeconds);
  server->set_keep_alive_max_count(static_cast<std::size_t>(o.keepAliveRequests));
  server->set_payload_max_length(o.maxBodyBytes);
  // A reply goes out in more than one write (head, then body): without this
  // each would wait for the client's delayed acknowledgement.
  server->set_tcp_nodelay(true);
  server->set_pre_routing_handler([&d](const Request& req, Response& res) { return d.PreRoute(req, res); });
  server->Post(".*", [&d](const Request& req, Response& res) { d.PostVote(req, res); });
  server->set_exception_handler([](const Request&, Response& res, const std::exception_ptr&) {
    Refuse(res, 500, "服务出了问题，请稍后再试");
  });
  if (o.address.find(':') != std::string::npos) server->set_address_family(AF_INET6);
  const int port = o.port == 0 ? server->bind_to_any_port(o.address)
                               : (server->bind_to_port(o.address, o.port) ? o.port : -1);
  if (port <= 0) {
    std::lock_guard lock(d.secretMutex);
    d.secret.clear();
    throw ShareError("无法在 " + o.address + ":" + std::to_string(o.port) + " 上分享（地址不属于本机，或端口已被占用）");
  }
  d.port = port;
  d.server = std::move(server);
  d.thread = std::thread([&d] { d.server->listen_after_bind(); });
  // The library's stop() does nothing to a server that is not listening
  // yet: Start returns once it is, so that a Stop right after it ends it.
  while (!d.server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ShareServer::Stop() {
  Impl& d = *impl_;
  {
    std::lock_guard lock(d.secretMutex);
    d.secret.clear();
    d.stopping = true;
  }
  d.Changed();
  if (!d.server) return;
  d.server->stop();
  if (d.thread.joinable()) d.thread.join();
  d.server.reset();
}

bool ShareServer::Running() const { return impl_->server != nullptr; }
int ShareServer::Port() const { return impl_->port; }
const std::string& ShareServer::Secret() const { return impl_->secret; }

std::string ShareServer::Url() const {
  const std::string& address = impl_->options.address;
  const std::string host = address.find(':') != std::string::npos ? "[" + address + "]" : address;
  return "http://" + host + ":" + std::to_string(impl_->port) + "/" + impl_->secret + "/";
}

}  // namespace tavrin::share
