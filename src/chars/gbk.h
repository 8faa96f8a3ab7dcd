// Basic handling of GBK byte strings: where characters start and end.
//
// A GBK text is a sequence of single-byte characters (ASCII) and double-byte
// characters whose first byte is a lead byte 0x81..0xFE. Every search in the
// program's texts is aligned to these character boundaries, so that the trail
// byte of one character and the lead byte of the next never form a match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

inline constexpr bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Length in bytes of the character starting at byte `pos` (1 or 2). A lead byte
// at the very end of the text stands alone and counts as one byte.
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  return (IsGbkLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
}

// True when the text is exactly one double-byte character.
inline bool IsDoubleByteChar(std::string_view ch) {
  return ch.size() == 2 && IsGbkLeadByte(static_cast<unsigned char>(ch[0]));
}

// Number of characters in the text.
std::size_t CharCount(std::string_view text);

// The text cut into its characters, each one or two bytes.
std::vector<std::string> SplitChars(std::string_view text);
// Its double-byte characters alone, every single byte left out.
std::vector<std::string> DoubleByteChars(std::string_view text);

// The given name of a full name whose first `surnameLength` characters are
// the surname; empty when nothing follows the surname. How long the surname
// is, is the advice tables' to say (advice::AdviceTables::SurnameLength knows
// the compound ones) or the naming run's that made the name.
std::string GivenName(std::string_view fullName, int surnameLength);

// The character at character index `index` (from 0), or empty when there is none.
std::string CharAt(std::string_view text, std::size_t index);

// Byte offset of the first occurrence of `needle` in `haystack` at or after
// byte `from` that starts on a character boundary of `haystack`; npos if none.
// An empty needle is found at `from` when `from` is within the text.
std::size_t FindAligned(std::string_view haystack, std::string_view needle, std::size_t from = 0);

inline bool ContainsAligned(std::string_view haystack, std::string_view needle) {
  return FindAligned(haystack, needle) != std::string_view::npos;
}

// The text with its single-byte ASCII letters upper- or lower-cased; the bytes
// of double-byte characters are never touched, even where they look like letters.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// The two bytes of a double-byte character as one 16-bit code (lead << 8 | trail).
inline constexpr std::uint16_t GbkCode(unsigned char lead, unsigned char trail) {
  return static_cast<std::uint16_t>(lead << 8 | trail);
}

// One value for every double-byte code (lead byte 0x81-0xFE with any trail
// byte; by GbkCode), worked out from the character's two bytes; 0 for every
// other code.
template <typename T, typename ValueOf>
std::vector<T> TableOfDoubleByteCodes(ValueOf valueOf) {
  std::vector<T> table(0x10000);
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      table[GbkCode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))] =
          static_cast<T>(valueOf(pair));
    }
  }
  return table;
}

// True for a double-byte GBK code that is a Chinese character (the hanzi
// blocks GB2312 rows 16-87, GBK/3 and GBK/4), not a symbol, a full-width
// letter or digit.
inline constexpr bool IsHanziCode(unsigned char lead, unsigned char trail) {
  if (trail == 0x7F) return false;
  if (lead >= 0xB0 && lead <= 0xF7) return trail >= 0xA1 && trail <= 0xFE;  // GB2312 hanzi
  if (lead >= 0x81 && lead <= 0xA0) return trail >= 0x40 && trail <= 0xFE;  // GBK/3
  if (lead >= 0xAA && lead <= 0xFE) return trail >= 0x40 && trail <= 0xA0;  // GBK/4
  return false;
}

// True when the text is exactly one Chinese character.
inline constexpr bool IsHanzi(std::string_view ch) {
  return ch.size() == 2 && IsHanziCode(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]));
}

}  // namespace tavrin
