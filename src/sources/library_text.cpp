#include "sources/library_text.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "chars/encoding.h"
#include "chars/gbk.h"

namespace tavrin::sources {

namespace {

constexpr int kLineBits = 16;
constexpr int kRankShift = 40;

// Two-character surnames, in GBK: a small list of the common ones, which a
// full table of surnames can replace.
// The positions of `name` placed in this order on `line`: each character on
// the nearest free occurrence after the one before; false when it does not fit.
bool PlaceInOrder(const std::vector<std::string>& line, const std::vector<std::string>& name, std::size_t start,
                  std::vector<int>& positions) {
  positions.clear();
  std::size_t at = start;
  for (const std::string& c : name) {
    while (at < line.size() && line[at] != c) ++at;
    if (at == line.size()) return false;
    positions.push_back(static_cast<int>(at) + 1);
    ++at;
  }
  return true;
}

// The tightest placement in the given order, over every start.
bool BestInOrder(const std::vector<std::string>& line, const std::vector<std::string>& name, std::vector<int>& best) {
  bool found = false;
  std::vector<int> positions;
  for (std::size_t start = 0; start < line.size(); ++start) {
    if (line[start] != name.front() || !PlaceInOrder(line, name, start, positions)) continue;
    if (!found || positions.back() - positions.front() < best.back() - best.front()) best = positions;
    found = true;
  }
  return found;
}

}  // namespace

std::vector<std::string> TextLines(std::string_view content) {
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& c : Utf8Chars(content)) {
    if (IsHan(c)) {
      line += c;
    } else if (!line.empty()) {
      lines.push_back(std::move(line));
      line.clear();
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string IndexForm(std::string_view utf8) {
  std::string form;
  bool inBreak = false;
  for (const std::string& c : Utf8Chars(utf8)) {
    const bool han = IsHan(c);
    if (!han && inBreak) continue;
    if (!form.empty()) form += ' ';
    form += han ? c : "0";
    inBreak = !han;
  }
  return form;
}

std::int64_t LineKey(std::string_view collection, std::int64_t textId, int lineNumber) {
  const std::int64_t order = CollectionRank(collection) * 2 + (WellKnown(collection) ? 0 : 1);
  return order << kRankShift | textId << kLineBits | lineNumber;
}

std::int64_t TextIdOfLineKey(std::int64_t key) { return (key & ((std::int64_t{1} << kRankShift) - 1)) >> kLineBits; }

int LineNumberOfLineKey(std::int64_t key) { return static_cast<int>(key & ((1 << kLineBits) - 1)); }

Fit PlaceName(const std::vector<std::string>& line, const std::vector<std::string>& name, std::vector<int>& positions) {
  positions.clear();
  if (name.empty() || name.size() > line.size()) return Fit::kNone;
  for (std::size_t start = 0; start + name.size() <= line.size(); ++start) {
    if (std::equal(name.begin(), name.end(), line.begin() + static_cast<std::ptrdiff_t>(start))) {
      positions.resize(name.size());
      std::iota(positions.begin(), positions.end(), static_cast<int>(start) + 1);
      return Fit::kAdjacent;
    }
  }
  if (BestInOrder(line, name, positions)) return Fit::kInOrder;
  // Any order: every order of the name's characters, the tightest wins;
  // the positions are given back in the name's own order.
  std::vector<std::size_t> order(name.size());
  std::iota(order.begin(), order.end(), 0);
  int bestSpan = -1;
  std::vector<int> placed;
  std::vector<std::string> permuted(name.size());
  do {
    for (std::size_t i = 0; i < order.size(); ++i) permuted[i] = name[order[i]];
    if (!BestInOrder(line, permuted, placed)) continue;
    const int span = placed.back() - placed.front();
    if (bestSpan >= 0 && span >= bestSpan) continue;
    bestSpan = span;
    positions.assign(name.size(), 0);
    for (std::size_t i = 0; i < order.size(); ++i) positions[order[i]] = placed[i];
  } while (name.size() <= 4 && std::next_permutation(order.begin(), order.end()));
  return bestSpan < 0 ? Fit::kNone : Fit::kAnyOrder;
}

}  // namespace tavrin::sources
