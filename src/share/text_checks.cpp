#include "share/text_checks.h"

namespace tavrin::share {
namespace {

// The code point that starts at text[i], and its length; length 0 when the
// bytes there are no well-formed UTF-8.
std::pair<char32_t, std::size_t> Decode(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t cp;
  char32_t least;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (i + length > text.size()) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {0, 0};
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
  return {cp, length};
}

// Control characters (C0, DEL, C1) and the marks that turn text around
// (bidirectional overrides and isolates), which could make a name read as
// another; `allowLineBreaks` lets a comment keep its line breaks and tabs.
bool HasControl(std::string_view text, bool allowLineBreaks) {
  for (std::size_t i = 0; i < text.size();) {
    const auto [cp, length] = Decode(text, i);
    if (length == 0) return true;
    i += length;
    if (allowLineBreaks && (cp == '\n' || cp == '\t')) continue;
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || (cp >= 0x202A && cp <= 0x202E) ||
        (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Decode(text, i).second;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

std::string TrimBlanks(std::string_view text) {
  constexpr std::string_view kIdeographicSpace = "\u3000";
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    } else if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
      text.remove_suffix(1);
    } else if (text.starts_with(kIdeographicSpace)) {
      text.remove_prefix(kIdeographicSpace.size());
    } else if (text.ends_with(kIdeographicSpace)) {
      text.remove_suffix(kIdeographicSpace.size());
    } else {
      return std::string(text);
    }
  }
}

std::optional<std::string> CheckMember(std::string_view member) {
  if (!IsUtf8(member)) return "称呼含有无法识别的字符";
  if (member.empty()) return "请先填写您的称呼（如 爷爷、奶奶、妈妈）";
  if (Utf8Length(member) > kMaxMemberCharacters) return "称呼最多 20 个字";
  if (HasControl(member, false)) return "称呼里有不能显示的字符";
  return std::nullopt;
}

std::optional<std::string> CheckComment(std::string_view comment) {
  if (!IsUtf8(comment)) return "留言含有无法识别的字符";
  if (Utf8Length(comment) > kMaxCommentCharacters) return "留言最多 500 个字";
  if (HasControl(comment, true)) return "留言里有不能显示的字符";
  return std::nullopt;
}

std::optional<std::string> CheckRating(int rating) {
  if (rating < kMinVoteRating || rating > kMaxVoteRating) return "评分只能是 1 到 5 颗星";
  return std::nullopt;
}

}  // namespace tavrin::share
