// The reading of a full name by the conventions the naming books share, and
// its score 通行评分 (0..100):
//   五格 60 points: the five common grids over 康熙 strokes, each grid number
//     (a number above 81 taken less 80 until it is at most 81) looked up in
//     the numerology table with the points of the program's own score (+30
//     吉, +10 半吉, -5 凶 per matching line); the sum, held within 0..150,
//     scaled to 0..60;
//   三才 20 points: 大吉 20, 吉 15, 半吉 10, 凶 5, 大凶 0; 10 without the
//     三才 table;
//   喜用 20 points: the share of the given name's characters whose element is
//     a favourable element, times 20; 10 when there is no birth chart.
// Each part is rounded to the nearest whole point.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conventions/common_grids.h"
#include "conventions/element.h"
#include "conventions/favourable.h"
#include "conventions/kangxi.h"
#include "conventions/sancai.h"
#include "scoring/score.h"

namespace tavrin::conventions {

// The element of one character (GBK), as the element list gives it.
using ElementLookup = std::function<std::string(std::string_view ch)>;

struct GridLookup {
  int number = 0;                  // the grid number
  int tableNumber = 0;             // the number looked up (at most 81)
  int points = 0;                  // what its table lines add
  std::vector<std::size_t> lines;  // the matching lines of the numerology table
};

struct ConventionsReading {
  std::vector<std::string> characters;  // GBK, surname first
  std::vector<int> strokes;             // 康熙 counts
  int surnameLength = 1;
  FiveGrids grids;
  // In the order 天格 人格 地格 外格 总格 (kCommonGridOrder).
  std::array<GridLookup, 5> lookups;
  int numerologyPoints = 0;  // the sum of the five lookups' points
  bool hasSancai = false;    // the 三才 table was there: `sancai` holds its reading
  SancaiReading sancai;
  std::vector<std::optional<Element>> givenElements;  // of the given name's characters
  int favourableCharacters = 0;
  bool hasChart = false;
  int numerologyPart = 0;  // 0..60
  int sancaiPart = 0;      // 0..20
  int elementPart = 0;     // 0..20
  int score = 0;           // 0..100
};

struct ConventionsInputs {
  std::string_view name;  // GBK, surname first
  int surnameLength = 1;  // 1, or 2 for a compound surname
  Numerals numerals = Numerals::kValues;
  const FavourableElements* favourable = nullptr;  // none without a birth chart
};

// nullopt when the name is not a surname of one or two hanzi followed by a
// given name of one or two hanzi. Without a 三才 table (null) there is no
// 三才 verdict.
std::optional<ConventionsReading> ReadConventions(const ConventionsInputs& inputs, const NameScorer& numerology,
                                                  const SancaiTable* sancai, const ElementLookup& charElement);

// The number a grid number is looked up under: above 81, 80 less until it is
// at most 81.
int TableNumber(int gridNumber);

}  // namespace tavrin::conventions
