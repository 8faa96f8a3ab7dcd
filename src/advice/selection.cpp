#include "advice/selection.h"

#include <algorithm>
#include <unordered_map>

namespace tavrin::advice {

bool Passes(const Advice& advice, int score, const Filter& filter) {
  if (advice.wishedOut || score < filter.minScore) return false;
  if (filter.sex && advice.sex != *filter.sex) return false;
  if (filter.onlyFitting && advice.fit == ElementFit::kNone) return false;
  for (const Warning& warning : advice.warnings) {
    if (filter.hideSerious && warning.severity == Severity::kSerious) return false;
    if (filter.hideMild && warning.severity == Severity::kMild) return false;
  }
  for (const GivenChar& given : advice.given) {
    const int level = given.facts ? given.facts->level : 0;
    if (filter.levelOneOnly && level != 1) return false;
    if (filter.hideLevelThree && (level == 0 || level == 3)) return false;
    for (std::size_t i = 0; i + 1 < filter.leaveOut.size(); i += 2) {
      if (filter.leaveOut.compare(i, 2, given.ch) == 0) return false;
    }
  }
  return true;
}

bool RanksBefore(const Advice& a, int scoreA, const Advice& b, int scoreB) {
  if (a.recommend != b.recommend) return a.recommend > b.recommend;
  if (a.unclamped != b.unclamped) return a.unclamped > b.unclamped;
  return scoreA > scoreB;
}

namespace {

std::string FirstGiven(const Advice& advice) { return advice.given.empty() ? std::string() : advice.given.front().ch; }
std::string LastGiven(const Advice& advice) { return advice.given.size() < 2 ? std::string() : advice.given.back().ch; }

// How many names of one round may end in the same character (…远, …远).
constexpr int kSameLastPerRound = 2;

// The names that pass, in the list's order.
std::vector<std::size_t> Ordered(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                 const Filter& filter) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < advice.size() && i < scores.size(); ++i) {
    if (Passes(advice[i], scores[i], filter)) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return RanksBefore(advice[a], scores[a], advice[b], scores[b]);
  });
  return order;
}

// The round of each name of `order` (the names that pass, in the list's
// order); -1 for the others.
std::vector<int> RoundsOf(const std::vector<Advice>& advice, const std::vector<std::size_t>& order) {
  std::vector<int> rounds(advice.size(), -1);
  std::unordered_map<std::string, int> firsts, lasts;
  for (std::size_t i : order) {
    const int first = firsts[FirstGiven(advice[i])]++;
    const std::string last = LastGiven(advice[i]);
    rounds[i] = last.empty() ? first : std::max(first, lasts[last]++ / kSameLastPerRound);
  }
  return rounds;
}

}  // namespace

std::vector<int> DiversityRounds(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                 const Filter& filter) {
  return RoundsOf(advice, Ordered(advice, scores, filter));
}

std::vector<std::size_t> SelectBest(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                    std::size_t count, const Filter& filter) {
  std::vector<std::size_t> order = Ordered(advice, scores, filter);
  const std::vector<int> rounds = RoundsOf(advice, order);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rounds[a] < rounds[b]; });
  if (order.size() > count) order.resize(count);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return RanksBefore(advice[a], scores[a], advice[b], scores[b]);
  });
  return order;
}

}  // namespace tavrin::advice
