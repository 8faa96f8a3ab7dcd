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

struct Range {
  char32_t first, last;
};

// Characters that show nothing, or change how the text around them reads:
// format characters (zero-width spaces and joiners, direction marks,
// embeddings, overrides and isolates, invisible operators, the byte order
// mark, tags), variation selectors, fillers and the blank Braille pattern,
// spaces other than the plain and the ideographic one, and private or
// non-characters, which show as nothing or as a box.
constexpr Range kInvisible[] = {
    {0x00A0, 0x00A0},   {0x00AD, 0x00AD},    {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x115F, 0x1160},
    {0x1680, 0x1680},   {0x17B4, 0x17B5},    {0x180B, 0x180F},   {0x2000, 0x200F},   {0x2028, 0x202F},
    {0x205F, 0x206F},   {0x2800, 0x2800},    {0x3164, 0x3164},   {0xE000, 0xF8FF},   {0xFDD0, 0xFDEF},
    {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},    {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0xFFFE, 0xFFFF},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD},  {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
    {0xE0000, 0xE0FFF}, {0xF0000, 0x10FFFF},
};

// What may turn a comment around: the direction marks, embeddings,
// overrides and isolates, and the byte order mark. Joiners and variation
// selectors stay (emoji are made of them).
constexpr Range kTurning[] = {
    {0x061C, 0x061C}, {0x200E, 0x200F}, {0x2028, 0x2029}, {0x202A, 0x202E}, {0x2066, 0x2069}, {0xFEFF, 0xFEFF},
};

template <std::size_t N>
bool In(const Range (&ranges)[N], char32_t cp) {
  for (const Range& r : ranges) {
    if (cp >= r.first && cp <= r.last) return true;
  }
  return false;
}

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

// Whether the text holds a control character (C0, DEL, C1) or one of
// `marks`; `allowLineBreaks` lets a comment keep its line breaks and tabs.
template <std::size_t N>
bool HasAny(std::string_view text, const Range (&marks)[N], bool allowLineBreaks) {
  for (std::size_t i = 0; i < text.size();) {
    const auto [cp, length] = Decode(text, i);
    if (length == 0) return true;
    i += length;
    if (allowLineBreaks && (cp == '\n' || cp == '\t')) continue;
    if (IsControl(cp) || In(marks, cp)) return true;
  }
  return false;
}

// Nothing in it but blanks (ASCII and U+3000).
bool AllBlank(std::string_view text) { return TrimBlanks(text).empty(); }

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
  if (member.empty() || AllBlank(member)) return "请先填写您的称呼（如 爷爷、奶奶、妈妈）";
  if (Utf8Length(member) > kMaxMemberCharacters) return "称呼最多 20 个字";
  if (HasAny(member, kInvisible, false)) return "称呼里有看不见或不能显示的字符";
  return std::nullopt;
}

std::optional<std::string> CheckComment(std::string_view comment) {
  if (!IsUtf8(comment)) return "留言含有无法识别的字符";
  if (Utf8Length(comment) > kMaxCommentCharacters) return "留言最多 500 个字";
  if (HasAny(comment, kTurning, true)) return "留言里有不能显示的字符";
  return std::nullopt;
}

std::optional<std::string> CheckRating(int rating) {
  if (rating < kMinVoteRating || rating > kMaxVoteRating) return "评分只能是 1 到 5 颗星";
  return std::nullopt;
}

}  // namespace tavrin::share
