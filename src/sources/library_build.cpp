#include "sources/library_build.h"

#include <cstdio>
#include <istream>
#include <vector>

#include "sources/library_error.h"
#include "sources/library_text.h"

namespace tavrin::sources {

namespace {

constexpr const char* kSchema =
    "CREATE TABLE texts (id INTEGER PRIMARY KEY, content TEXT NOT NULL, collection TEXT NOT NULL,"
    " dynasty TEXT NOT NULL, title TEXT NOT NULL, author TEXT NOT NULL);"
    "CREATE INDEX texts_by_collection ON texts (collection, id);"
    "CREATE VIRTUAL TABLE line_index USING fts5 (chars, content='', columnsize=0);"
    "CREATE VIRTUAL TABLE text_index USING fts5 (title, author, content, content='', columnsize=0);";

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

void Run(SqliteStatement& statement) {
  statement.Step();
  statement.Reset();
}

BuildCounts Build(std::istream& source, const std::string& databasePath) {
  std::remove(databasePath.c_str());
  SqliteDb db = SqliteDb::Open(databasePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA page_size=4096;");
  db.Exec(kSchema);
  SqliteTransaction transaction(db, SqliteTransaction::Kind::kDeferred);
  SqliteStatement text = db.Prepare("INSERT INTO texts VALUES (?, ?, ?, ?, ?, ?)", true);
  SqliteStatement line = db.Prepare("INSERT INTO line_index (rowid, chars) VALUES (?, ?)", true);
  SqliteStatement whole =
      db.Prepare("INSERT INTO text_index (rowid, title, author, content) VALUES (?, ?, ?, ?)", true);
  BuildCounts counts;
  std::string row;
  long previousId = 0;
  while (std::getline(source, row)) {
    const std::vector<std::string> fields = SplitTabs(row);
    if (fields.size() != 6)
      throw LibraryError("library source: row " + std::to_string(counts.texts + 1) + " is malformed");
    const long id = std::stol(fields[0]);
    if (id <= previousId || id >= (1L << 24)) throw LibraryError("library source: id " + fields[0] + " out of order");
    previousId = id;
    const std::string& collection = fields[1];
    const std::string content = Unescape(fields[5]);
    text.Bind(1, id).Bind(2, content);
    for (int i = 1; i <= 4; ++i) text.Bind(i + 2, fields[static_cast<std::size_t>(i)]);
    Run(text);

    whole.Bind(1, id).Bind(2, IndexForm(fields[3])).Bind(3, IndexForm(fields[4])).Bind(4, IndexForm(content));
    Run(whole);

    const std::vector<std::string> lines = TextLines(content);
    if (lines.size() >= (1U << 16)) throw LibraryError("library source: text " + fields[0] + " has too many lines");
    for (std::size_t number = 0; number < lines.size(); ++number) {
      line.Bind(1, LineKey(collection, id, static_cast<int>(number))).Bind(2, IndexForm(lines[number]));
      Run(line);
    }
    ++counts.texts;
    counts.lines += static_cast<long>(lines.size());
  }
  transaction.Commit();
  db.Exec(
      "INSERT INTO line_index (line_index) VALUES ('optimize');"
      "INSERT INTO text_index (text_index) VALUES ('optimize');");
  db.Exec("VACUUM");
  return counts;
}

}  // namespace

BuildCounts BuildLibrary(std::istream& source, const std::string& databasePath) {
  return AsLibrary([&] { return Build(source, databasePath); });
}

}  // namespace tavrin::sources
