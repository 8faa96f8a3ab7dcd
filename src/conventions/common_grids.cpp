#include "conventions/common_grids.h"

#include <algorithm>
#include <numeric>

namespace tavrin::conventions {

std::optional<FiveGrids> GridsFromStrokes(const std::vector<int>& s, int surnameLength) {
  const int given = static_cast<int>(s.size()) - surnameLength;
  if (surnameLength < 1 || surnameLength > 2 || given < 1 || given > 2) return std::nullopt;
  if (std::any_of(s.begin(), s.end(), [](int n) { return n < 1; })) return std::nullopt;
  FiveGrids g;
  auto& n = g.number;
  n[kTotalGrid] = std::accumulate(s.begin(), s.end(), 0);
  if (surnameLength == 1) {
    n[kHeavenGrid] = s[0] + 1;
    n[kPersonGrid] = s[0] + s[1];
    n[kEarthGrid] = given == 2 ? s[1] + s[2] : s[1] + 1;
    n[kOuterGrid] = given == 2 ? s[2] + 1 : 2;
  } else {
    n[kHeavenGrid] = s[0] + s[1];
    n[kPersonGrid] = s[1] + s[2];
    n[kEarthGrid] = given == 2 ? s[2] + s[3] : s[2] + 1;
    n[kOuterGrid] = given == 2 ? s[0] + s[3] : s[0] + 1;
  }
  return g;
}

}  // namespace tavrin::conventions
