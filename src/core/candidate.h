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

// Where a name comes from: the page of the generator or the command that made
// it, or one of the program's own lists.
enum class Origin : unsigned char {
  kNone,            // made by hand
  kSettings,        // 姓名设置, the summary pane's page
  kTwoChar,         // 二字名
  kThreeChar,       // 三字名
  kFiveElement,     // 部首有五行
  kRecommended,     // 系统推荐名
  kRecommendedTwo,  // 系统推荐名二
  kAnalysis,        // 姓名分析
  kPoetry,          // 诗歌取名
  kClassical,       // 典籍: a name of the classical library
  kCurated,         // 名库: a name of the team's list
};

// The caption that names an origin on screen, in a draw-cap note and in a
// kept favourite (GBK); empty for kNone.
std::string_view OriginCaption(Origin origin);

struct Candidate {
  std::string fullName;          // surname, then the given-name characters (GBK)
  std::size_t surnameBytes = 0;  // the surname's length in bytes
  // False for an entry shown without a score (the five-element pane's
  // two-character names); score, grids and elements are then unset.
  bool scored = true;
  int score = 0;
  FiveGrids grids;
  std::string nameElements;       // the element of each character of the full name (GBK)
  Origin origin = Origin::kNone;  // the generator that proposed it
  std::uint64_t acceptance = 0;   // its place in the order of acceptance, from 1; 0 when not handed over

  std::string_view Given() const { return std::string_view(fullName).substr(surnameBytes); }
  std::string_view Surname() const { return std::string_view(fullName).substr(0, surnameBytes); }
};

// The candidate as panes show it: the full name, "(", the score, ")"; an
// unscored entry is its full name alone.
std::string CandidateText(const Candidate& candidate);

}  // namespace tavrin
