// The filters and the order of the list of best names (the 精选 page and
// `generate --best`), over advice already made.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "advice/advice.h"

namespace tavrin::advice {

struct Filter {
  bool hideSerious = true;   // names with a serious warning
  bool levelOneOnly = true;  // only given characters of level 1
  // No given character of level 3 or outside the table (hard to type, not
  // shown everywhere); level 2, which holds popular name characters (霖 梓
  // 婷 琪 睿 …), stays.
  bool hideLevelThree = true;
  bool hideMild = false;   // names with any mild warning
  int minScore = -1000;    // the five-grid score at least this
  std::string leaveOut;    // characters (GBK) no given name may hold
  std::optional<Sex> sex;  // only the names advised for this sex
  // Only names with a character of the child's favourable elements (a name
  // not judged for a chart passes).
  bool onlyFitting = false;
};

// True when the name with its five-grid score passes the filter.
bool Passes(const Advice& advice, int score, const Filter& filter);

// The order of the list: 推荐度 (two names that both show 100, or 0, by the
// sum it was held from), then the five-grid score, all descending.
bool RanksBefore(const Advice& a, int scoreA, const Advice& b, int scoreB);

// The indexes of the `count` best names that pass the filter, in the list's
// order: the first `count` of the varied order of DiversityRounds (round 0,
// at most one name per first given character and two per last, then round
// 1 …), so that the list is as varied as the names that pass allow.
std::vector<std::size_t> SelectBest(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                    std::size_t count, const Filter& filter = {});

// The list's order made varied, for a whole page of names: for each name
// that passes, its round (0 for the best name of its first given character,
// 1 for the second best, …, and a name is put off a round for every two
// better names ending in its last character); -1 for a name that does not
// pass. A page
// ordered by round, then by RanksBefore, begins with the names of
// SelectBest.
std::vector<int> DiversityRounds(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                 const Filter& filter = {});

}  // namespace tavrin::advice
