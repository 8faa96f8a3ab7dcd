// The five grids by the rule the naming books share, which also knows
// compound surnames (欧阳, 诸葛 ...), over 康熙 stroke counts. Which surnames
// are compound is the advice tables' to say (advice::AdviceTables::SurnameLength).
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "scoring/score.h"

namespace tavrin::conventions {

// The order the naming books list the grids in: 天 人 地 外 总.
inline constexpr std::array<Grid, kGridCount> kCommonGridOrder = {kHeavenGrid, kPersonGrid, kEarthGrid, kOuterGrid,
                                                                  kTotalGrid};

// The grids from the stroke counts of the surname (one or two characters)
// followed by those of the given name (one or two characters):
//   single surname s1, given s2 [s3]: 天 s1+1, 人 s1+s2, 地 s2+s3 (s2+1),
//     外 s3+1 (2), 总 the sum;
//   compound surname s1 s2, given s3 [s4]: 天 s1+s2, 人 s2+s3, 地 s3+s4
//     (s3+1), 外 s1+s4 (s1+1), 总 the sum.
// nullopt for any other shape or a count below 1.
std::optional<FiveGrids> GridsFromStrokes(const std::vector<int>& strokes, int surnameLength);

}  // namespace tavrin::conventions
