#include "conventions/conventions_score.h"

#include <algorithm>
#include <cmath>

#include "chars/gbk.h"
#include "scoring/score.h"

namespace tavrin::conventions {
namespace {

constexpr int kNumerologyMax = 150;  // five grids at +30
constexpr int kNumerologyPart = 60;
constexpr int kSancaiPart = 20;
constexpr int kElementPart = 20;

int Scaled(int value, int max, int part) {
  return static_cast<int>(std::lround(static_cast<double>(value) * part / max));
}

int SancaiPoints(Verdict verdict) {
  switch (verdict) {
    case Verdict::kGreatFortune:
      return 20;
    case Verdict::kFortune:
      return 15;
    case Verdict::kHalfFortune:
      return 10;
    case Verdict::kMisfortune:
      return 5;
    case Verdict::kGreatMisfortune:
      return 0;
  }
  return 0;
}

}  // namespace

int TableNumber(int gridNumber) {
  while (gridNumber > 81) gridNumber -= 80;
  return gridNumber;
}

std::optional<ConventionsReading> ReadConventions(const ConventionsInputs& inputs, const NameScorer& numerology,
                                                  const SancaiTable* sancai, const ElementLookup& charElement) {
  ConventionsReading r;
  r.characters = SplitChars(inputs.name);
  r.surnameLength = inputs.surnameLength;
  for (const std::string& ch : r.characters) r.strokes.push_back(KangxiStrokes(ch, inputs.numerals));
  const auto grids = GridsFromStrokes(r.strokes, r.surnameLength);
  if (!grids) return std::nullopt;
  r.grids = *grids;

  for (std::size_t i = 0; i < r.lookups.size(); ++i) {
    GridLookup& lookup = r.lookups[i];
    lookup.number = r.grids[kCommonGridOrder[i]];
    lookup.tableNumber = TableNumber(lookup.number);
    lookup.lines = numerology.MatchingLines(lookup.tableNumber);
    lookup.points = numerology.Points(lookup.tableNumber);
    r.numerologyPoints += lookup.points;
  }
  r.numerologyPart = Scaled(std::clamp(r.numerologyPoints, 0, kNumerologyMax), kNumerologyMax, kNumerologyPart);

  r.hasSancai = sancai != nullptr;
  if (sancai) r.sancai = sancai->Read(r.grids);
  r.sancaiPart = sancai ? SancaiPoints(r.sancai.verdict) : kSancaiPart / 2;

  r.hasChart = inputs.favourable != nullptr;
  const auto given = r.characters.begin() + r.surnameLength;
  for (auto it = given; it != r.characters.end(); ++it) {
    const std::optional<Element> e = charElement ? ElementOf(charElement(*it)) : std::nullopt;
    r.givenElements.push_back(e);
    if (e && r.hasChart) {
      const auto& fav = inputs.favourable->favourable;
      if (std::find(fav.begin(), fav.end(), *e) != fav.end()) ++r.favourableCharacters;
    }
  }
  const int givenCount = static_cast<int>(r.givenElements.size());
  r.elementPart = r.hasChart ? Scaled(r.favourableCharacters, givenCount, kElementPart) : kElementPart / 2;
  r.score = r.numerologyPart + r.sancaiPart + r.elementPart;
  return r;
}

}  // namespace tavrin::conventions
