// `serve`: shares the favourites of a store with the family, without a
// window: the family's page on this computer's network, until Ctrl+C (or
// SIGTERM) ends it. It listens on 127.0.0.1 unless told an address.
#include <arpa/inet.h>
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

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

// The favourites of the store, which must be writable (the votes are kept
// there) and hold at least one name.
std::vector<Favourite> KeptFavourites(const std::string& path) {
  std::vector<Favourite> favourites;
  try {
    FavouritesStore favouritesStore(path);
    if (favouritesStore.ReadOnly()) {
      throw CliError(Say("收藏文件“%1”只能读,无法记录家人的投票", {path}));
    }
    favourites = favouritesStore.List();
  } catch (const FavouritesError& error) {
    throw GbkError(error.what());
  }
  if (favourites.empty()) throw CliError(Say("收藏里还没有名字,先收藏几个再请家人来选"));
  return favourites;
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
  const share::SharedList list = share::SharedFavourites(notes, KeptFavourites(*store));

  // SIGINT and SIGTERM are waited for here, not delivered: blocked before
  // the server's threads start, so that they inherit the mask.
  sigset_t signals, previous;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, &previous);
  try {
    share::SqliteVoteBook book(*store);
    share::ShareServer server(book, options);
    server.SetList(list);
    server.Start();
    context.PrintLine("正在分享 " + std::to_string(list.names.size()) + " 个收藏的名字,家人用手机打开:");
    context.out << server.Url() << '\n';
    if (options.address == "0.0.0.0" || options.address == "::") {
      context.PrintLine("(在所有网络接口上分享:请把地址中的 " + options.address + " 换成本机在家庭网络中的地址)");
    }
    context.PrintLine("按 Ctrl+C 停止分享");
    context.out.flush();
    int received = 0;
    while (sigwait(&signals, &received) != 0) {
    }
    server.Stop();
    context.PrintLine("已停止分享,链接已失效");
  } catch (const share::ShareError& error) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    throw CliError(error.what());
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return 0;
}

const Registrar kServe({"serve", kUsage + std::char_traits<char>::length("serve "),
                        "请家人一起选:在家庭网络上分享收藏的名字,家人用手机打分、留言", &Serve});

}  // namespace
}  // namespace tavrin::cli
