// The five grids by the rule the naming books share, which also knows
// compound surnames (欧阳, 诸葛 ...), over 康熙 stroke counts. Which surnames
// are compound is the advice tables' to say (advice::AdviceTables::SurnameLength).
#pragma once

#include <optional>
#include <vector>

namespace tavrin::conventions {

struct CommonGrids {
  int heaven = 0;  // 天格
  int person = 0;  // 人格
  int earth = 0;   // 地格
  int outer = 0;   // 外格
  int total = 0;   // 总格
};

// The grids from the stroke counts of the surname (one or two characters)
// followed by those of the given name (one or two characters):
//   single surname s1, given s2 [s3]: 天 s1+1, 人 s1+s2, 地 s2+s3 (s2+1),
//     外 s3+1 (2), 总 the sum;
//   compound surname s1 s2, given s3 [s4]: 天 s1+s2, 人 s2+s3, 地 s3+s4
//     (s3+1), 外 s1+s4 (s1+1), 总 the sum.
// nullopt for any other shape or a count below 1.
std::optional<CommonGrids> GridsFromStrokes(const std::vector<int>& strokes, int surnameLength);

}  // namespace tavrin::conventions
