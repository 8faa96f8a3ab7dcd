#include "share/server.h"

#include <arpa/inet.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "share/connections.h"
#include "share/replies.h"
#include "share/secret.h"
#include "share/server_impl.h"

namespace tavrin::share {
namespace {

using httplib::Request;
using httplib::Response;

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

}  // namespace

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
