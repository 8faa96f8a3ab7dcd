#include "share/connections.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

#include "share/replies.h"
#include "share/server_impl.h"

namespace tavrin::share {
namespace {

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

}  // namespace

void CloseSocket(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

ssize_t RequestStream::write(const char* ptr, size_t size) {
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

}  // namespace tavrin::share
