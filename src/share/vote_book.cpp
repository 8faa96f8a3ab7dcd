#include "share/vote_book.h"

#include <algorithm>
#include <chrono>
#include <tuple>
#include <utility>

#include "favourites/store.h"
#include "share/text_checks.h"

namespace tavrin::share {
namespace {

// SQLite's failure after what the book was doing, as the page shows it.
ShareError Worded(const SqliteError& error, const std::string& path) {
  const char* doing = "投票记录无法读写";
  switch (error.stage) {
    case SqliteError::Stage::kOpen:
      return ShareError("“" + path + "”打不开:" + error.what());
    case SqliteError::Stage::kExec:
    case SqliteError::Stage::kClose:
      doing = "投票记录无法写入收藏文件";
      break;
    case SqliteError::Stage::kPrepare:
      doing = "投票记录无法读取";
      break;
    case SqliteError::Stage::kStep:
      break;
  }
  return ShareError(std::string(doing) + ":" + error.what());
}

// Runs `work`, its SQLite failures worded as above.
template <typename Work>
auto Reworded(const std::string& path, Work work) {
  try {
    return work();
  } catch (const SqliteError& error) {
    throw Worded(error, path);
  }
}

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The members by the names they give, and one vote per member and kept name.
// Stores of version 2 may have them from sharing, so they are made only
// where they are not.
constexpr char kVoteTables[] =
    "CREATE TABLE IF NOT EXISTS member ("
    " id INTEGER PRIMARY KEY,"
    " display_name TEXT NOT NULL UNIQUE CHECK (length(display_name) BETWEEN 1 AND 20),"
    " joined INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS vote ("
    " member_id INTEGER NOT NULL REFERENCES member (id),"
    " name TEXT NOT NULL,"
    " sex TEXT NOT NULL CHECK (sex IN ('male', 'female')),"
    " rating INTEGER NOT NULL CHECK (rating BETWEEN 1 AND 5),"
    " comment TEXT NOT NULL DEFAULT '' CHECK (length(comment) <= 500),"
    " version INTEGER NOT NULL UNIQUE,"
    " changed INTEGER NOT NULL,"
    " PRIMARY KEY (member_id, name, sex));";

// The tables for a store whose layout lacked them: one made by a program
// that opened it before it added them (AddVoteTables).
void MakeMissingTables(SqliteDb& db) {
  if (db.QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('member', 'vote')") == 2) {
    return;
  }
  SqliteTransaction transaction(db);
  db.Exec(kVoteTables);
  transaction.Commit();
}

}  // namespace

void AddVoteTables() { AddToSchema({"votes", kVotesSchemaVersion, kVoteTables}); }

const Tally* Tallies::Find(const std::string& name, const std::string& sex) const {
  const auto found = std::lower_bound(names.begin(), names.end(), std::tie(name, sex),
                                      [](const auto& t, const auto& key) { return std::tie(t.name, t.sex) < key; });
  return found != names.end() && found->name == name && found->sex == sex ? &*found : nullptr;
}

Tallies TallyVotes(std::vector<Vote> votes) {
  Tallies tallies;
  std::sort(votes.begin(), votes.end(), [](const Vote& a, const Vote& b) { return a.version < b.version; });
  for (const Vote& vote : votes) {
    tallies.version = std::max(tallies.version, vote.version);
    if (std::find(tallies.members.begin(), tallies.members.end(), vote.member) == tallies.members.end())
      tallies.members.push_back(vote.member);
  }
  std::stable_sort(votes.begin(), votes.end(),
                   [](const Vote& a, const Vote& b) { return std::tie(a.name, a.sex) < std::tie(b.name, b.sex); });
  for (Vote& vote : votes) {
    if (tallies.names.empty() || tallies.names.back().name != vote.name || tallies.names.back().sex != vote.sex) {
      tallies.names.push_back({vote.name, vote.sex, 0, {}});
    }
    tallies.names.back().votes.push_back(std::move(vote));
  }
  for (Tally& tally : tallies.names) {
    int sum = 0;
    for (const Vote& vote : tally.votes) sum += vote.rating;
    tally.average = static_cast<double>(sum) / static_cast<double>(tally.votes.size());
  }
  return tallies;
}

bool Acceptable(const Vote& vote) {
  return vote.version > 0 && (vote.sex == "male" || vote.sex == "female") && !vote.name.empty() && IsUtf8(vote.name) &&
         !CheckRating(vote.rating) && !CheckMember(vote.member) && !CheckComment(vote.comment);
}

const char* SqliteVoteBook::TablesSql() { return kVoteTables; }

SqliteVoteBook::SqliteVoteBook(std::string path, int busyTimeoutMs)
    : path_(std::move(path)), busyTimeoutMs_(busyTimeoutMs) {
  AddVoteTables();
  Reworded(path_, [&] {
    SqliteDb& db = Connection();
    if (db.QueryInt("PRAGMA application_id") != kFavouritesApplicationId) {
      throw ShareError("“" + path_ + "”不是 Tavrin 的收藏文件，不能在其中记录投票");
    }
    // The tables are the store's own from kVotesSchemaVersion on: an older
    // store is brought up to date as the store does it.
    if (db.QueryInt("PRAGMA user_version") < kVotesSchemaVersion) {
      try {
        FavouritesStore store(path_);
      } catch (const FavouritesError&) {
        // Said below: the tables are not there.
      }
    }
    if (db.QueryInt("PRAGMA user_version") < kVotesSchemaVersion) {
      throw ShareError("“" + path_ + "”是旧格式的收藏文件且无法升级，不能在其中记录投票");
    }
    MakeMissingTables(db);
  });
}

SqliteVoteBook::~SqliteVoteBook() = default;

SqliteDb SqliteVoteBook::Open() const {
  SqliteDb db = SqliteDb::Open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
  sqlite3_extended_result_codes(db.get(), 1);
  db.WaitWhenBusy(busyTimeoutMs_);
  // As the store opens its file: nothing in it runs, and a commit is on
  // the disk before it returns.
  db.RunNothingFromTheFile();
  db.Exec("PRAGMA synchronous = FULL");
  return db;
}

SqliteDb& SqliteVoteBook::Connection() {
  const std::thread::id self = std::this_thread::get_id();
  {
    std::lock_guard lock(connectionsMutex_);
    if (auto found = connections_.find(self); found != connections_.end()) return found->second;
  }
  SqliteDb db = Open();
  std::lock_guard lock(connectionsMutex_);
  // A thread id can be reused after its thread ended: the new thread takes
  // over the old connection's place.
  return connections_[self] = std::move(db);
}

Vote SqliteVoteBook::Add(const VoteInput& input) {
  return Reworded(path_, [&] {
    SqliteDb& db = Connection();
    std::lock_guard write(writeMutex_);
    SqliteTransaction transaction(db);
    Vote vote{0, input.member, input.name, input.sex, input.rating, input.comment, Now()};
    db.Prepare("INSERT INTO member (display_name, joined) VALUES (?1, ?2) ON CONFLICT (display_name) DO NOTHING")
        .Bind(1, input.member)
        .Bind(2, vote.changed)
        .Step();
    SqliteStatement id = db.Prepare("SELECT id FROM member WHERE display_name = ?1");
    if (!id.Bind(1, input.member).Step()) throw ShareError(std::string("投票记录无法写入:") + sqlite3_errmsg(db.get()));
    const std::int64_t memberId = id.Int(0);
    vote.version = db.QueryInt("SELECT coalesce(max(version), 0) + 1 FROM vote");
    SqliteStatement insert = db.Prepare(
        "INSERT INTO vote (member_id, name, sex, rating, comment, version, changed)"
        " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
        " ON CONFLICT (member_id, name, sex) DO UPDATE SET rating = excluded.rating,"
        " comment = excluded.comment, version = excluded.version, changed = excluded.changed");
    insert.Bind(1, memberId).Bind(2, input.name).Bind(3, input.sex).Bind(4, input.rating).Bind(5, input.comment);
    insert.Bind(6, vote.version).Bind(7, vote.changed).Step();
    transaction.Commit();
    return vote;
  });
}

std::vector<Vote> SqliteVoteBook::Since(std::int64_t version, std::size_t limit) {
  return Reworded(path_, [&] {
    SqliteStatement select = Connection().Prepare(
        "SELECT vote.version, member.display_name, vote.name, vote.sex, vote.rating, vote.comment, vote.changed"
        " FROM vote JOIN member ON member.id = vote.member_id"
        " WHERE vote.version > ?1 ORDER BY vote.version");
    select.Bind(1, version);
    std::vector<Vote> votes;
    while (votes.size() < limit && select.Step()) {
      Vote vote{select.Int(0), select.Text(1), select.Text(2), select.Text(3), 0, select.Text(5), select.Int(6)};
      const std::int64_t rating = select.Int(4);
      vote.rating = rating < 0 || rating > 100 ? 0 : static_cast<int>(rating);
      if (Acceptable(vote)) votes.push_back(std::move(vote));
    }
    return votes;
  });
}

Tallies SqliteVoteBook::ReadTallies() {
  // One statement: the votes of one moment.
  return TallyVotes(Since(0, static_cast<std::size_t>(INT64_MAX)));
}

std::vector<Member> SqliteVoteBook::Members() {
  return Reworded(path_, [&] {
    SqliteStatement select = Connection().Prepare(
        "SELECT member.display_name, count(vote.member_id), member.joined FROM member"
        " LEFT JOIN vote ON vote.member_id = member.id GROUP BY member.id ORDER BY member.joined, member.id");
    std::vector<Member> members;
    while (select.Step()) members.push_back({select.Text(0), select.Int(1), select.Int(2)});
    return members;
  });
}

bool SqliteVoteBook::RemoveMember(const std::string& name) {
  return Reworded(path_, [&] {
    SqliteDb& db = Connection();
    std::lock_guard write(writeMutex_);
    SqliteTransaction transaction(db);
    SqliteStatement id = db.Prepare("SELECT id FROM member WHERE display_name = ?1");
    if (!id.Bind(1, name).Step()) return false;
    const std::int64_t memberId = id.Int(0);
    const std::int64_t latest = db.QueryInt("SELECT coalesce(max(version), 0) FROM vote");
    db.Prepare("DELETE FROM vote WHERE member_id = ?1").Bind(1, memberId).Step();
    db.Prepare("DELETE FROM member WHERE id = ?1").Bind(1, memberId).Step();
    // The latest vote left takes a version after the latest there was: the
    // next vote's is above what every page has seen, and whoever watches
    // the version sees a change.
    db.Prepare("UPDATE vote SET version = ?1 WHERE version = (SELECT max(version) FROM vote)")
        .Bind(1, latest + 1)
        .Step();
    transaction.Commit();
    return true;
  });
}

std::int64_t SqliteVoteBook::Version() {
  return Reworded(path_, [&] { return Connection().QueryInt("SELECT coalesce(max(version), 0) FROM vote"); });
}

}  // namespace tavrin::share
