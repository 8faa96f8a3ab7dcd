// The family's page on the home network: a small HTTP server that shows the
// shared names and takes the family's votes.
//
// Every share has a new random secret, the first part of every path
// (http://ADDRESS:PORT/SECRET/); a request without it gets 404 and an empty
// body. Under the secret:
//   GET  /            the page (index.html), /style.css, /app.js, /icon.svg
//   GET  /api/names   the shared names (NamesJson)
//   GET  /api/votes?since=V[&list=L&wait=1]
//                     the votes on the names shared now after version V;
//                     with wait=1 the reply waits (up to a limit) until there
//                     is one or the list changed
//   POST /api/votes   {"member", "name", "sex", "rating", "comment"}
// Any other method on these paths gets 405. Requests are read whole, within
// limits of size and time, before the HTTP library parses them, and those
// without the secret are turned away there with the same bare 404, whatever
// their headers or form; a slow client holds no thread. The page's files
// are read once when the server is made, from one folder; no request names
// a file.
// Every response carries a Content-Security-Policy that lets the page load
// only its own script and style, and no others' (no inline code, no frames,
// no other sites).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "share/rate_limiter.h"
#include "share/shared_list.h"
#include "share/vote_book.h"

namespace tavrin::share {

struct ServerOptions {
  // A numeric IPv4 or IPv6 address; 127.0.0.1 keeps the share on this
  // computer, the home network's address opens it to the family.
  std::string address = "127.0.0.1";
  int port = 0;  // 0: any free port
  // The folder holding index.html, style.css, app.js and icon.svg.
  std::string pageDir;
  // Requests served at once, and whole requests queued for one of the
  // threads; more whole requests wait with the reader, for as long as a
  // request may take to come.
  int threads = 16;
  int queued = 32;
  // Connections whose request has not come whole yet (in all, and of one
  // client address): a newcomer beyond them closes the oldest, of the
  // client that holds the most. Such connections take no thread.
  int connections = 256;
  int connectionsPerClient = 64;
  std::size_t maxBodyBytes = 4096;
  // The request line and the header lines together, and how many lines.
  std::size_t maxHeaderBytes = 8192;
  std::size_t maxHeaderLines = 40;
  std::size_t maxRequestLine = 2048;
  // A request must have come whole (head and body) within this long of its
  // connection, however its bytes trickle in; a reply must have gone out
  // within writeTimeout.
  std::chrono::milliseconds readTimeout{5000};
  std::chrono::milliseconds writeTimeout{5000};
  // A kept connection's next request must start within this long.
  int keepAliveSeconds = 2;
  int keepAliveRequests = 20;
  RateLimit requests{240, 20};
  RateLimit votes{60, 1};
  // Display names one share takes votes under, in all and from one client
  // address; names already taken stay free to vote again.
  std::size_t membersPerShare = 12;
  std::size_t membersPerClient = 4;
  // How long a waiting GET of the votes may wait, and how many may wait at
  // once (the others are answered at once, and the page asks again later).
  std::chrono::milliseconds longPoll{20000};
  int waiters = 6;
  std::size_t votesPerReply = 2000;
};

class ShareServer {
 public:
  // Reads the page's files; throws ShareError when one is missing.
  ShareServer(VoteBook& book, ServerOptions options);
  ~ShareServer();  // stops
  ShareServer(const ShareServer&) = delete;
  ShareServer& operator=(const ShareServer&) = delete;

  // Replaces the shared names; pages that wait for votes hear of it. May be
  // called from any thread, before or while serving.
  void SetList(const SharedList& list);

  // Takes a new secret, binds the address and serves in threads of its own.
  // Throws ShareError when the address cannot be bound (not this
  // computer's, or its port taken by another program or share).
  void Start();
  // Forgets the secret (every request is now a 404), ends waiting requests,
  // closes every connection whatever its client does, and returns when the
  // threads have ended: at once, but for a vote being written to the store.
  void Stop();
  bool Running() const;

  int Port() const;
  const std::string& Secret() const;  // empty when stopped
  // http://ADDRESS:PORT/SECRET/ (IPv6 addresses in brackets).
  std::string Url() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tavrin::share
