// The favourites store: one SQLite file of the user's own, shared by the
// window and the command line.
//
// Every change is one transaction, committed to disk (WAL, synchronous FULL)
// before the call returns, so a favourite the caller was told is kept
// survives the program being killed. Two programs may hold the store at once:
// a writer waits for the other's transaction (busy timeout) instead of
// failing. A change reads what it changes inside its own transaction and
// writes only the parts it gives, so it never writes back a stale copy of
// another program's change.
//
// The file is marked as ours (PRAGMA application_id) and carries its layout
// version in PRAGMA user_version. An older layout is brought up to date in
// steps, each step one transaction; a layout newer than this program knows
// is opened read-only and never changed; a database that is not ours is
// never changed at all. Whether a file is damaged is SQLite's own verdict,
// read under SQLite's locks. A damaged file is renamed with the date and
// time only while this program holds SQLite's exclusive lock on it (so no
// other program has it open), kept beside the new empty store that replaces
// it, and never written over. A new store is built whole in a file of its
// own and then linked into place, so that many programs starting at once
// agree on one store.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

#include "base/sqlite.h"
#include "favourites/favourite.h"

namespace tavrin {

// A store that cannot be opened, read or written, or a favourite refused.
// The text (GBK) names the file and says why.
class FavouritesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Seconds since 1970-01-01 UTC; the system clock unless a test sets its own.
using WallClock = std::function<std::int64_t()>;
std::int64_t SystemSeconds();

// One step of the store's layout: the SQL that brings a store of version
// `version - 1` to `version`, and what fills the new tables and columns from
// the ones there (in the same transaction), when the SQL alone does not.
struct SchemaStep {
  int version;
  const char* sql;
  void (*fill)(const SqliteDb& db) = nullptr;
};
inline constexpr int kFavouritesSchemaVersion = 3;
// The first version whose stores hold the kept advice's 推荐度 and warnings
// in columns of their own, and the family's votes (the tables that share
// adds at this version).
inline constexpr int kVotesSchemaVersion = 3;
// PRAGMA application_id of a store: "Tvfv".
inline constexpr std::int32_t kFavouritesApplicationId = 0x54766676;
// The steps from an empty file to kFavouritesSchemaVersion.
std::span<const SchemaStep> FavouritesSchema();

// Tables another library keeps in the store's file (the family's votes,
// share/vote_book.h): their SQL runs in the transaction of the step of
// `version`, before the step's own SQL, whenever a store is made or brought
// to that version. Running it on a store that has them must change nothing.
struct SchemaAddition {
  const char* name;
  int version;
  const char* sql;
};
// Adds the tables to the layout of every store this program opens from now
// on (StoreOptions' default); an addition of a name added already is left
// as it was. Safe to call from any thread.
void AddToSchema(const SchemaAddition& addition);
// The additions so far, in the order they were added.
std::vector<SchemaAddition> SchemaAdditions();

struct StoreOptions {
  WallClock clock;  // SystemSeconds when empty
  // The layout steps this program knows; tests give more to prove upgrades.
  std::span<const SchemaStep> schema = FavouritesSchema();
  std::vector<SchemaAddition> additions = SchemaAdditions();
  const char* vfs = nullptr;  // the SQLite file layer; tests inject faults through one
  int busyTimeoutMs = 5000;
  // Only to read (listing, exporting): the file is never written, no layout
  // is brought up to date, and a full disk does not stop the reading.
  bool readOnly = false;
};

// The environment variable that names the store file (for tests and for a
// second store).
inline constexpr const char* kFavouritesVariable = "TAVRIN_FAVOURITES";
using EnvironmentLookup = std::function<const char*(const char* name)>;

// Where the store lives when no file is given: $TAVRIN_FAVOURITES, else
// $XDG_DATA_HOME/tavrin/favourites.db (an absolute XDG_DATA_HOME only), else
// $HOME/.local/share/tavrin/favourites.db. Empty when there is no HOME.
std::string DefaultFavouritesPath(const EnvironmentLookup& getenv);
// Creates the directories above the store file that do not exist yet, mode
// 0700 (they hold the user's own data); throws FavouritesError.
void MakeStoreDirectory(const std::string& storePath);

class FavouritesStore {
 public:
  // Opens the store at `path` (UTF-8 file name), creating it when there is
  // none. Throws FavouritesError when it can be neither opened nor made, and
  // for a path that is no file name ("", ":memory:", a "file:" URI).
  explicit FavouritesStore(std::string path, StoreOptions options = {});
  ~FavouritesStore();
  FavouritesStore(const FavouritesStore&) = delete;
  FavouritesStore& operator=(const FavouritesStore&) = delete;

