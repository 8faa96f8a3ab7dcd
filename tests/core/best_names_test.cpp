// The 精选 list weighs a name's classical source as `advise` does: the bonus
// of a line in the 诗经, the 楚辞 or the Four Books, whether the finder is
// asked as names are added or later, a few names at a time.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/best_names.h"
#include "core/startup.h"

namespace tavrin {
namespace {

Candidate Make(const std::string& name, int score) {
  Candidate candidate;
  candidate.fullName = name;
  candidate.surnameBytes = 2;
  candidate.score = score;
  return candidate;
}

TEST(BestNamesSource, BonusOfTheFirstThreeCollectionsNowOrLater) {
  const SharedStores stores = StartUp(ExecutableDir());
  const advice::AdviceTables& tables = *stores->advice;
  const struct {
    const char* name;
    int rank;  // of the collection; -1: no line holds it
    int bonus;
  } cases[] = {
      {"张子衿", 0, 5},   // 诗经
      {"张若兰", 1, 5},   // 楚辞
      {"张明月", 2, 5},   // the Four Books
      {"张欣怡", 3, 0},   // 唐诗
      {"张思远", -1, 0},  // none
      {"李子衿", -1, 0},  // the same given name, no source: ranks below 张子衿 despite its score
  };
  std::map<std::string, advice::ClassicalSource> lines;
  for (const auto& c : cases) {
    if (c.rank >= 0) lines[c.name] = {c.rank, "集", "题", "行"};
  }
  const advice::SourceFinder finder = [&](const std::string& name) -> std::optional<advice::ClassicalSource> {
    const auto found = lines.find(name);
    return found == lines.end() ? std::nullopt : std::optional(found->second);
  };
  for (const bool deferred : {false, true}) {
    SCOPED_TRACE(deferred ? "deferred" : "at once");
    BestNames plain(&tables);
    BestNames sourced(&tables);
    sourced.SetSourceFinder(finder, deferred);
    for (const auto& c : cases) {
      const Candidate candidate = Make(c.name, c.name == std::string("李子衿") ? 95 : 60);
      plain.Add(candidate, advice::Sex::kFemale);
      sourced.Add(candidate, advice::Sex::kFemale);
    }
    const std::size_t n = std::size(cases);
    if (deferred) {
      EXPECT_EQ(sourced.SourcesDone(), 0u);
      EXPECT_EQ(sourced.AdviceAt(0).recommend, plain.AdviceAt(0).recommend);
      EXPECT_EQ(sourced.LookUpSources(4), 4u);
      EXPECT_EQ(sourced.LookUpSources(100), n - 4);
    }
    EXPECT_EQ(sourced.SourcesDone(), n);
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(cases[i].name);
      ASSERT_LE(plain.AdviceAt(i).recommend, 95);
      EXPECT_EQ(sourced.AdviceAt(i).recommend - plain.AdviceAt(i).recommend, cases[i].bonus);
    }
    // 张子衿 and 李子衿 read alike; the source puts the lower score first.
    ASSERT_EQ(plain.AdviceAt(0).recommend, plain.AdviceAt(n - 1).recommend);
    EXPECT_TRUE(plain.RanksBefore(n - 1, 0));
    EXPECT_TRUE(sourced.RanksBefore(0, n - 1));
  }
}

}  // namespace
}  // namespace tavrin
