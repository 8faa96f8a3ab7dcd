// What the parts of ShareServer share: the state of one share (its page,
// names, votes' waiters and members, and the network's threads and queues)
// and the steps the connections (connections.cpp) and the routes
// (routes.cpp) take on it. Private to the share library.
#pragma once

#include <httplib.h>
#include <poll.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "share/connections.h"
#include "share/rate_limiter.h"
#include "share/replies.h"
#include "share/request_reader.h"
#include "share/server.h"
#include "share/shared_list.h"
#include "share/vote_book.h"

namespace tavrin::share {

// What a request under the secret may ask for.
enum class Route { kRedirect, kPage, kStyle, kScript, kIcon, kNames, kVotes };
struct RouteEntry {
  std::string_view path;
  Route route;
  bool post;  // POST allowed besides GET and HEAD
};

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

  httplib::Server::HandlerResponse PreRoute(const httplib::Request& req, httplib::Response& res);
  // The route the request's path names after the secret, once the secret,
  // the rate and the headers' size let it in; nullptr when answered already.
  const RouteEntry* Admitted(const httplib::Request& req, httplib::Response& res);
  // A vote's request says how long it is and that it is JSON, within limits:
  // false when it was refused.
  bool VoteAcceptable(const httplib::Request& req, httplib::Response& res);
  void Get(Route route, const httplib::Request& req, httplib::Response& res);
  void Votes(const httplib::Request& req, httplib::Response& res);
  // Waits, up to the long poll's time, while no vote has come after `since`
  // (the votes are at `version`) and the list is still `knownList`; the
  // votes' version after it.
  std::int64_t AwaitChange(std::int64_t since, std::int64_t knownList, std::int64_t version);
  // The votes after `since` on the names shared now, one reply's worth.
  Json VotesSince(std::int64_t since, std::int64_t version);
  void PostVote(const httplib::Request& req, httplib::Response& res);
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

}  // namespace tavrin::share
