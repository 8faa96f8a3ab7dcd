#include "sources/library_build.h"

#include <cstdio>
#include <istream>
#include <vector>

#include "sources/library_text.h"
#include "sources/sqlite_handle.h"

namespace tavrin::sources {

namespace {

constexpr const char* kSchema =
    "CREATE TABLE texts (id INTEGER PRIMARY KEY, content TEXT NOT NULL, collection TEXT NOT NULL,"
    " dynasty TEXT NOT NULL, title TEXT NOT NULL, author TEXT NOT NULL);"
    "CREATE INDEX texts_by_collection ON texts (collection, id);"
    "CREATE VIRTUAL TABLE line_index USING fts5 (chars, content='', columnsize=0);"
    "CREATE VIRTUAL TABLE text_index USING fts5 (title, author, content, content='', columnsize=0);";

void Execute(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw LibraryError(std::string("library build: ") + text);
  }
}

std::vector<std::string> SplitTabs(const std::string& row) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (std::size_t at; (at = row.find('\t', from)) != std::string::npos; from = at + 1) {
    fields.push_back(row.substr(from, at - from));
  }
  fields.push_back(row.substr(from));
  return fields;
}

std::string Unescape(const std::string& content) {
  std::string text;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\\' && i + 1 < content.size() && content[i + 1] == 'n') {
      text += '\n';
      ++i;
    } else {
      text += content[i];
    }
  }
  return text;
}

void Run(sqlite3* db, sqlite3_stmt* statement) {
  Step(db, statement);
  sqlite3_reset(statement);
}

}  // namespace

BuildCounts BuildLibrary(std::istream& source, const std::string& databasePath) {
  std::remove(databasePath.c_str());
  Database db = OpenDatabase(databasePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  Execute(db.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;");
  Execute(db.get(), kSchema);
  Execute(db.get(), "BEGIN");
  Statement text = Prepare(db.get(), "INSERT INTO texts VALUES (?, ?, ?, ?, ?, ?)");
  Statement line = Prepare(db.get(), "INSERT INTO line_index (rowid, chars) VALUES (?, ?)");
  Statement whole = Prepare(db.get(), "INSERT INTO text_index (rowid, title, author, content) VALUES (?, ?, ?, ?)");
  BuildCounts counts;
  std::string row;
  long previousId = 0;
  while (std::getline(source, row)) {
    const std::vector<std::string> fields = SplitTabs(row);
    if (fields.size() != 6) throw LibraryError("library source: row " + std::to_string(counts.texts + 1) + " is malformed");
    const long id = std::stol(fields[0]);
    if (id <= previousId || id >= (1L << 24)) throw LibraryError("library source: id " + fields[0] + " out of order");
    previousId = id;
    const std::string& collection = fields[1];
    const std::string content = Unescape(fields[5]);
    sqlite3_bind_int64(text.get(), 1, id);
    BindText(text.get(), 2, content);
    for (int i = 1; i <= 4; ++i) BindText(text.get(), i + 2, fields[static_cast<std::size_t>(i)]);
    Run(db.get(), text.get());

    sqlite3_bind_int64(whole.get(), 1, id);
    BindText(whole.get(), 2, IndexForm(fields[3]));
    BindText(whole.get(), 3, IndexForm(fields[4]));
    BindText(whole.get(), 4, IndexForm(content));
    Run(db.get(), whole.get());

    const std::vector<std::string> lines = TextLines(content);
    if (lines.size() >= (1U << 16)) throw LibraryError("library source: text " + fields[0] + " has too many lines");
    for (std::size_t number = 0; number < lines.size(); ++number) {
      sqlite3_bind_int64(line.get(), 1, LineKey(collection, id, static_cast<int>(number)));
      BindText(line.get(), 2, IndexForm(lines[number]));
      Run(db.get(), line.get());
    }
    ++counts.texts;
    counts.lines += static_cast<long>(lines.size());
  }
  Execute(db.get(), "COMMIT");
  Execute(db.get(), "INSERT INTO line_index (line_index) VALUES ('optimize');"
                    "INSERT INTO text_index (text_index) VALUES ('optimize');");
  Execute(db.get(), "VACUUM");
  return counts;
}

}  // namespace tavrin::sources
