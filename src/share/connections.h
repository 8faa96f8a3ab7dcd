// The share's side of the network: its listening socket, a client's
// connection between requests, and the HTTP library handed one whole request
// at a time. ShareServer::Impl's reading thread (connections.cpp) accepts the
// connections, reads each request whole through `request_reader` and hands it
// to the serving threads.
#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "share/request_reader.h"

namespace tavrin::share {

using Clock = std::chrono::steady_clock;

// Closes `fd` when it is open, and marks it closed.
void CloseSocket(int& fd);

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

// The listening socket of `address`:`port`, without sharing the port with
// another socket (a second share on a port in use fails here); -errno when
// it cannot be had, and the port bound in `boundPort`.
int Listen(const std::string& address, int port, int& boundPort);

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
  ssize_t write(const char* ptr, size_t size) override;
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
    const std::function<void(httplib::Request&)> setup;
    if constexpr (requires {
                    self.process_request(stream, c.peer, c.peerPort, c.local, c.localPort, last, closed, setup);
                  }) {
      return self.process_request(stream, c.peer, c.peerPort, c.local, c.localPort, last, closed, setup);
    } else {
      return self.process_request(stream, last, closed, setup);
    }
  }
};

}  // namespace tavrin::share
