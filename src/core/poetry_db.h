// The poem database "poetry.db" (SQLite), read-only: the result of
// "select * from poetry", its column names and rows, with every text as GBK
// like the core's other texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

inline constexpr const char* kPoetryFile = "poetry.db";
inline constexpr const char* kPoetryQuery = "select * from poetry";

// A text of the database longer than this many characters is cut to it:
// enough for any poem, and a pane lays it out at once.
inline constexpr std::size_t kMaxPoemTextChars = 100'000;

struct PoemTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  // For each row: a text of it was longer than kMaxPoemTextChars and is cut.
  std::vector<bool> cut;
  // The index of a column by name, or -1.
  int Column(const std::string& name) const;
};

// Opens the file read-only and immutable (no journal or side file is made or
// read beside it) and runs the query, bounded: the file must be a regular
// one of at most kPoetryMaxBytes (core/data_file.h), and the query may take
// only so many steps, so much time and so much text. On failure returns
// nullopt and puts the reason (GBK), after the file's path, into `error`.
std::optional<PoemTable> QueryPoems(const std::string& path, std::string& error);

}  // namespace tavrin
