#include "chars/strcon.h"

#include <array>
#include <charconv>
#include <limits>

#include "chars/gbk.h"

namespace tavrin {

std::string TStringCollection::UpperText(std::string_view text) const { return AsciiUpper(text); }

int TStringCollection::FindMarker(std::string_view marker, std::string_view text, bool ignoreCase, int start) const {
  // A start of 0 or 1 searches the whole text; a start past the end finds nothing.
  const std::size_t from = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  // An empty marker is never found, as with the platform's own position search.
  if (marker.empty() || from > text.size()) return 0;
  std::size_t hit;
  if (ignoreCase) {
    const std::string upperText = UpperText(text);
    hit = FindAligned(upperText, UpperText(marker), from);
  } else {
    hit = FindAligned(text, marker, from);
  }
  return hit == std::string_view::npos ? 0 : static_cast<int>(hit + 1);
}

std::string TStringCollection::TextAfter(std::string_view marker, std::string_view text, int start) const {
  const int pos = FindMarker(marker, text, false, start);
  if (pos == 0) return {};
  return std::string(text.substr(static_cast<std::size_t>(pos) - 1 + marker.size()));
}

std::string TStringCollection::TextBefore(std::string_view marker, std::string_view text, int start) const {
  const int pos = FindMarker(marker, text, false, start);
  if (pos == 0) return std::string(text);
  return std::string(text.substr(0, static_cast<std::size_t>(pos) - 1));
}

bool TStringCollection::IsChineseText(std::string_view text) const {
  bool qualifies = false;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
    if (IsGbkLeadByte(static_cast<unsigned char>(text[pos]))) {
      qualifies = true;
      break;
    }
  }
  if (!qualifies) return false;
  static constexpr std::array<std::string_view, 6> kMarks = {"，", "。", "？", "！", "；", "："};
  for (std::string_view mark : kMarks) {
    if (text == mark) return false;
  }
  return true;
}

const TStringCollection& SharedStrings() {
  static const TStringCollection instance;
  return instance;
}

std::optional<int> ParseDecimalInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // from_chars would take a second sign; only digits may follow.
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace tavrin
