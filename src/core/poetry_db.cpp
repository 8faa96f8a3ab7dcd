#include "core/poetry_db.h"

#include <sqlite3.h>

#include <memory>

#include "chars/encoding.h"

namespace tavrin {

namespace {

// A database text (UTF-8) as GBK; a character GBK lacks becomes "?".
std::string ToCoreText(const unsigned char* utf8, int bytes) {
  return Utf8ToGbkLossy(std::string_view(reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(bytes)));
}

// The database's own error text, after the file it concerns, so the user
// learns which file is at fault: Cannot read the poem database "<path>". <text>
std::string GbkFromDatabase(const std::string& path, const char* message) {
  const std::string text =
      "Cannot read the poem database \"" + path + "\". " + (message ? message : "unknown database error");
  return ToCoreText(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

}  // namespace

int PoemTable::Column(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::optional<PoemTable> QueryPoems(const std::string& path, std::string& error) {
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, CloseDatabase> db(raw);
  if (opened != SQLITE_OK) {
    error = GbkFromDatabase(path, db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(opened));
    return std::nullopt;
  }
  sqlite3_stmt* rawStatement = nullptr;
  if (sqlite3_prepare_v2(db.get(), kPoetryQuery, -1, &rawStatement, nullptr) != SQLITE_OK) {
    error = GbkFromDatabase(path, sqlite3_errmsg(db.get()));
    return std::nullopt;
  }
  std::unique_ptr<sqlite3_stmt, FinalizeStatement> statement(rawStatement);
  PoemTable table;
  const int columns = sqlite3_column_count(statement.get());
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(statement.get(), i);
    table.columns.push_back(name ? name : "");
  }
  int step;
  while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < columns; ++i) {
      const unsigned char* text = sqlite3_column_text(statement.get(), i);
      row.push_back(text ? ToCoreText(text, sqlite3_column_bytes(statement.get(), i)) : std::string());
    }
    table.rows.push_back(std::move(row));
  }
  if (step != SQLITE_DONE) {
    error = GbkFromDatabase(path, sqlite3_errmsg(db.get()));
    return std::nullopt;
  }
  return table;
}

}  // namespace tavrin
