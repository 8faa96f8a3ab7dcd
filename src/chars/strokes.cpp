#include "chars/strokes.h"

#include <array>
#include <memory>

#include "chars/gbk.h"

namespace tavrin {

const std::uint8_t StrokeTable[kStrokeTableSize] = {
#include "stroke_table.inc"
};

namespace {

struct FormPair {
  std::uint16_t simplified;
  std::uint16_t traditional;
};

// Simplified -> traditional pairs, one-to-one, in GBK codes.
constexpr FormPair kFormPairs[] = {
#include "char_forms.inc"
};

// Direct maps over every 16-bit GBK code, built once: a code maps to its other
// form, or 0 when it has none.
struct FormMaps {
  std::array<std::uint16_t, 0x10000> toTraditional{};
  std::array<std::uint16_t, 0x10000> toSimplified{};
  FormMaps() {
    for (const FormPair& pair : kFormPairs) {
      toTraditional[pair.simplified] = pair.traditional;
      toSimplified[pair.traditional] = pair.simplified;
    }
  }
};

const FormMaps& Maps() {
  static const auto maps = std::make_unique<FormMaps>();
  return *maps;
}

std::string MapForms(std::string_view text, const std::array<std::uint16_t, 0x10000>& map) {
  // The mapping reads the text up to a zero byte, as a C string.
  std::string result(text.substr(0, text.find('\0')));
  for (std::size_t pos = 0; pos < result.size();) {
    const std::size_t len = CharLengthAt(result, pos);
    if (len == 2) {
      const std::uint16_t code =
          GbkCode(static_cast<unsigned char>(result[pos]), static_cast<unsigned char>(result[pos + 1]));
      if (const std::uint16_t other = map[code]) {
        result[pos] = static_cast<char>(other >> 8);
        result[pos + 1] = static_cast<char>(other & 0xFF);
      }
    }
    pos += len;
  }
  return result;
}

}  // namespace

int StrokeLookup(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0xB0 || lead > 0xF7) return 0;
  if (text.size() < 2) return 0;
  const auto trail = static_cast<unsigned char>(text[1]);
  if (trail < 0xA1 || trail == 0xFF) return 0;
  return StrokeTable[(lead - 0xB0) * 94 + (trail - 0xA1)];
}

int StrokeCount(std::string_view text) {
  if (const int own = StrokeLookup(text)) return own;
  // Only the first character counts, so only it needs its simplified form.
  const std::string_view first = text.substr(0, text.empty() ? 0 : CharLengthAt(text, 0));
  if (const int simplified = StrokeLookup(ToSimplified(first))) return simplified;
  return 5;
}

std::string ToSimplified(std::string_view text) { return MapForms(text, Maps().toSimplified); }

std::string ToTraditional(std::string_view text) { return MapForms(text, Maps().toTraditional); }

}  // namespace tavrin
