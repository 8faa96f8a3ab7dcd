#include "advice/selection.h"

#include <algorithm>
#include <unordered_set>

namespace tavrin::advice {

bool Passes(const Advice& advice, int score, const Filter& filter) {
  if (score < filter.minScore) return false;
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
  return scoreA > scoreB;
}

std::vector<std::size_t> SelectBest(const std::vector<Advice>& advice, const std::vector<int>& scores,
                                    std::size_t count, const Filter& filter) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < advice.size() && i < scores.size(); ++i) {
    if (Passes(advice[i], scores[i], filter)) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return RanksBefore(advice[a], scores[a], advice[b], scores[b]);
  });
  std::vector<std::size_t> chosen;
  std::vector<bool> taken(advice.size(), false);
  std::unordered_set<std::string> firsts;
  for (std::size_t i : order) {
    if (chosen.size() == count) break;
    const std::string first = advice[i].given.empty() ? std::string() : advice[i].given.front().ch;
    if (!firsts.insert(first).second) continue;
    chosen.push_back(i);
    taken[i] = true;
  }
  for (std::size_t i : order) {
    if (chosen.size() == count) break;
    if (!taken[i]) chosen.push_back(i);
  }
  std::stable_sort(chosen.begin(), chosen.end(), [&](std::size_t a, std::size_t b) {
    return RanksBefore(advice[a], scores[a], advice[b], scores[b]);
  });
  return chosen;
}

}  // namespace tavrin::advice
