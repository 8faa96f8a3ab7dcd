#include "chars/gbk.h"

namespace tavrin {

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) ++count;
  return count;
}

std::vector<std::string> SplitChars(std::string_view text) {
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLengthAt(text, pos);
    chars.emplace_back(text.substr(pos, len));
    pos += len;
  }
  return chars;
}

std::vector<std::string> DoubleByteChars(std::string_view text) {
  std::vector<std::string> chars;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLengthAt(text, pos);
    if (len == 2) chars.emplace_back(text.substr(pos, len));
    pos += len;
  }
  return chars;
}

std::string GivenName(std::string_view fullName, int surnameLength) {
  if (surnameLength < 1) return {};
  std::size_t pos = 0;
  for (int i = 0; i < surnameLength && pos < fullName.size(); ++i) pos += CharLengthAt(fullName, pos);
  return std::string(fullName.substr(pos));
}

std::string CharAt(std::string_view text, std::size_t index) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLengthAt(text, pos);
    if (index == 0) return std::string(text.substr(pos, len));
    --index;
    pos += len;
  }
  return {};
}

namespace {

std::string MapAsciiLetters(std::string_view text, char from, char to) {
  std::string mapped(text);
  for (std::size_t pos = 0; pos < mapped.size();) {
    const std::size_t len = CharLengthAt(mapped, pos);
    if (len == 1 && mapped[pos] >= from && mapped[pos] <= from + 25)
      mapped[pos] = static_cast<char>(mapped[pos] - from + to);
    pos += len;
  }
  return mapped;
}

}  // namespace

std::string AsciiUpper(std::string_view text) { return MapAsciiLetters(text, 'a', 'A'); }

std::string AsciiLower(std::string_view text) { return MapAsciiLetters(text, 'A', 'a'); }

std::size_t FindAligned(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (from > haystack.size()) return std::string_view::npos;
  // Walk the character boundaries from the start: a boundary depends on every
  // byte before it, so `from` itself is first moved onto a boundary.
  std::size_t pos = 0;
  while (pos < from) pos += CharLengthAt(haystack, pos);
  while (true) {
    const std::size_t hit = haystack.find(needle, pos);
    if (hit == std::string_view::npos) return hit;
    while (pos < hit) pos += CharLengthAt(haystack, pos);
    if (pos == hit) return hit;
    // `hit` was inside a character; continue from the next boundary.
  }
}

}  // namespace tavrin
