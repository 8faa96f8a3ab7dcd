// The 精选 list weighs a name's classical source as `advise` does: the bonus
// of a line in the 诗经, the 楚辞 or the Four Books, whether the finder is
// asked as names are added or later, a few names at a time.
#include <gtest/gtest.h>

#include <string>

#include "core/best_names.h"
#include "core/startup.h"

namespace tavrin {
namespace {

TEST(BestNamesSource, BonusOfTheFirstThreeCollectionsNowOrLater) {
  const SharedStores stores = StartUp(ExecutableDir());
  const struct {
    std::string name;
    int rank;  // of the source's collection; -1: no line holds the name
    int bonus;
  } cases[] = {
      {"张子衿", 0, 5}, {"张若兰", 1, 5}, {"张明月", 2, 5}, {"张欣怡", 3, 0}, {"张思远", -1, 0},
      {"李子衿", -1, 0},  // reads as 张子衿 does; ranks below it despite its score
  };
  const advice::SourceFinder finder = [&](const std::string& name) -> std::optional<advice::ClassicalSource> {
    for (const auto& c : cases) {
      if (c.name == name && c.rank >= 0) return advice::ClassicalSource{c.rank, "集", "题", "行"};
    }
    return std::nullopt;
  };
  const std::size_t n = std::size(cases);
  for (const bool deferred : {false, true}) {
    SCOPED_TRACE(deferred ? "deferred" : "at once");
    BestNames plain(stores->advice.get());
    BestNames sourced(stores->advice.get());
    sourced.SetSourceFinder(finder, deferred);
    for (const auto& c : cases) {
      Candidate candidate;
      candidate.fullName = c.name;
      candidate.surnameBytes = 2;
      candidate.score = c.name == "李子衿" ? 95 : 60;
      plain.Add(candidate, advice::Sex::kFemale);
      sourced.Add(candidate, advice::Sex::kFemale);
    }
    if (deferred) {
      EXPECT_EQ(sourced.AdviceAt(0).recommend, plain.AdviceAt(0).recommend);
      EXPECT_EQ(sourced.LookUpSources(4), 4u);
      EXPECT_EQ(sourced.LookUpSources(100), n - 4);
    }
    EXPECT_EQ(sourced.SourcesDone(), n);
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_LE(plain.AdviceAt(i).recommend, 95) << cases[i].name;
      EXPECT_EQ(sourced.AdviceAt(i).recommend - plain.AdviceAt(i).recommend, cases[i].bonus) << cases[i].name;
    }
    ASSERT_EQ(plain.AdviceAt(0).recommend, plain.AdviceAt(n - 1).recommend);
    EXPECT_TRUE(plain.RanksBefore(n - 1, 0));
    EXPECT_TRUE(sourced.RanksBefore(0, n - 1));
  }
}

}  // namespace
}  // namespace tavrin
