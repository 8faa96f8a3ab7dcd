// The poem database "poetry.db" (SQLite), read-only: the result of
// "select * from poetry", its column names and rows, with every text as GBK
// like the core's other texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrin {

inline constexpr const char* kPoetryFile = "poetry.db";
inline constexpr const char* kPoetryQuery = "select * from poetry";

struct PoemTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  // The index of a column by name, or -1.
  int Column(const std::string& name) const;
};

// Opens the file read-only and runs the query. On failure returns nullopt and
// puts the database's own error text (GBK), after the file's path, into `error`.
std::optional<PoemTable> QueryPoems(const std::string& path, std::string& error);

}  // namespace tavrin
