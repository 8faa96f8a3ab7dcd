// `serve`: shares the favourites of a store with the family, without a
// window: the family's page on this computer's network, until Ctrl+C (or
// SIGTERM) ends it. It listens on 127.0.0.1 unless told an address, and
// follows the store's list while it serves. `family` lists the members who
// have voted and removes one with their votes.
#include <arpa/inet.h>
#include <pthread.h>
#include <signal.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "base/output_text.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "core/startup.h"
#include "favourites/store.h"
#include "share/server.h"
#include "share/shared_favourites.h"
#include "share/vote_book.h"
#include "sources/name_notes.h"

namespace tavrin::cli {
namespace {

constexpr const char* kUsage = "serve --store FILE [--listen ADDR:PORT]";

[[noreturn]] void Usage() { throw CliError(UsageMessage(kUsage)); }

// "ADDR:PORT", "[IPv6]:PORT": the numeric address and the port (0 for any
// free one).
std::pair<std::string, int> ParseListen(const std::string& text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon + 1 == text.size()) {
    throw CliError(Say("--listen “%1”应写成 地址:端口,例如 192.168.1.20:8080", {text}));
  }
  std::string address = text.substr(0, colon);
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
    address = address.substr(1, address.size() - 2);
  }
  const std::string portText = text.substr(colon + 1);
  int port = 0;
  for (char c : portText) {
    if (c < '0' || c > '9' || port > 65535)
      throw CliError(Say("--listen 的端口“%1”不是 0 至 65535 之间的整数", {portText}));
    port = port * 10 + (c - '0');
  }
  unsigned char buffer[sizeof(in6_addr)];
  if (port > 65535) throw CliError(Say("--listen 的端口“%1”不是 0 至 65535 之间的整数", {portText}));
  if (::inet_pton(AF_INET, address.c_str(), buffer) != 1 && ::inet_pton(AF_INET6, address.c_str(), buffer) != 1) {
    throw CliError(Say("--listen 的地址“%1”不是 IP 地址", {address}));
  }
  return {address, port};
}

// The store, which must be writable (the votes are kept there).
std::unique_ptr<FavouritesStore> OpenStore(const std::string& path) {
  try {
    auto store = std::make_unique<FavouritesStore>(path);
    if (store->ReadOnly()) throw CliError(Say("收藏文件“%1”只能读,无法记录家人的投票", {path}));
    return store;
  } catch (const FavouritesError& error) {
    throw GbkError(error.what());
  }
}

// What of the favourites the shared list is made of: a change of it is a
// change of the share.
std::vector<std::tuple<GbkText, Sex, int>> ListKeys(const std::vector<Favourite>& favourites) {
  std::vector<std::tuple<GbkText, Sex, int>> keys;
  for (const Favourite& f : favourites) keys.emplace_back(f.name, f.sex, f.surnameLength);
  return keys;
}

// The share follows the store, as the window's does: a name removed there
// (by the window, or another tavrin-cli) leaves the page and takes no more
// votes; a name added there appears.
class StoreFollower {
 public:
  StoreFollower(FavouritesStore& store, sources::NameNotes& notes, std::vector<Favourite> favourites)
      : store_(store), notes_(notes), keys_(ListKeys(favourites)), favourites_(std::move(favourites)) {}

  share::SharedList List() { return share::SharedFavourites(notes_, favourites_); }
  std::size_t Count() const { return favourites_.size(); }

  // Reads the list again; true when it changed.
  bool Changed() {
    try {
      std::vector<Favourite> now = store_.List();
      auto keys = ListKeys(now);
      if (keys == keys_) return false;
      keys_ = std::move(keys);
      favourites_ = std::move(now);
      return true;
    } catch (const FavouritesError&) {
      return false;  // busy or gone for a moment: the next look tries again
    }
  }

 private:
  FavouritesStore& store_;
  sources::NameNotes& notes_;
  std::vector<std::tuple<GbkText, Sex, int>> keys_;
  std::vector<Favourite> favourites_;
};

// The kept names the share starts with; there must be some.
std::vector<Favourite> KeptNames(FavouritesStore& favourites) {
  std::vector<Favourite> kept;
  try {
    kept = favourites.List();
  } catch (const FavouritesError& error) {
    throw GbkError(error.what());
  }
  if (kept.empty()) throw CliError(Say("收藏里还没有名字,先收藏几个再请家人来选"));
  return kept;
}

// Where the family opens the page, and how the share ends.
void Announce(CliContext& context, const share::ShareServer& server, std::size_t names, const std::string& address) {
  context.PrintLine("正在分享 " + std::to_string(names) + " 个收藏的名字,家人用手机打开:");
  context.out << server.Url() << '\n';
  if (address == "0.0.0.0" || address == "::") {
    context.PrintLine("(在所有网络接口上分享:请把地址中的 " + address + " 换成本机在家庭网络中的地址)");
  }
  context.PrintLine("按 Ctrl+C 停止分享");
  context.out.flush();
}

