// The votes read as tallies: per name and sex the family's average and each
// member's vote, and who has voted, as the window shows them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "share_testutil.h"

namespace tavrin::share::test {
namespace {

struct TallyCase {
  const char* what;
  std::vector<VoteInput> votes;  // in this order
  // "name/sex=average:members" per tally, in the order read.
  std::vector<std::string> tallies;
  std::vector<std::string> members;
};

std::string Line(const Tally& tally) {
  char average[16];
  std::snprintf(average, sizeof average, "%.2f", tally.average);
  std::string line = tally.name + "/" + tally.sex + "=" + average + ":";
  for (const Vote& vote : tally.votes)
    line += vote.member + (vote.comment.empty() ? "" : "(" + vote.comment + ")") + ",";
  return line;
}

TEST(ShareTallies, AveragesVotesAndMembers) {
  const TallyCase cases[] = {
      {"no vote", {}, {}, {}},
      {"one vote", {{"爷爷", "王秀林", "female", 4, "好听"}}, {"王秀林/female=4.00:爷爷(好听),"}, {"爷爷"}},
      {"the average of three",
       {{"爷爷", "王秀林", "female", 5, ""}, {"奶奶", "王秀林", "female", 4, ""}, {"妈妈", "王秀林", "female", 4, ""}},
       {"王秀林/female=4.33:爷爷,奶奶,妈妈,"},
       {"爷爷", "奶奶", "妈妈"}},
      {"a vote again replaces the member's own",
       {{"爷爷", "王秀林", "female", 1, "不好"},
        {"奶奶", "王秀林", "female", 5, ""},
        {"爷爷", "王秀林", "female", 3, "也行"}},
       {"王秀林/female=4.00:奶奶,爷爷(也行),"},
       {"奶奶", "爷爷"}},
      {"the same name for a boy and a girl is two tallies",
       {{"爷爷", "王子涵", "male", 2, ""}, {"爷爷", "王子涵", "female", 5, ""}},
       {"王子涵/female=5.00:爷爷,", "王子涵/male=2.00:爷爷,"},
       {"爷爷"}},
      {"names apart; members in the order they first voted",
       {{"妈妈", "王雨桐", "female", 3, ""},
        {"爸爸", "王秀林", "female", 2, "<b>太土</b>"},
        {"妈妈", "王秀林", "female", 5, ""}},
       {"王秀林/female=3.50:爸爸(<b>太土</b>),妈妈,", "王雨桐/female=3.00:妈妈,"},
       {"妈妈", "爸爸"}},
  };
  for (const TallyCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = dir.Path() + "/favourites.db";
    {
      FavouritesStore store(path);
    }
    SqliteVoteBook book(path);
    for (const VoteInput& vote : c.votes) book.Add(vote);
    const Tallies tallies = book.ReadTallies();
    std::vector<std::string> lines;
    for (const Tally& tally : tallies.names) lines.push_back(Line(tally));
    EXPECT_EQ(lines, c.tallies);
    EXPECT_EQ(tallies.members, c.members);
    EXPECT_EQ(tallies.version, book.Version());
    for (const Tally& tally : tallies.names) EXPECT_EQ(tallies.Find(tally.name, tally.sex), &tally);
    EXPECT_EQ(tallies.Find("王秀林", "male"), nullptr);
  }
}

}  // namespace
}  // namespace tavrin::share::test
