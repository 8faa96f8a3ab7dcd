// A name that a generator proposes, as a value: the full name, where its
// given name starts, its score, grids and elements, which generator proposed
// it and when acceptance took it. Panes, the summary and the report keep
// candidates; their texts are made from them where they are shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scoring/score.h"

namespace tavrin {

struct Candidate {
  std::string fullName;          // surname, then the given-name characters (GBK)
  std::size_t surnameBytes = 0;  // the surname's length in bytes
  // False for an entry shown without a score (the five-element pane's
  // two-character names); score, grids and elements are then unset.
  bool scored = true;
  int score = 0;
  FiveGrids grids;
  std::string nameElements;      // the element of each character of the full name (GBK)
  std::string_view generator;    // the page caption of the generator that proposed it (GBK)
  std::uint64_t acceptance = 0;  // its place in the order of acceptance, from 1; 0 when not handed over

  std::string_view Given() const { return std::string_view(fullName).substr(surnameBytes); }
};

// The candidate as panes show it: the full name, "(", the score, ")"; an
// unscored entry is its full name alone.
std::string CandidateText(const Candidate& candidate);

}  // namespace tavrin
