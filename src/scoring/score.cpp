#include "scoring/score.h"

#include <algorithm>

#include "chars/gbk.h"
#include "chars/strcon.h"
#include "chars/strokes.h"

namespace tavrin {

namespace {

// The stroke count of each double-byte code's traditional form, by code: it
// depends on the built-in tables alone, so it is worked out once. A zero
// trail byte is left at 0 (the general path): the conversion to traditional
// forms stops at it.
const std::vector<std::uint8_t>& TraditionalStrokeTable() {
  static const std::vector<std::uint8_t> table = TableOfDoubleByteCodes<std::uint8_t>(
      [](const std::string& ch) { return ch[1] == '\0' ? 0 : StrokeCount(ToTraditional(ch)); });
  return table;
}

constexpr std::array<std::string_view, kGridCount> kGridLabels = {"天格:", "地格:", "人格:", "外格:", "总格:"};
constexpr std::string_view kKeyStart = "第";
constexpr std::string_view kKeyEnd = "数";

// Grids from the stroke counts of the first three characters and the length.
// This score reads the first character as the whole surname, compound or not
// (欧阳修 as 欧 + 阳修): that is its own reading, kept on purpose; the
// naming books' grids, which know compound surnames, are
// conventions::GridsFromStrokes.
FiveGrids GridsFromStrokes(int s1, int s2, int s3, std::size_t length) {
  FiveGrids grids;
  grids.number[kHeavenGrid] = s1 + 1;
  grids.number[kPersonGrid] = s1 + s2;
  if (length == 3) {
    grids.number[kEarthGrid] = s2 + s3;
    grids.number[kOuterGrid] = s3 + 1;
    grids.number[kTotalGrid] = s1 + s2 + s3;
  } else if (length == 2) {
    grids.number[kEarthGrid] = s2 + 1;
    grids.number[kOuterGrid] = 2;
    grids.number[kTotalGrid] = s1 + s2;
  }
  return grids;
}

int CappedScore(int score) { return std::min(score, 100); }

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

std::string_view GridLabel(int grid) { return kGridLabels.at(static_cast<std::size_t>(grid)); }

std::string_view BareName(std::string_view text) {
  const std::size_t paren = FindAligned(text, "(");
  return paren == std::string_view::npos ? text : text.substr(0, paren);
}

FiveGrids GridsOf(std::string_view name) {
  const std::string traditional = ToTraditional(name);
  // An absent character is the empty text, which StrokeCount counts as 5.
  return GridsFromStrokes(StrokeCount(CharAt(traditional, 0)), StrokeCount(CharAt(traditional, 1)),
                          StrokeCount(CharAt(traditional, 2)), CharCount(traditional));
}

std::string NumerologyKey(int number) {
  std::string key(kKeyStart);
  key += std::to_string(number);
  key += kKeyEnd;
  return key;
}

int LinePoints(std::string_view line) {
  int points = 0;
  if (ContainsAligned(line, "吉")) points += ContainsAligned(line, "半吉") ? 10 : 30;
  if (ContainsAligned(line, "凶")) points -= 5;
  return points;
}

namespace scan {

std::vector<std::size_t> MatchingLines(const LineList& numerologyTable, int number) {
  const std::string key = NumerologyKey(number);
  std::vector<std::size_t> lines;
  for (std::size_t i = 0; i < numerologyTable.size(); ++i) {
    if (ContainsAligned(numerologyTable[i], key)) lines.push_back(i);
  }
  return lines;
}

std::string ScoreName(const LineList& numerologyTable, const LineList& elementList, std::string_view birthElements,
                      std::string_view text) {
  const std::string_view name = BareName(text);
  const FiveGrids grids = GridsOf(name);
  std::array<std::string, kGridCount> keys;
  for (int grid = 0; grid < kGridCount; ++grid) keys[static_cast<std::size_t>(grid)] = NumerologyKey(grids[grid]);

  int score = 0;
  std::string gridText;
  for (const std::string& line : numerologyTable) {
    for (int grid = 0; grid < kGridCount; ++grid) {
      if (!ContainsAligned(line, keys[static_cast<std::size_t>(grid)])) continue;
      score += LinePoints(line);
      gridText.append(GridLabel(grid)).append(line).append("\r");
    }
  }
  std::string combined(birthElements);
  combined += NameElements(elementList, name);
  score += WeakElements(combined).empty() ? 10 : -10;
  return std::to_string(CappedScore(score)) + "," + gridText;
}

}  // namespace scan

NameScorer::NameScorer(LineList numerologyTable, const ElementService& elements)
    : table_(std::move(numerologyTable)),
      elements_(&elements),
      entries_(kPrecomputedGrids),
      traditionalStrokes_(TraditionalStrokeTable()) {
  linePoints_.reserve(table_.size());
  for (const std::string& line : table_) linePoints_.push_back(LinePoints(line));

  // Every key 第N数 a line holds starts at a 第 on a character boundary and
  // runs over the whole string of ASCII digits behind it up to a 数; N is
  // written without leading zeros. Reading the keys off each line once finds
  // the same lines as searching each line for every key.
  for (std::size_t i = 0; i < table_.size(); ++i) {
    const std::string_view line = table_[i];
    for (std::size_t pos = 0; pos < line.size(); pos += CharLengthAt(line, pos)) {
      if (line.compare(pos, kKeyStart.size(), kKeyStart) != 0) continue;
      const std::size_t digitsStart = pos + kKeyStart.size();
      std::size_t digitsEnd = digitsStart;
      while (digitsEnd < line.size() && IsDigit(line[digitsEnd])) ++digitsEnd;
      const std::size_t digitCount = digitsEnd - digitsStart;
      if (digitCount == 0 || digitCount > 3) continue;
      if (digitCount > 1 && line[digitsStart] == '0') continue;
      if (line.compare(digitsEnd, kKeyEnd.size(), kKeyEnd) != 0) continue;
      const int number = std::stoi(std::string(line.substr(digitsStart, digitCount)));
      if (number >= kPrecomputedGrids) continue;
      GridEntry& entry = entries_[static_cast<std::size_t>(number)];
      if (!entry.lines.empty() && entry.lines.back() == i) continue;  // the key again in the same line
      entry.lines.push_back(static_cast<std::uint32_t>(i));
      entry.points += linePoints_[i];
    }
  }
}

NameScorer::GridEntry NameScorer::EntryOf(int number) const {
  GridEntry entry;
  for (std::size_t line : scan::MatchingLines(table_, number)) {
    entry.lines.push_back(static_cast<std::uint32_t>(line));
    entry.points += linePoints_[line];
  }
  return entry;
}

const NameScorer::GridEntry& NameScorer::Entry(int number, GridEntry& scratch) const {
  if (number >= 0 && number < kPrecomputedGrids) return entries_[static_cast<std::size_t>(number)];
  scratch = EntryOf(number);
  return scratch;
}

std::vector<std::size_t> NameScorer::MatchingLines(int number) const {
  GridEntry scratch;
  const GridEntry& entry = Entry(number, scratch);
  return {entry.lines.begin(), entry.lines.end()};
}

int NameScorer::Points(int number) const {
  GridEntry scratch;
  return Entry(number, scratch).points;
}

FiveGrids NameScorer::Grids(std::string_view name) const {
  // The precomputed path needs every character to be two bytes with a lead
  // byte and no zero byte (the conversion to traditional forms stops at one);
  // then each character converts on its own and keeps its place.
  std::array<int, 3> strokes = {5, 5, 5};
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < name.size(); pos += 2, ++length) {
    if (pos + 1 >= name.size() || !IsGbkLeadByte(static_cast<unsigned char>(name[pos]))) return GridsOf(name);
    const int count =
        traditionalStrokes_[GbkCode(static_cast<unsigned char>(name[pos]), static_cast<unsigned char>(name[pos + 1]))];
    if (count == 0) return GridsOf(name);
    if (length < 3) strokes[length] = count;
  }
  return GridsFromStrokes(strokes[0], strokes[1], strokes[2], length);
}

int NameScorer::ElementTerm(std::string_view name, std::string_view birthElements, std::string& nameElements) const {
  std::string combined;
  combined.reserve(birthElements.size() + 2 * name.size());
  combined.append(birthElements);
  const std::size_t birthSize = combined.size();
  elements_->AppendNameElements(name, combined);
  nameElements.assign(combined, birthSize);
  return WeakElements(combined).empty() ? 10 : -10;
}

int NameScorer::Score(std::string_view text, std::string_view birthElements) const {
  return Evaluate(text, birthElements, false).score;
}

NameScore NameScorer::Evaluate(std::string_view text, std::string_view birthElements, bool withMatches) const {
  const std::string_view name = BareName(text);
  NameScore result;
  result.grids = Grids(name);
  result.elementTerm = ElementTerm(name, birthElements, result.nameElements);
  int score = result.elementTerm;

  std::array<GridEntry, kGridCount> scratch;
  std::array<const GridEntry*, kGridCount> entries;
  std::size_t matchCount = 0;
  for (int grid = 0; grid < kGridCount; ++grid) {
    const auto g = static_cast<std::size_t>(grid);
    entries[g] = &Entry(result.grids[grid], scratch[g]);
    score += entries[g]->points;
    matchCount += entries[g]->lines.size();
  }
  result.score = CappedScore(score);
  if (!withMatches) return result;

  result.matches.reserve(matchCount);
  // Merge the five ascending line lists: by line, and within one line in
  // grid order, as a walk over the table examining each grid in turn would.
  std::array<std::size_t, kGridCount> next{};
  while (true) {
    int best = -1;
    std::uint32_t bestLine = 0;
    for (int grid = 0; grid < kGridCount; ++grid) {
      const auto g = static_cast<std::size_t>(grid);
      if (next[g] == entries[g]->lines.size()) continue;
      const std::uint32_t line = entries[g]->lines[next[g]];
      if (best < 0 || line < bestLine) {
        best = grid;
        bestLine = line;
      }
    }
    if (best < 0) break;
    ++next[static_cast<std::size_t>(best)];
    result.matches.push_back({static_cast<Grid>(best), bestLine, table_[bestLine], linePoints_[bestLine]});
  }
  return result;
}

std::string NameScorer::ScoreName(std::string_view text, std::string_view birthElements) const {
  return FormatScoreText(Evaluate(text, birthElements));
}

std::string FormatScoreText(const NameScore& score, std::string_view lineEnd) {
  std::string text = std::to_string(score.score);
  std::size_t size = text.size() + 1;
  for (const NumerologyMatch& match : score.matches) {
    size += kGridLabels[match.grid].size() + match.line.size() + lineEnd.size();
  }
  text.reserve(size);
  text += ',';
  for (const NumerologyMatch& match : score.matches) {
    text.append(kGridLabels[match.grid]).append(match.line).append(lineEnd);
  }
  return text;
}

std::string VerdictOf(std::string_view line) {
  // 半吉 holds 吉, so it is looked for first; the verdict stands before the
  // line's first full-width colon.
  const std::string_view head = line.substr(0, line.find("："));
  for (const char* verdict : {"半吉", "吉", "凶"}) {
    if (head.find(verdict) != std::string_view::npos) return verdict;
  }
  return {};
}

}  // namespace tavrin