// Shares the followed list, the votes kept in `storePath`, until one of
// `signals` (blocked) comes.
void ShareUntilSignalled(CliContext& context, const std::string& storePath, const share::ServerOptions& options,
                         StoreFollower& follower, const sigset_t& signals) {
  share::SqliteVoteBook book(storePath);
  share::ShareServer server(book, options);
  server.SetList(follower.List());
  server.Start();
  Announce(context, server, follower.Count(), options.address);
  // Ctrl+C or SIGTERM ends it; meanwhile the store's list is read again
  // every second.
  const timespec second{1, 0};
  for (;;) {
    const int received = sigtimedwait(&signals, nullptr, &second);
    if (received == SIGINT || received == SIGTERM) break;
    if (follower.Changed()) server.SetList(follower.List());
  }
  server.Stop();
  context.PrintLine("已停止分享,链接已失效");
}

int Serve(CliContext& context, const std::vector<std::string>& args) {
  std::optional<std::string> store, listen;
  ReadArguments(args, kUsage,
                {{"--store", Option::kValueOnce, Keep(store)}, {"--listen", Option::kValueOnce, Keep(listen)}});
  if (!store) Usage();
  share::ServerOptions options;
  if (listen) std::tie(options.address, options.port) = ParseListen(*listen);
  options.pageDir = context.Stores().dataDir + "share/";

  const DataStores& stores = context.Stores();
  sources::NameNotes notes(stores.dataDir, stores.advice);
  const std::unique_ptr<FavouritesStore> favourites = OpenStore(*store);
  StoreFollower follower(*favourites, notes, KeptNames(*favourites));

  // SIGINT and SIGTERM are waited for here, not delivered: blocked before
  // the server's threads start, so that they inherit the mask.
  sigset_t signals, previous;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  try {
    ShareUntilSignalled(context, *store, options, follower, signals);
  } catch (const share::ShareError& error) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    throw CliError(error.what());
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return 0;
}

constexpr const char* kFamilyUsage = "family list|remove MEMBER --store FILE [--json]";

// `family`: the members who have voted in the store's shares, with their
// number of votes; `remove` forgets one and their votes (a name someone
// made up, a member counted twice).
int Family(CliContext& context, const std::vector<std::string>& args) {
  std::optional<std::string> store;
  bool json = false;
  std::vector<std::string> words;
  ReadArguments(args, kFamilyUsage,
                {{"--store", Option::kValueOnce, Keep(store)}, {"--json", Option::kFlag, SetTrue(json)}},
                EveryArgument(words, false));
  const bool remove = words.size() == 2 && words[0] == "remove";
  if (!store || (!remove && !(words.size() == 1 && words[0] == "list"))) {
    throw CliError(UsageMessage(kFamilyUsage));
  }
  OpenStore(*store);
  try {
    share::SqliteVoteBook book(*store);
    if (remove) {
      if (!book.RemoveMember(words[1])) throw CliError(Say("收藏里没有称呼为“%1”的家人", {words[1]}));
      if (json) {
        context.out << nlohmann::json{{"removed", words[1]}}.dump(-1, ' ', false,
                                                                  nlohmann::json::error_handler_t::replace)
                    << '\n';
      } else {
        context.Print("已删除家人 ");
        context.out << EscapeForTerminal(words[1]);
        context.PrintLine(" 及其投票");
      }
      return 0;
    }
    const std::vector<share::Member> members = book.Members();
    if (json) {
      nlohmann::json list = nlohmann::json::array();
      for (const share::Member& m : members)
        list.push_back({{"name", m.name}, {"votes", m.votes}, {"joined", m.joined}});
      context.out << nlohmann::json{{"members", std::move(list)}}.dump(-1, ' ', false,
                                                                       nlohmann::json::error_handler_t::replace)
                  << '\n';
      return 0;
    }
    if (members.empty()) context.PrintLine("还没有家人投票");
    for (const share::Member& m : members) {
      context.out << EscapeForTerminal(m.name) << '\t';
      context.PrintLine(std::to_string(m.votes) + " 票");
    }
  } catch (const share::ShareError& error) {
    throw CliError(error.what());
  }
  return 0;
}

const Registrar kFamily({"family", kFamilyUsage + std::char_traits<char>::length("family "),
                         "分享中投过票的家人:列出,或删去一位及其投票", &Family});

const Registrar kServe({"serve", kUsage + std::char_traits<char>::length("serve "),
                        "请家人一起选:在家庭网络上分享收藏的名字,家人用手机打分、留言", &Serve});

}  // namespace
}  // namespace tavrin::cli
