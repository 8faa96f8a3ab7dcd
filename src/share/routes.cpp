#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "share/replies.h"
#include "share/secret.h"
#include "share/server_impl.h"
#include "share/text_checks.h"

namespace tavrin::share {
namespace {

using httplib::Request;
using httplib::Response;
using HandlerResponse = httplib::Server::HandlerResponse;

constexpr RouteEntry kRoutes[] = {
    {"", Route::kRedirect, false},       {"/", Route::kPage, false},         {"/style.css", Route::kStyle, false},
    {"/app.js", Route::kScript, false},  {"/icon.svg", Route::kIcon, false}, {"/api/names", Route::kNames, false},
    {"/api/votes", Route::kVotes, true},
};

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

}  // namespace

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

}  // namespace tavrin::share
