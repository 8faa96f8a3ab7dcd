// The family's votes: one rating (1 to 5 stars) and an optional comment per
// member and shared name. A member voting again on a name replaces their
// vote. Every stored vote carries a version, larger than any before it, so
// that a page asks only for what changed since it last looked.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/sqlite.h"

namespace tavrin::share {

// A vote that could not be stored or read; the text (UTF-8) says why.
class ShareError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct VoteInput {
  std::string member;   // the display name, checked (text_checks.h)
  std::string name;     // a shared full name
  std::string sex;      // "male" or "female"
  int rating = 0;       // 1 to 5
  std::string comment;  // may be empty
};

struct Vote {
  std::int64_t version = 0;
  std::string member, name, sex;
  int rating = 0;
  std::string comment;
  std::int64_t changed = 0;  // seconds since 1970 (UTC)
};

// The family's votes on one shared name: their average, and each member's
// vote in the order they voted.
struct Tally {
  std::string name, sex;
  double average = 0;  // of the ratings, 1 to 5
  std::vector<Vote> votes;
};

// Every name voted on (by name, then sex) and the members who have voted,
// in the order they first did; `version` is that of the latest vote read.
struct Tallies {
  std::vector<Tally> names;
  std::vector<std::string> members;
  std::int64_t version = 0;

  // The tally of a name, or null when nobody voted on it.
  const Tally* Find(const std::string& name, const std::string& sex) const;
};

// The tallies of `votes` (any order; one vote per member and name).
Tallies TallyVotes(std::vector<Vote> votes);

// Whether a vote read back is one a page could have posted: a shared sex,
// a rating of 1 to 5 stars, a display name and a comment that pass the
// checks of what is typed.
bool Acceptable(const Vote& vote);

// A family member as the store knows them, and how many votes they have.
struct Member {
  std::string name;
  std::int64_t votes = 0;
  std::int64_t joined = 0;  // seconds since 1970 (UTC)
};

class VoteBook {
 public:
  virtual ~VoteBook() = default;
  // Stores the vote and returns it as stored; it is durable when this
  // returns. Throws ShareError when it cannot be stored.
  virtual Vote Add(const VoteInput& vote) = 0;
  // The votes whose version is above `version`, oldest first, at most
  // `limit`; those that are not such as a page may post (a store of another
  // program or an older one may hold them) are passed over.
  virtual std::vector<Vote> Since(std::int64_t version, std::size_t limit) = 0;
  // The version of the latest vote; 0 before the first.
  virtual std::int64_t Version() = 0;
};

// Adds the vote tables to the layout of every favourites store this program
// opens from now on (favourites/store.h, AddToSchema), so that a store made
// or brought up to date holds them whether or not it is ever shared. A
// program calls it before it opens its first store; a vote book calls it
// itself.
void AddVoteTables();

// The votes as tables of the favourites store file (member, vote), which
// the store's layout holds (AddVoteTables). Safe to call from many threads: each thread has its own
// connection; writes are BEGIN IMMEDIATE transactions, and a vote is
// returned only after its COMMIT (WAL, synchronous FULL). Other programs
// may hold the file at once: a writer waits for them up to the busy timeout.
class SqliteVoteBook : public VoteBook {
 public:
  // Opens `path`, a favourites store (it must carry the store's mark); a
  // store of a layout without the tables is brought up to date first, and
  // one made without them gets them.
  explicit SqliteVoteBook(std::string path, int busyTimeoutMs = 5000);
  ~SqliteVoteBook() override;
  SqliteVoteBook(const SqliteVoteBook&) = delete;
  SqliteVoteBook& operator=(const SqliteVoteBook&) = delete;

  Vote Add(const VoteInput& input) override;
  std::vector<Vote> Since(std::int64_t version, std::size_t limit) override;
  std::int64_t Version() override;
  // Every vote, as tallies; reads the file once.
  Tallies ReadTallies();
  // Every member, in the order they joined, each display name as stored.
  std::vector<Member> Members();
  // Forgets a member and their votes; false when none has that name. The
  // version moves on (the latest vote left takes the next one), so that
  // whoever watches it reads the votes again and no later vote is missed.
  bool RemoveMember(const std::string& name);

  // The SQL that makes the tables; running it again changes nothing.
  static const char* TablesSql();

 private:
  SqliteDb& Connection();
  SqliteDb Open() const;

  std::string path_;
  int busyTimeoutMs_;
  std::mutex connectionsMutex_;
  std::map<std::thread::id, SqliteDb> connections_;
  // Writers of this process take turns here rather than in SQLite's busy
  // loop, which is not fair to fifty of them at once.
  std::mutex writeMutex_;
};

}  // namespace tavrin::share
