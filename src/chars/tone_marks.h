// Pinyin with tone marks, for showing a name's reading to people rather than
// to the sound rules: Zhang1 Wei3 Ming2 becomes Zhāng Wěi Míng.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// The text of PinyinOf (GBK: syllables of ASCII letters and a tone digit,
// separated by blanks, with any character without pinyin standing for
// itself) as UTF-8 with the tone as a mark: on a or e; on the o of ou;
// otherwise on the last vowel (so liu2 gives liú and gui4 guì); on n or m in
// a syllable without vowels (ng4 gives ǹg). v stands for ü (lv3 gives lǚ).
// Tones 1..4 are marked; a neutral tone (0 or 5) or any other digit drops
// the digit and marks nothing. The result is UTF-8 because capital vowels
// with tone marks (Ān) lie outside GBK.
std::string PinyinWithToneMarks(std::string_view pinyinOf);

// The same as GBK, for a reading shown beside the core's texts: a mark GBK
// lacks (a capital, ḿ) becomes "?", and `exact`, when given, tells whether
// none did.
std::string PinyinWithToneMarksGbk(std::string_view pinyinOf, bool* exact = nullptr);

}  // namespace tavrin
