#include "chars/hzspell_tables.h"

#include <cstddef>
#include <iterator>

namespace tavrin {

#include "hzspell_tables.inc"

// The generated table holds the empty entry 0 and every numbered syllable.
static_assert(std::size(SyllableTable) == static_cast<std::size_t>(kSyllableCount) + 1);

std::string_view SyllableOfCell(unsigned char lead, unsigned char trail) {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return {};
  const int number = GbkSyllableIndex[(lead - 0x81) * kGbkSyllableRowLength + (trail - 0x40)];
  if (number > kSyllableCount) return {};
  return SyllableTable[number];
}

}  // namespace tavrin
