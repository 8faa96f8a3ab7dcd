// Pinyin of Chinese characters from the pinyin index file "yq.dat", and the
// rules on sound derived from it: initial, final, the similar-sound check of
// a pair of characters, the tone and the tone pattern of a name.
//
// "yq.dat" starts with a table of 32-bit little-endian file positions, one per
// cell of the GB2312 code area (lead and trail bytes 0xA1..0xFE, rows
// 0xA1..0xF7) in row order, plus one more entry that ends the last record. A
// character's record runs from its entry to the next entry: one separator
// byte, then the pinyin text (lower-case letters and a tone digit).
//
// The functions in namespace `scan` read the raw file bytes and the group
// lines directly on every call; they are the reference. PinyinService
// precomputes the same results per character once, for the naming run's hot
// path, and gives identical answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chars/linelist.h"

namespace tavrin {

// The GB2312 code area covered by the file's table: 87 rows of 94 cells.
inline constexpr int kPinyinCellCount = 87 * 94;

// The cell (0 .. kPinyinCellCount-1) of a two-byte character, or -1 when the
// character lies outside the table.
inline int PinyinCell(unsigned char lead, unsigned char trail) {
  if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return -1;
  return (lead - 0xA1) * 94 + (trail - 0xA1);
}

// How a group line is searched for an initial or a final. kSubstring finds
// the part anywhere in the line, so "ang" is held by the line of "iang" and
// "h" by the line of "zh": the rule of every run by default. kWholeItem finds
// it only as one of the line's comma-separated items, so fewer pairs clash.
enum class SoundRule { kSubstring, kWholeItem };

namespace scan {

// The pinyin text of the record of `cell` (as stored: lower-case, with its
// tone digit), or false when the character has no pinyin. A record whose
// positions lie outside the buffer, or whose end lies before its start, has
// none: a corrupt or truncated file is never read out of bounds.
bool ReadPinyinRecord(std::string_view pinyinIndex, int cell, std::string& pinyin);

// Every Chinese character of the text as its pinyin (first letter upper-cased,
// with the tone digit), syllables separated by single blanks; other bytes are
// copied. A character without pinyin stands for itself.
std::string PinyinOf(std::string_view pinyinIndex, std::string_view text);
// "zh", "ch", "sh" or the first byte of the lower-cased pinyin.
std::string InitialOf(std::string_view pinyinIndex, std::string_view ch);
// The lower-cased pinyin behind the initial, without its tone digit.
std::string FinalOf(std::string_view pinyinIndex, std::string_view ch);
// True when a and b do not sound alike: no group line holds both initials and
// no group line holds both finals. `reason`, when given, receives the text of
// the last clash found (empty when there is none).
bool SoundCheck(std::string_view pinyinIndex, const LineList& initialGroups, const LineList& finalGroups,
                std::string_view a, std::string_view b, std::string* reason = nullptr,
                SoundRule rule = SoundRule::kSubstring);
// The last byte of the pinyin read as a digit; 1 when it is not one.
int ToneOf(std::string_view pinyinIndex, std::string_view ch);
// The tone pattern of a name of two or three characters; true for any other
// number of characters.
bool ToneCheck(std::string_view pinyinIndex, std::string_view name);

}  // namespace scan

// Pieces of the rules that work on a pinyin text already looked up; shared by
// the reference scans and the precomputed service.
namespace pinyin_rules {

// ASCII letters lower-cased; double-byte characters are left untouched.
std::string LowerText(std::string_view text);
// A syllable as PinyinOf shows it: a leading lower-case letter upper-cased
// ("zeng1" gives "Zeng1").
std::string ShownSyllable(std::string_view record);
// The initial of a lower-cased pinyin text.
std::string InitialOfPinyin(std::string_view lowerPinyin);
// The final of a lower-cased pinyin text with the given initial.
std::string FinalOfPinyin(std::string_view lowerPinyin, std::string_view initial);
// The tone of a pinyin text: its last byte as a digit, else 1.
int ToneOfPinyin(std::string_view pinyin);
// True when the line holds the part under the rule; an empty part is held by
// no line.
bool GroupHolds(std::string_view line, std::string_view part, SoundRule rule = SoundRule::kSubstring);
// The reason text of a clash of initials / of finals.
std::string InitialClashReason(std::string_view ia, std::string_view ib, std::string_view a, std::string_view b);
std::string FinalClashReason(std::string_view fa, std::string_view fb, std::string_view a, std::string_view b);
// The tone pattern rule on the tones of a name's characters.
bool TonesAcceptable(const std::vector<int>& tones);

}  // namespace pinyin_rules

// The pinyin lookups and sound rules, precomputed for every cell of the table
// from the file bytes and the group lines it is built from. Built once at
// start-up; afterwards every query on a single character costs a table
// lookup. Texts that are not one character of the table are answered by the
// same rules on the precomputed pinyin.
class PinyinService {
 public:
  // One side of a sound check looked up once: the text a reason names, its
  // initial and final, and the group lines that hold them (bit i for line
  // i, by SoundRule), for a text checked against many characters.
  struct Sounds {
    std::string text;
    std::string initial;
    std::string final;
    std::uint32_t initialMasks[2] = {};
    std::uint32_t finalMasks[2] = {};
  };

  PinyinService(std::string_view pinyinIndex, LineList initialGroups, LineList finalGroups);

  std::string PinyinOf(std::string_view text) const;
  std::string InitialOf(std::string_view ch) const;
  std::string FinalOf(std::string_view ch) const;
  bool SoundCheck(std::string_view a, std::string_view b, std::string* reason = nullptr) const {
    return SoundCheck(SoundRule::kSubstring, a, b, reason);
  }
  bool SoundCheck(SoundRule rule, std::string_view a, std::string_view b, std::string* reason = nullptr) const;
  // The sounds of `text` read as `pinyin` (in PinyinOf's form, "Zeng1" or
  // "Yu4 Chi2"), which need not be the index's reading of it: a surname is
  // heard in its own reading. SoundsOf(a, PinyinOf(a)) checks as a does.
  Sounds SoundsOf(std::string_view text, std::string_view pinyin) const;
  // SoundCheck of a side looked up already and the text b.
  bool SoundCheck(SoundRule rule, const Sounds& a, std::string_view b, std::string* reason = nullptr) const;
  int ToneOf(std::string_view ch) const;
  bool ToneCheck(std::string_view name) const;

 private:
  struct CellSounds {
    std::string item;     // what PinyinOf appends for the character: its pinyin or itself
    std::string initial;  // InitialOf
    std::string final;    // FinalOf
  };

  // The cell of a text that is exactly one character of the table, else -1.
  static int CellOf(std::string_view text);
  // Group masks of any initial or final: bit i set when line i holds it.
  static std::uint32_t GroupMask(const LineList& groups, std::string_view part, SoundRule rule);
  bool SoundCheckTexts(SoundRule rule, std::string_view a, std::string_view b, std::string_view ia, std::string_view ib,
                       std::string_view fa, std::string_view fb, std::string* reason) const;

  LineList initialGroups_;
  LineList finalGroups_;
  // True when both group lists fit the 32-bit masks.
  bool masksUsable_ = false;
  std::vector<CellSounds> cells_;
  // Hot data of the sound check and the tones, one entry per cell; the masks
  // by rule (SoundRule as index).
  std::vector<std::uint32_t> initialMasks_[2];
  std::vector<std::uint32_t> finalMasks_[2];
  std::vector<std::uint8_t> tones_;
};

}  // namespace tavrin