  const std::string& Path() const { return path_; }
  int SchemaVersion() const { return version_; }
  // Open read-only: a newer layout, or a file or directory that cannot be
  // written. Every change then throws FavouritesError.
  bool ReadOnly() const { return readOnly_; }
  // What the user must be told about opening (GBK): a damaged file kept
  // aside, a store opened read-only. Empty when all went well.
  const std::string& Notice() const { return notice_; }
  // The name the damaged file was kept under, or empty.
  const std::string& KeptAside() const { return keptAside_; }

  // Every favourite, the oldest first.
  std::vector<Favourite> List() const;
  std::optional<Favourite> Find(const GbkText& name, Sex sex) const;

  enum class Saved { kAdded, kChanged };
  // Keeps the favourite, or changes the one kept under its name and sex: then
  // only the parts in `favourite.fields` are written, and its time of adding
  // stays. Stamps the times from the clock. A write that the database did
  // not take (a constraint that ignores it) throws FavouritesError.
  Saved Save(Favourite favourite);
  // False when there is no such favourite.
  bool Remove(const GbkText& name, Sex sex);
  // Removes these favourites in one transaction (all or none); the number
  // that were kept.
  std::size_t Remove(const std::vector<Favourite>& favourites);
  bool SetNote(const GbkText& name, Sex sex, const GbkText& note);
  bool SetRating(const GbkText& name, Sex sex, int rating);

  struct MergeCounts {
    int added = 0;
    int changed = 0;
    int unchanged = 0;
  };
  // Adds favourites from elsewhere in one transaction and deletes nothing: a
  // new one is added as it is; one kept already takes the parts the other
  // gives when the other was changed later (a time of change after now
  // counts as now; none counts as not later), and keeps the earlier time of
  // adding. One whose parts are all as kept counts as unchanged.
  MergeCounts Merge(const std::vector<Favourite>& favourites);

 private:
  enum class Opened { kReady, kAgain };
  Opened OpenOnce();
  // No file at the path: a new store is made (errno tells why stat failed).
  Opened CreateMissing();
  // Why a store file of this mode is opened only to read ("-": asked to; empty:
  // it is not); throws FavouritesError when it is no file to open.
  std::string ReadOnlyReason(mode_t mode) const;
  // The store's pages by SQLite's own verdict, connected; nullopt when a
  // damaged file was put aside and the store is to be opened again.
  std::optional<std::int64_t> CheckedPages();
  void SetUpForWriting();
  void Connect(bool writable, bool heapIndex = false);
  void Close();
  void ReplaceLocked(const std::string& why);
  void CreateStore();
  void CheckOwnership();
  void Migrate();
  std::int64_t Now() const;
  // Runs `change` in one transaction and commits it; a store opened
  // read-only, or a change or commit that fails, throws FavouritesError and
  // leaves the store as it was.
  template <typename Change>
  auto Commit(Change change);
  // One UPDATE or DELETE of the favourite (?1 name, ?2 sex), committed;
  // false when there is no such favourite, FavouritesError when the
  // database did not take it.
  // `removes`: the favourite goes, and its advice's warnings with it.
  template <typename BindRest>
  bool ChangeOne(const char* sql, const GbkText& name, Sex sex, BindRest bindRest, bool removes = false);
  // The store holds the advice's 推荐度 and warnings in columns of their own.
  bool Typed() const { return version_ >= kVotesSchemaVersion; }

  std::string path_;
  StoreOptions options_;
  SqliteDb db_;
  int version_ = 0;
  bool readOnly_ = false;
  bool legacy_ = false;              // ours, but made before stores were marked
  std::string readOnlyReason_;       // GBK
  std::vector<std::string> strays_;  // empty -wal/-shm this reading made
  std::string notice_;
  std::string keptAside_;
};

}  // namespace tavrin
