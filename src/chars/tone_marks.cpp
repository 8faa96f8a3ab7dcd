#include "chars/tone_marks.h"

#include <array>
#include <cstdint>
#include <optional>

#include "chars/encoding.h"

namespace tavrin {

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr std::uint32_t kUmlautLower = 0x00FC;  // ü
constexpr std::uint32_t kUmlautUpper = 0x00DC;  // Ü
// Combining macron, acute, caron and grave: tones 1..4 on a letter without a
// precomposed form.
constexpr std::array<std::uint32_t, 4> kCombining = {0x0304, 0x0301, 0x030C, 0x0300};

struct MarkedLetter {
  std::uint32_t letter;
  std::array<std::uint32_t, 4> tones;  // 0: base letter and a combining mark
};

constexpr MarkedLetter kMarked[] = {
    {'a', {0x0101, 0x00E1, 0x01CE, 0x00E0}},
    {'A', {0x0100, 0x00C1, 0x01CD, 0x00C0}},
    {'e', {0x0113, 0x00E9, 0x011B, 0x00E8}},
    {'E', {0x0112, 0x00C9, 0x011A, 0x00C8}},
    {'i', {0x012B, 0x00ED, 0x01D0, 0x00EC}},
    {'I', {0x012A, 0x00CD, 0x01CF, 0x00CC}},
    {'o', {0x014D, 0x00F3, 0x01D2, 0x00F2}},
    {'O', {0x014C, 0x00D3, 0x01D1, 0x00D2}},
    {'u', {0x016B, 0x00FA, 0x01D4, 0x00F9}},
    {'U', {0x016A, 0x00DA, 0x01D3, 0x00D9}},
    {kUmlautLower, {0x01D6, 0x01D8, 0x01DA, 0x01DC}},
    {kUmlautUpper, {0x01D5, 0x01D7, 0x01D9, 0x01DB}},
    {'n', {0, 0x0144, 0x0148, 0x01F9}},
    {'N', {0, 0x0143, 0x0147, 0x01F8}},
    {'m', {0, 0x1E3F, 0, 0}},
    {'M', {0, 0x1E3E, 0, 0}},
};

void AppendMarked(std::string& out, std::uint32_t letter, int tone) {
  for (const MarkedLetter& marked : kMarked) {
    if (marked.letter != letter) continue;
    const std::uint32_t precomposed = marked.tones[static_cast<std::size_t>(tone - 1)];
    if (precomposed != 0) {
      AppendUtf8(out, precomposed);
      return;
    }
    break;
  }
  AppendUtf8(out, letter);
  AppendUtf8(out, kCombining[static_cast<std::size_t>(tone - 1)]);
}

std::uint32_t Lower(std::uint32_t letter) {
  if (letter >= 'A' && letter <= 'Z') return letter - 'A' + 'a';
  return letter == kUmlautUpper ? kUmlautLower : letter;
}

bool IsVowel(std::uint32_t letter) {
  const std::uint32_t lower = Lower(letter);
  return lower == 'a' || lower == 'e' || lower == 'i' || lower == 'o' || lower == 'u' || lower == kUmlautLower;
}

// The index of the letter that carries the mark, or -1.
int MarkIndex(const std::u32string& letters) {
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::uint32_t lower = Lower(letters[i]);
    if (lower == 'a' || lower == 'e') return static_cast<int>(i);
  }
  for (std::size_t i = 0; i + 1 < letters.size(); ++i) {
    if (Lower(letters[i]) == 'o' && Lower(letters[i + 1]) == 'u') return static_cast<int>(i);
  }
  for (std::size_t i = letters.size(); i-- > 0;) {
    if (IsVowel(letters[i])) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::uint32_t lower = Lower(letters[i]);
    if (lower == 'n' || lower == 'm') return static_cast<int>(i);
  }
  return -1;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A syllable: ASCII letters (u: also stands for ü) and at most one trailing digit.
bool IsSyllable(std::string_view item) {
  if (item.empty() || !IsAsciiLetter(item[0])) return false;
  for (std::size_t i = 0; i < item.size(); ++i) {
    const char c = item[i];
    const bool last = i + 1 == item.size();
    if (IsAsciiLetter(c) || c == ':') continue;
    if (last && c >= '0' && c <= '9') continue;
    return false;
  }
  return true;
}

void AppendSyllable(std::string& out, std::string_view syllable) {
  int tone = 0;
  if (const char last = syllable.back(); last >= '0' && last <= '9') {
    tone = last - '0';
    syllable.remove_suffix(1);
  }
  std::u32string letters;
  for (std::size_t i = 0; i < syllable.size(); ++i) {
    const char c = syllable[i];
    if (c == ':') continue;
    const bool umlaut = c == 'v' || c == 'V' || (i + 1 < syllable.size() && syllable[i + 1] == ':');
    if (umlaut) {
      letters += static_cast<char32_t>((c == 'v' || c == 'u') ? kUmlautLower : kUmlautUpper);
    } else {
      letters += static_cast<char32_t>(c);
    }
  }
  const int mark = tone >= 1 && tone <= 4 ? MarkIndex(letters) : -1;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    if (static_cast<int>(i) == mark) {
      AppendMarked(out, letters[i], tone);
    } else {
      AppendUtf8(out, letters[i]);
    }
  }
}

}  // namespace

std::string PinyinWithToneMarks(std::string_view pinyinOf) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= pinyinOf.size()) {
    std::size_t blank = pinyinOf.find(' ', pos);
    if (blank == std::string_view::npos) blank = pinyinOf.size();
    const std::string_view item = pinyinOf.substr(pos, blank - pos);
    if (IsSyllable(item)) {
      AppendSyllable(out, item);
    } else {
      out += GbkToUtf8(item);
    }
    if (blank == pinyinOf.size()) break;
    out += ' ';
    pos = blank + 1;
  }
  return out;
}

std::string PinyinWithToneMarksGbk(std::string_view pinyinOf, bool* exact) {
  const std::string utf8 = PinyinWithToneMarks(pinyinOf);
  std::optional<std::string> gbk = Utf8ToGbk(utf8);
  if (exact) *exact = gbk.has_value();
  return gbk ? std::move(*gbk) : Utf8ToGbkLossy(utf8);
}

}  // namespace tavrin
