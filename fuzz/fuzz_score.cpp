// Fuzzes the numerology table "5ge.dat" and the score of a name: the
// precomputed scorer must give the reference scan's text for every name, its
// Score must be the number before the comma, and no score exceeds 100.
//
// Fields (fuzz_input.h): flags, the table (used when flag 0x01 is set; else
// the shipped table), the element list (used when flag 0x02 is set; else the
// shipped list), the birth elements, then any number of names to score.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "chars/elements.h"
#include "core/lines.h"
#include "core/startup.h"
#include "fuzz_input.h"
#include "scoring/score.h"

namespace {

using tavrin::fuzz::Check;

tavrin::LineList ShippedLines(const char* file) { return tavrin::SplitLines(tavrin::fuzz::ShippedFile(file)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tavrin::fuzz::FuzzInput input(data, size);
  const unsigned flags = input.Flags(0);
  static const tavrin::LineList shippedTable = ShippedLines(tavrin::kNumerologyFile);
  static const tavrin::LineList shippedList = ShippedLines(tavrin::kCharElementFile);
  static const tavrin::ElementService shippedElements(shippedList);
  static const tavrin::NameScorer shippedScorer(shippedTable, shippedElements);

  // Building a scorer or an element service looks at every double-byte code;
  // the shipped ones are built once.
  const tavrin::LineList table = flags & 1 ? tavrin::SplitLines(input.Field(1)) : shippedTable;
  const tavrin::LineList list = flags & 2 ? tavrin::SplitLines(input.Field(2)) : shippedList;
  std::unique_ptr<tavrin::ElementService> elements;
  if (flags & 2) elements = std::make_unique<tavrin::ElementService>(list);
  std::unique_ptr<tavrin::NameScorer> scorer;
  if (flags & 3) scorer = std::make_unique<tavrin::NameScorer>(table, elements ? *elements : shippedElements);
  const tavrin::NameScorer& used = scorer ? *scorer : shippedScorer;

  const std::string_view birthElements = input.Field(3);
  for (std::size_t i = 4; i < input.FieldCount(); ++i) {
    const std::string_view name = input.Field(i);
    const std::string text = used.ScoreName(name, birthElements);
    Check(text == tavrin::scan::ScoreName(table, list, birthElements, name));
    const std::size_t comma = text.find(',');
    Check(comma != std::string::npos);
    int score = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + comma, score);
    Check(error == std::errc() && end == text.data() + comma);
    Check(score <= 100 && score == used.Score(name, birthElements));
    const tavrin::FiveGrids grids = tavrin::GridsOf(tavrin::BareName(name));
    for (int grid = 0; grid < tavrin::kGridCount; ++grid) {
      const auto lines = used.MatchingLines(grids[grid]);
      Check(lines == tavrin::scan::MatchingLines(table, grids[grid]));
    }
  }
  return 0;
}
