// Stroke counts as the naming books count them: by the 康熙字典, the
// traditional form of a character with its radical written in full (氵 as 水
// 4, 艹 as 艸 6, 阝 as 阜 8 or 邑 7, 王 as 玉 5, 月 as 肉 6 where it is flesh),
// so 江 7, 陈 (陳) 16, 郭 15, 玲 10, 胡 11, 誉 (譽) 21.
#pragma once

#include <string_view>

namespace tavrin::conventions {

// With numeral values, 一 to 十 count 1 to 10, 百 6, 千 3 and 万 (萬) 15,
// the value of the numeral rather than its strokes.
enum class Numerals { kStrokes, kValues };

// The count of the first character of a GBK text; 0 when it is no hanzi.
int KangxiStrokes(std::string_view text, Numerals numerals = Numerals::kStrokes);

}  // namespace tavrin::conventions
