#include "conventions/kangxi.h"

#include <array>
#include <cstdint>

namespace tavrin::conventions {
namespace {

constexpr int kLeadFirst = 0x81;
constexpr int kTrailFirst = 0x40;
constexpr int kRowLength = 191;  // trail bytes 0x40..0xFE

const std::uint8_t kKangxiTable[126 * kRowLength] = {
#include "kangxi_strokes.inc"
};

struct NumeralValue {
  std::string_view ch;
  int value;
};

constexpr std::array<NumeralValue, 14> kNumeralValues{{{"一", 1},
                                                       {"二", 2},
                                                       {"三", 3},
                                                       {"四", 4},
                                                       {"五", 5},
                                                       {"六", 6},
                                                       {"七", 7},
                                                       {"八", 8},
                                                       {"九", 9},
                                                       {"十", 10},
                                                       {"百", 6},
                                                       {"千", 3},
                                                       {"万", 15},
                                                       {"萬", 15}}};

}  // namespace

int KangxiStrokes(std::string_view text, Numerals numerals) {
  if (text.size() < 2) return 0;
  const int lead = static_cast<unsigned char>(text[0]);
  const int trail = static_cast<unsigned char>(text[1]);
  if (lead < kLeadFirst || lead > 0xFE || trail < kTrailFirst || trail > 0xFE) return 0;
  if (numerals == Numerals::kValues) {
    for (const NumeralValue& numeral : kNumeralValues) {
      if (text.substr(0, 2) == numeral.ch) return numeral.value;
    }
  }
  return kKangxiTable[(lead - kLeadFirst) * kRowLength + (trail - kTrailFirst)];
}

}  // namespace tavrin::conventions
