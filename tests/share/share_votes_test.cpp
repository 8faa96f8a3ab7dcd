// The votes in the favourites store: many members at once lose none, a vote
// again replaces the member's vote, the tables are made once and leave the
// favourites as they were.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>
#include <vector>

#include "share_testutil.h"

namespace tavrin::share::test {
namespace {

TEST(ShareVotes, FiftyMembersAtOnceLoseNoVote) {
  constexpr int kMembers = 50;
  constexpr int kVotesEach = 20;
  SharedList list;
  for (int i = 0; i < kVotesEach; ++i) list.names.push_back(Shared("王" + std::to_string(i)));
  ServerOptions options;
  options.requests = {1e6, 1e6};  // one address for all fifty: no limit here
  options.votes = {1e6, 1e6};
  options.membersPerShare = options.membersPerClient = kMembers;
  Sharing sharing(list, options);
  const int port = sharing.server->Port();
  std::atomic<int> acknowledged{0};
  std::vector<std::thread> members;
  for (int m = 0; m < kMembers; ++m) {
    members.emplace_back([&, m] {
      for (int v = 0; v < kVotesEach; ++v) {
        const std::string body = R"({"member":"家人)" + std::to_string(m) + R"(","name":"王)" + std::to_string(v) +
                                 R"(","sex":"female","rating":)" + std::to_string(1 + (m + v) % 5) +
                                 R"(,"comment":"第)" + std::to_string(v) + R"(票"})";
        if (Exchange(port, Post(sharing.Path("/api/votes"), body), std::chrono::seconds(30)).status == 200) {
          ++acknowledged;
        }
      }
    });
  }
  for (std::thread& t : members) t.join();
  EXPECT_EQ(acknowledged.load(), kMembers * kVotesEach);
  // Every vote is there, each with a version of its own, as a page reads them.
  const auto reply = nlohmann::json::parse(Exchange(port, Get(sharing.Path("/api/votes?since=0"))).body);
  std::set<std::string> seen;
  std::set<std::int64_t> versions;
  for (const auto& vote : reply["votes"]) {
    seen.insert(vote["member"].get<std::string>() + "/" + vote["name"].get<std::string>());
    versions.insert(vote["version"].get<std::int64_t>());
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kMembers * kVotesEach));
  EXPECT_EQ(versions.size(), seen.size());
  EXPECT_EQ(reply["version"], kMembers * kVotesEach);
}

TEST(ShareVotes, AVoteAgainReplacesTheMembersVote) {
  TempDir dir;
  const std::string path = dir.Path() + "/favourites.db";
  {
    FavouritesStore store(path);
  }
  SqliteVoteBook book(path);
  struct Step {
    VoteInput vote;
    std::size_t votes;  // kept afterwards
  };
  const Step steps[] = {
      {{"爷爷", "王秀林", "female", 3, "还行"}, 1},
      {{"奶奶", "王秀林", "female", 5, ""}, 2},
      {{"爷爷", "王秀林", "female", 4, "再想想,也不错"}, 2},
      {{"爷爷", "王秀林", "male", 2, ""}, 3},
  };
  std::int64_t last = 0;
  for (const Step& step : steps) {
    const Vote stored = book.Add(step.vote);
    EXPECT_GT(stored.version, last);
    last = stored.version;
    EXPECT_EQ(book.Since(0, 100).size(), step.votes);
  }
  const std::vector<Vote> votes = book.Since(0, 100);
  EXPECT_EQ(votes[1].member, "爷爷");
  EXPECT_EQ(votes[1].rating, 4);
  EXPECT_EQ(votes[1].comment, "再想想,也不错");
  EXPECT_EQ(book.Since(last - 1, 100).size(), 1u);
  EXPECT_EQ(book.Version(), last);
}

TEST(ShareVotes, TablesAreMadeOnceAndKeepTheFavourites) {
  TempDir dir;
  const std::string path = dir.Path() + "/favourites.db";
  Favourite kept;
  kept.name = GbkText("\xcd\xf5\xd0\xe3\xc1\xd6");  // 王秀林 as the core writes it (GBK)
  kept.score = 90;
  kept.note = GbkText("\xba\xc3");  // 好
  {
    FavouritesStore(path).Save(kept);
  }
  {
    SqliteVoteBook(path).Add({"爷爷", "王秀林", "male", 5, ""});
  }
  {
    SqliteVoteBook again(path);  // the tables are there: made again, nothing changes
    EXPECT_EQ(again.Since(0, 10).size(), 1u);
  }
  FavouritesStore store(path);
  ASSERT_EQ(store.List().size(), 1u);
  EXPECT_EQ(store.List()[0].note, kept.note);
  EXPECT_FALSE(store.ReadOnly());
  // A SQLite file that is not a favourites store is not written.
  const std::string other = dir.Path() + "/other.db";
  sqlite3* db = nullptr;
  sqlite3_open(other.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_THROW(SqliteVoteBook{other}, ShareError);
  EXPECT_THROW(SqliteVoteBook{dir.Path() + "/none.db"}, ShareError);
}

TEST(ShareVotes, AStoreOfAnEarlierLayoutIsBroughtUpToDateFirst) {
  TempDir dir;
  const std::string path = dir.Path() + "/favourites.db";
  StoreOptions earlier;
  earlier.schema = FavouritesSchema().first(2);
  ASSERT_EQ(FavouritesStore(path, earlier).SchemaVersion(), 2);
  EXPECT_EQ(SqliteVoteBook(path).Add({"爷爷", "王秀林", "male", 5, ""}).version, 1);
  EXPECT_EQ(FavouritesStore(path).SchemaVersion(), kFavouritesSchemaVersion);
}

}  // namespace
}  // namespace tavrin::share::test
