// The favourites store's own helpers, shared by its files (store.cpp: the
// operations; store_schema.cpp: the layout; store_file.cpp and
// store_open.cpp: the file's life; store_rows.cpp: a favourite's rows).
// Included by these files only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/sqlite.h"
#include "favourites/favourite.h"
#include "favourites/favourites_text.h"
#include "favourites/store.h"

namespace tavrin::store_detail {

using Statement = SqliteStatement;

// ---- The layout (store_schema.cpp)

// The columns a store of this layout is read by, in the order ReadRow reads.
std::string Columns(int version);
// The tables of a store made before stores were marked as ours: the first
// layout, exactly as this program wrote it.
bool FirstLayout(const SqliteDb& db);
// Runs one layout step in the caller's transaction: the additions of its
// version first, then its own SQL and what fills it.
void RunStep(const SqliteDb& db, const SchemaStep& step, std::span<const SchemaAddition> additions);
std::int64_t PragmaInt(const SqliteDb& db, const char* pragma);

// ---- Failures, as the user reads them (store.cpp)

// SQLite took no row of a write (a constraint that ignores it); turned into
// a FavouritesError that says so.
inline constexpr int kSwallowed = -1;
inline SqliteError Swallowed() { return SqliteError(SqliteError::Stage::kStep, kSwallowed, ""); }
// The reason of a failed SQLite call: its meaning, then SQLite's own words.
std::string SqlReason(const SqliteError& error);
// "收藏文件“<path>”" (GBK, as the messages are).
std::string Subject(const std::string& path);
FavouritesError WriteError(const std::string& path, const SqliteError& error);
FavouritesError ReadError(const std::string& path, const SqliteError& error);

// ---- The file on disk (store_file.cpp)

std::string DirectoryOf(const std::string& path);
bool Exists(const std::string& path);
// The unfinished copies that programs killed while building a new store left
// beside it (path.new-XXXXXX, with their journal files), once they are older
// than any build takes; a copy being built now is left alone.
void RemoveStaleCopies(const std::string& path, std::int64_t now);
// A path SQLite would read as something other than a file: an in-memory
// database or a URI. nullptr when it is a file name.
const char* NotAFileName(const std::string& path);
// A file name as a file: URI, every byte but the unreserved ones and "/"
// percent-encoded, so that SQLite reads no part of it as anything else.
std::string FileUri(const std::string& path);

// ---- A favourite's rows (store_rows.cpp)

inline Statement& BindGbk(Statement& statement, int index, const GbkText& held) {
  return statement.Bind(index, StoredText(held).View());
}

// The times are given apart, so that a favourite is written with other times
// without a copy.
struct Times {
  std::int64_t added, changed;
};

// The rows of the kept advice's warnings, written in place of the ones a
// favourite had.
class WarningRows {
 public:
  explicit WarningRows(const SqliteDb& db);
  // `name` as the store keeps it; no advice: no warnings.
  void Replace(const Utf8Text& name, std::string_view sex, const std::optional<KeptAdvice>& advice);

 private:
  Statement clear_, add_;
};

// The write of one favourite, prepared once for many.
class Writer {
 public:
  Writer(const SqliteDb& db, bool typed) : db_(db), typed_(typed) {}
  // Writes the favourite: the parts in `fields` of the one kept, or all of
  // a new one. Throws SqliteError when the database took no row (a constraint
  // that ignores the write, or a new one kept already).
  void Write(const Favourite& f, bool kept, unsigned fields);
  // False when the database took no row.
  bool TryWrite(const Favourite& f, bool kept, unsigned fields, Times times);

 private:
  const SqliteDb& db_;
  bool typed_;
  std::map<unsigned, Statement> statements_;
  std::optional<WarningRows> warnings_;
};

// Reads kept favourites, with their advice's warnings when the store has
// them in rows of their own (`typed`); each query prepared once.
class Reader {
 public:
  Reader(const SqliteDb& db, int version) : db_(db), version_(version), typed_(version >= kVotesSchemaVersion) {}

  std::optional<Favourite> Find(const GbkText& name, Sex sex);
  // Every favourite, the oldest first.
  std::vector<Favourite> All() const;

 private:
  const SqliteDb& db_;
  int version_;
  bool typed_;
  Statement one_, warnings_;
};

// `kept` with the parts of `given` that `fields` names.
Favourite Overlay(Favourite kept, const Favourite& given, unsigned fields);
// The same favourite but for the times.
bool SameContent(const Favourite& a, const Favourite& b);

}  // namespace tavrin::store_detail
