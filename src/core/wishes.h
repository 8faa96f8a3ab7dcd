// The family's wishes (FamilyWishes, core/child.h) read for judging the
// names of one baby: which names they leave out, and the lines they add to
// a name's 推荐度, each saying how the name meets a wish (docs/advice.md):
//   心愿 (a theme of meaning): +30 when both given characters carry it or
//     the pair is one of its words, +20 for one character, 0 for none;
//   辈分字 / 限定第2、3个字: a name without the character at its place is
//     left out;
//   避讳: a name holding an avoided character (or, when asked, one of the
//     same syllable without its tone) is left out;
//   the older sibling's name: -30 for the same sound (or the same name),
//     -12 for a character of the sibling's at the same place (fine, with no
//     points, when it is the kept character), -6 for one of the sibling's
//     characters at the other place, -6 for the same syllable at the same
//     place; +4, once, for the first thing the two names share: one line
//     of the classics both stand in, a radical, their build (both 叠字, or
//     the same structure of character at each place), a theme.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "advice/advice.h"
#include "core/child.h"

namespace tavrin {

class WishReading {
 public:
  // No wishes: nothing is left out, no line added.
  WishReading() = default;
  // The wishes of the baby of `surname` (a sibling's name typed with that
  // surname is read without it), over the advice tables' themes, radicals
  // and usual readings; the tables must outlive the reading.
  WishReading(const FamilyWishes& wishes, std::string_view surname, const advice::AdviceTables& tables);

  bool Empty() const { return wishes_.Empty(); }
  const FamilyWishes& Wishes() const { return wishes_; }

  struct Verdict {
    bool out = false;  // an avoided character, or a kept one missing
    std::vector<advice::Reason> reasons;
  };
  // The given name's characters (GBK).
  Verdict Judge(const std::vector<std::string>& given) const;
  // Whether a given name (GBK) meets a wish that a bank's name is offered
  // for whatever the baby's share of the bank: a kept character at its
  // place, or the theme.
  bool Reaches(std::string_view given) const;
  // Whether the given name begins with the character kept at the first
  // place: the family chose it, and the sound rule between it and the
  // surname does not refuse it.
  bool KeepsFirst(std::string_view given) const;

 private:
  void ThemeLine(const std::vector<std::string>& given, Verdict& verdict) const;
  void SiblingLines(const std::vector<std::string>& given, const std::vector<std::string>& sounds,
                    Verdict& verdict) const;
  // What the two names share, once: a line, a radical, the build, a theme;
  // of characters not both names hold.
  void SiblingMatch(const std::vector<std::string>& given, const std::string& call, Verdict& verdict) const;
  std::string SharedLine(const std::vector<std::string>& given) const;
  std::string SharedStructure(const std::vector<std::string>& given) const;
  bool Kept(std::string_view ch, std::size_t place) const;

  FamilyWishes wishes_;
  const advice::AdviceTables* tables_ = nullptr;
  const advice::Theme* theme_ = nullptr;
  std::vector<std::string> avoided_;        // the avoided characters
  std::vector<std::string> avoidedSounds_;  // toneless, one per avoided character
  std::vector<std::string> sibling_;        // the sibling's given characters
  std::vector<std::string> siblingSounds_;  // toneless
  // The themes the sibling's name carries, with its characters that carry each.
  std::vector<std::pair<const advice::Theme*, std::vector<std::string>>> siblingThemes_;
  std::string siblingLine_;  // the line the sibling's name comes from in the bank
  std::string siblingCall_;  // "哥哥 子涵"
};

// The wishes in one line of a parent's words (GBK), e.g.
// 家人心愿：聪慧；辈分字“德”在第一字；避讳 建 国（同音字也避开）；哥哥 子涵
// Empty without wishes.
std::string WishesSentence(const FamilyWishes& wishes);

// The sibling's given name: `name` without the baby's surname when it
// begins with it and is longer (GBK).
std::string SiblingGiven(std::string_view name, std::string_view surname);

}  // namespace tavrin
