// 三才: the elements of the heaven, person and earth grids and the reading of
// their combination, from the table "sancai.dat".
//
// "sancai.dat" holds one line per combination: the three element characters
// (heaven, person, earth), a tab, the verdict (大吉 吉 半吉 凶 大凶), a tab and
// one sentence of explanation; GBK, lines ending in CR LF or LF.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "chars/linelist.h"
#include "conventions/common_grids.h"
#include "conventions/element.h"

namespace tavrin::conventions {

// From best to worst.
enum class Verdict { kGreatFortune, kFortune, kHalfFortune, kMisfortune, kGreatMisfortune };

// "大吉", "吉", "半吉", "凶", "大凶" (GBK).
std::string_view VerdictText(Verdict verdict);

struct SancaiReading {
  Element heaven = Element::kMetal;
  Element person = Element::kMetal;
  Element earth = Element::kMetal;
  Verdict verdict = Verdict::kHalfFortune;
  std::string explanation;  // GBK
};

class SancaiTableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SancaiTable {
 public:
  // Every one of the 125 combinations once; throws SancaiTableError naming
  // the first line that breaks the format, or a combination that is missing.
  explicit SancaiTable(const LineList& lines);

  SancaiReading Read(Element heaven, Element person, Element earth) const;
  SancaiReading Read(const FiveGrids& grids) const;

 private:
  struct Entry {
    Verdict verdict = Verdict::kHalfFortune;
    std::string explanation;
    bool present = false;
  };
  std::array<Entry, 125> entries_;
};

}  // namespace tavrin::conventions
