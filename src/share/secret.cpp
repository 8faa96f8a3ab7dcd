#include "share/secret.h"

#include <sys/random.h>

#include <cerrno>
#include <vector>

#include "share/vote_book.h"

namespace tavrin::share {

std::string NewSecret(std::size_t bytes) {
  std::vector<unsigned char> random(bytes);
  for (std::size_t filled = 0; filled < bytes;) {
    const ssize_t got = ::getrandom(random.data() + filled, bytes - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ShareError("系统没有给出随机数，无法生成分享链接");
    }
    filled += static_cast<std::size_t>(got);
  }
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string text;
  unsigned bits = 0;
  int held = 0;
  for (unsigned char b : random) {
    bits = (bits << 8) | b;
    held += 8;
    while (held >= 6) {
      held -= 6;
      text += kAlphabet[(bits >> held) & 0x3F];
    }
  }
  if (held > 0) text += kAlphabet[(bits << (6 - held)) & 0x3F];
  return text;
}

bool SameSecret(std::string_view a, std::string_view b) {
  if (a.empty() || a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

}  // namespace tavrin::share
