// Helpers of the sharing tests: a favourites store in a folder of its own, a
// server over it on 127.0.0.1, and raw HTTP exchanges with it (raw, so that
// a test can send what no HTTP library would).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "favourites/store.h"
#include "share/server.h"
#include "share/vote_book.h"

namespace tavrin::share::test {

inline std::string PageDir() {
  const char* source = std::getenv("TAVRIN_SOURCE_DIR");
  return std::string(source ? source : ".") + "/data/share/";
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-share-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline SharedName Shared(const std::string& name, const std::string& sex = "female") {
  SharedName n;
  n.name = name;
  n.sex = sex;
  n.pinyin = "wáng xiù lín";
  n.recommend = 80;
  n.meanings = {"秀:美好、出众"};
  n.source = "《诗经》:有秀其林";
  n.warnings = {{"读音与“王秀林”相近的名人", false}};
  return n;
}

// A favourites store, its vote book and a server sharing `list`.
struct Sharing {
  explicit Sharing(const SharedList& list, ServerOptions options = {}) {
    storePath = dir.Path() + "/favourites.db";
    FavouritesStore store(storePath);  // a new, empty store
    book = std::make_unique<SqliteVoteBook>(storePath);
    options.pageDir = PageDir();
    server = std::make_unique<ShareServer>(*book, options);
    server->SetList(list);
    server->Start();
  }
  std::string Path(const std::string& rest) const { return "/" + server->Secret() + rest; }

  TempDir dir;
  std::string storePath;
  std::unique_ptr<SqliteVoteBook> book;
  std::unique_ptr<ShareServer> server;
};

struct Reply {
  int status = 0;                              // 0: the server closed the connection without a reply
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

inline int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// True when `data` holds a whole reply: its head and as much body as its
// Content-Length says (none when it says nothing).
inline bool Whole(const std::string& data) {
  const std::size_t end = data.find("\r\n\r\n");
  if (end == std::string::npos) return false;
  std::string head = data.substr(0, end);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t length = head.find("\r\ncontent-length:");
  return data.size() >=
         end + 4 + (length == std::string::npos ? 0 : std::strtoul(head.c_str() + length + 17, nullptr, 10));
}

// Reads until a whole reply came, the server closes or `timeout` passes;
// "" when nothing came.
inline std::string ReadAll(int fd, std::chrono::milliseconds timeout) {
  std::string data;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[65536];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
    if (Whole(data)) break;
  }
  return data;
}

inline Reply Parse(const std::string& data) {
  Reply reply;
  const std::size_t end = data.find("\r\n\r\n");
  if (data.rfind("HTTP/1.1 ", 0) != 0 || end == std::string::npos) return reply;
  reply.status = std::atoi(data.c_str() + 9);
  std::size_t line = data.find("\r\n") + 2;
  while (line < end) {
    const std::size_t next = data.find("\r\n", line);
    const std::string text = data.substr(line, next - line);
    const std::size_t colon = text.find(':');
    std::string name = text.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    reply.headers[name] = text.substr(text.find_first_not_of(' ', colon + 1));
    line = next + 2;
  }
  reply.body = data.substr(end + 4);
  return reply;
}

// Sends `request` as it is on a new connection and reads the reply; every
// request asks for the connection to be closed, so the reply ends there.
inline Reply Exchange(int port, const std::string& request,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
  const int fd = Connect(port);
  if (fd < 0) return {};
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;  // the server may refuse before it has read it all
    sent += static_cast<std::size_t>(n);
  }
  const std::string data = ReadAll(fd, timeout);
  ::close(fd);
  return Parse(data);
}

inline std::string Get(const std::string& path) {
  return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
}

inline std::string Post(const std::string& path, const std::string& body,
                        const std::string& type = "application/json") {
  return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace tavrin::share::test
