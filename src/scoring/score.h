// Five-grid numerology: the score of a full name (surname first).
//
// The five grid numbers come from the stroke counts of the traditional forms
// of the name's first three characters. Every line of the numerology table
// ("5ge.dat") that holds the key 第N数 of a grid number N counts: +30 when it
// holds 吉, +10 instead when it holds 半吉, -5 when it holds 凶; the element
// balance of the birth chart and the name adds 10 or takes 10 away; the score
// is capped at 100. The result text is the score, a comma and the matched
// lines, each as grid label + line + CR, in the order of the table's lines.
//
// scan::ScoreName examines every line for every grid on each call and is the
// reference; NameScorer precomputes the matches of every grid number once and
// gives identical results.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chars/elements.h"
#include "chars/linelist.h"

namespace tavrin {

// The grids in the order each table line examines them.
enum Grid { kHeavenGrid, kEarthGrid, kPersonGrid, kOuterGrid, kTotalGrid, kGridCount };

// "天格:", "地格:", "人格:", "外格:", "总格:".
std::string_view GridLabel(int grid);

struct FiveGrids {
  std::array<int, kGridCount> number{};  // by Grid; every grid starts at 0
  int operator[](int grid) const { return number[static_cast<std::size_t>(grid)]; }
  bool operator==(const FiveGrids&) const = default;
};

// One numerology line matched by a grid's number.
struct NumerologyMatch {
  Grid grid = kHeavenGrid;
  std::size_t lineIndex = 0;  // in the numerology table
  std::string line;           // the whole table line
  int points = 0;             // its verdict as the score counts it: LinePoints
  bool operator==(const NumerologyMatch&) const = default;
};

// The score of a full name and what it is made of.
struct NameScore {
  int score = 0;  // capped at 100, no lower bound
  FiveGrids grids;
  int elementTerm = 0;       // +10 when no element is weak in birth + name elements, else -10
  std::string nameElements;  // the element of each character of the name (GBK)
  // The matched lines in the order of the table, within one line in grid
  // order; empty unless asked for.
  std::vector<NumerologyMatch> matches;
};

// The score text as the report's 五格 column and the analysis pane show it:
// the score, ",", then for each match its grid label, its line and a CR (or
// `lineEnd`, for a text shown otherwise).
std::string FormatScoreText(const NameScore& score, std::string_view lineEnd = "\r");

// The part of a text before its first "(": a candidate written as name(score)
// scores as the bare name.
std::string_view BareName(std::string_view text);
// The five grids of a bare name, from the strokes of its traditional form.
FiveGrids GridsOf(std::string_view name);
// The key 第N数 of a grid number.
std::string NumerologyKey(int number);
// What one table line adds for each grid whose key it holds.
int LinePoints(std::string_view line);

namespace scan {

// The indexes of the table lines that hold the key of `number`, in order.
std::vector<std::size_t> MatchingLines(const LineList& numerologyTable, int number);
// The score text of a name; `birthElements` is the naming run's birth chart
// elements, empty before the first run.
std::string ScoreName(const LineList& numerologyTable, const LineList& elementList, std::string_view birthElements,
                      std::string_view text);

}  // namespace scan

class NameScorer {
 public:
  // Grid numbers up to this are precomputed; larger ones are looked up by a
  // scan of the table (stroke counts never exceed 30, so names stay below 100).
  static constexpr int kPrecomputedGrids = 256;

  // `elements` must outlive the scorer.
  NameScorer(LineList numerologyTable, const ElementService& elements);

  // The score of a name (any "(" annotation ignored) against the birth
  // elements of a chart, empty when there is none; with `withMatches` the
  // matched numerology lines too.
  NameScore Evaluate(std::string_view text, std::string_view birthElements, bool withMatches = true) const;
  // FormatScoreText of Evaluate.
  std::string ScoreName(std::string_view text, std::string_view birthElements) const;
  // The score alone.
  int Score(std::string_view text, std::string_view birthElements) const;
  // The table lines that hold the key of `number`, in order, and what they
  // add together (each line's LinePoints).
  std::vector<std::size_t> MatchingLines(int number) const;
  int Points(int number) const;
  // The numerology table the grids are read in.
  const LineList& Table() const { return table_; }

 private:
  struct GridEntry {
    std::vector<std::uint32_t> lines;  // matching line indexes, ascending
    int points = 0;                    // what they add together
  };

  GridEntry EntryOf(int number) const;
  const GridEntry& Entry(int number, GridEntry& scratch) const;
  // The grids of a bare name, by the precomputed traditional stroke counts
  // when every character allows it, else by GridsOf.
  FiveGrids Grids(std::string_view name) const;
  // The element term; the name's elements are left in `nameElements`.
  int ElementTerm(std::string_view name, std::string_view birthElements, std::string& nameElements) const;

  LineList table_;
  std::vector<int> linePoints_;
  const ElementService* elements_;
  std::vector<GridEntry> entries_;  // by grid number, 0 .. kPrecomputedGrids-1
  // Stroke count of the traditional form of every two-byte character (by its
  // 16-bit code, lead byte first); 0 where the character needs the general path.
  std::vector<std::uint8_t> traditionalStrokes_;
};

// The numerology verdict of a table line: "半吉", "吉", "凶" or empty.
std::string VerdictOf(std::string_view line);

}  // namespace tavrin
