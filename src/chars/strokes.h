// Stroke counts of Chinese characters and the simplified/traditional forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// One byte per cell of the GB2312 hanzi area: 72 rows (lead 0xB0..0xF7) of
// 94 cells (trail 0xA1..0xFE); 0 marks a cell without a count.
inline constexpr int kStrokeTableSize = 72 * 94;
extern const std::uint8_t StrokeTable[kStrokeTableSize];

// Table value (0..30) of the first character of the text; 0 when it has no cell.
int StrokeLookup(std::string_view text);
// Stroke count (1..30) of the first character: its own cell, else the cell of
// its simplified form, else 5.
int StrokeCount(std::string_view text);

// Every character replaced by its simplified / traditional form where it has
// one; other characters, ASCII and punctuation pass unchanged.
std::string ToSimplified(std::string_view text);
std::string ToTraditional(std::string_view text);

}  // namespace tavrin
