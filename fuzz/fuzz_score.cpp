// Fuzzes the numerology table "5ge.dat" and the score of a name: the
// precomputed scorer must give the reference scan's text for a name, its
// Score must be the number before the comma, and no score exceeds 100.
//
// Fields (fuzz_input.h): flags, the table (used when flag 0x01 is set; else
// the shipped table), the element list (used when flag 0x02 is set; else the
// shipped list), the birth elements, then any number of names to score (cut
// to 256 bytes with a fuzzed list).
//
// An input costs little: the element services and scorers of recent lists
// and tables are kept and taken again (a mutation of the names reuses them),
// and the reference scan, which reads the whole table for every grid and
// walks a name once for each of its characters, checks the first
// kScannedNames names of an input that are at most kScannedBytes long; the
// others get the scorer's own checks.
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

constexpr std::size_t kScannedNames = 2;
constexpr std::size_t kScannedBytes = 256;
// With a fuzzed element list a character's element is the heading of the
// line that names it, which may be as long as the line: a name's elements
// then grow with the product of the two, which measures only the input's
// size (the program's names have at most four characters). Such names are
// cut to this many bytes.
constexpr std::size_t kNameBytesWithFuzzedList = 256;

tavrin::LineList ShippedLines(const char* file) { return tavrin::SplitLines(tavrin::fuzz::ShippedFile(file)); }

// An element service over a list, and a scorer over a table and that
// service, built once for a list or a table that recurs.
struct Elements {
  tavrin::LineList list;
  std::unique_ptr<const tavrin::ElementService> service;
};
struct Scorer {
  tavrin::LineList table;
  std::shared_ptr<const Elements> elements;  // the service the scorer refers to
  std::unique_ptr<const tavrin::NameScorer> scorer;
};

std::shared_ptr<const Elements> ElementsOf(tavrin::LineList list) {
  auto made = std::make_shared<Elements>();
  made->list = std::move(list);
  made->service = std::make_unique<const tavrin::ElementService>(made->list);
  return made;
}

std::shared_ptr<const Scorer> ScorerOf(tavrin::LineList table, std::shared_ptr<const Elements> elements) {
  auto made = std::make_shared<Scorer>();
  made->table = std::move(table);
  made->elements = std::move(elements);
  made->scorer = std::make_unique<const tavrin::NameScorer>(made->table, *made->elements->service);
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tavrin::fuzz::FuzzInput input(data, size);
  const unsigned flags = input.Flags(0);
  static const auto shippedElements = ElementsOf(ShippedLines(tavrin::kCharElementFile));
  static const auto shippedScorer = ScorerOf(ShippedLines(tavrin::kNumerologyFile), shippedElements);
  static tavrin::fuzz::RecentValues<std::shared_ptr<const Elements>> recentElements(16);
  static tavrin::fuzz::RecentValues<std::shared_ptr<const Scorer>> recentScorers(16);

  const std::shared_ptr<const Elements> elements =
      flags & 2 ? recentElements.Get(input.Field(2), [&] { return ElementsOf(tavrin::SplitLines(input.Field(2))); })
                : shippedElements;
  std::shared_ptr<const Scorer> scorer = shippedScorer;
  if (flags & 3) {
    const std::string key = std::string(flags & 1 ? input.Field(1) : std::string_view()) + '\xFF' +
                            std::string(flags & 2 ? input.Field(2) : std::string_view()) + '\xFF' +
                            std::to_string(flags & 3);
    scorer = recentScorers.Get(
        key, [&] { return ScorerOf(flags & 1 ? tavrin::SplitLines(input.Field(1)) : shippedScorer->table, elements); });
  }
  const tavrin::NameScorer& used = *scorer->scorer;
  const tavrin::LineList& table = scorer->table;
  const tavrin::LineList& list = elements->list;

  const std::string_view birthElements = input.Field(3);
  for (std::size_t i = 4; i < input.FieldCount(); ++i) {
    const std::string_view name = flags & 2 ? input.Field(i).substr(0, kNameBytesWithFuzzedList) : input.Field(i);
    const std::string text = used.ScoreName(name, birthElements);
    const bool scanned = i - 4 < kScannedNames && name.size() <= kScannedBytes;
    if (scanned) Check(text == tavrin::scan::ScoreName(table, list, birthElements, name));
    const std::size_t comma = text.find(',');
    Check(comma != std::string::npos);
    int score = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + comma, score);
    Check(error == std::errc() && end == text.data() + comma);
    Check(score <= 100 && score == used.Score(name, birthElements));
    if (!scanned) continue;
    const tavrin::FiveGrids grids = tavrin::GridsOf(tavrin::BareName(name));
    for (int grid = 0; grid < tavrin::kGridCount; ++grid) {
      const auto lines = used.MatchingLines(grids[grid]);
      Check(lines == tavrin::scan::MatchingLines(table, grids[grid]));
    }
  }
  return 0;
}

// AFL++'s driver calls this once before it forks the processes that run the
// inputs: the shipped scorer and the stroke tables are made here, not in each
// of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::uint8_t names[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xD5, 0xC5, 0xC8, 0xFD};  // a two-character name
  return LLVMFuzzerTestOneInput(names, sizeof names);
}
