// Small text operations on GBK strings: cutting at markers and telling
// Chinese text from other text.
//
// Positions count bytes from 1; 0 means "not found". Every search is a
// byte-wise substring search that may only match where a character starts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

class TStringCollection {
 public:
  // ASCII letters upper-cased; double-byte characters are left untouched.
  std::string UpperText(std::string_view text) const;
  // Position (from 1) of the first occurrence of `marker` in `text` at or after
  // byte `start` (0 or 1: the whole text), or 0. An empty marker is never found.
  int FindMarker(std::string_view marker, std::string_view text, bool ignoreCase, int start) const;
  // The part of `text` behind the first `marker`; empty when there is none.
  std::string TextAfter(std::string_view marker, std::string_view text, int start = 0) const;
  // The part of `text` before the first `marker`; the whole text when there is none.
  std::string TextBefore(std::string_view marker, std::string_view text, int start = 0) const;
  // True when the text holds a double-byte character and is not just one of
  // the six full-width marks ，。？！；：
  bool IsChineseText(std::string_view text) const;
};

// The one shared instance every caller uses.
const TStringCollection& SharedStrings();

inline std::string TextAfter(std::string_view marker, std::string_view text) {
  return SharedStrings().TextAfter(marker, text);
}
inline std::string TextBefore(std::string_view marker, std::string_view text) {
  return SharedStrings().TextBefore(marker, text);
}
inline bool IsChineseText(std::string_view text) { return SharedStrings().IsChineseText(text); }

// A decimal integer as the program's number fields must hold it: an optional
// sign and decimal digits, nothing else (no blanks), within int.
std::optional<int> ParseDecimalInteger(std::string_view text);

}  // namespace tavrin
