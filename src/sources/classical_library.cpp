#include "sources/classical_library.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "core/data_file.h"
#include "sources/library_text.h"
#include "sources/sqlite_handle.h"

namespace tavrin::sources {

namespace {

// A library text (UTF-8) as GBK; the library is GBK-clean, but a character
// GBK lacks would become "?".
std::string ToGbk(const std::string& utf8) {
  if (auto gbk = Utf8ToGbk(utf8)) return *gbk;
  std::string kept;
  for (const std::string& c : Utf8Chars(utf8)) kept += Utf8ToGbk(c).value_or("?");
  return kept;
}

std::string Quoted(const std::string& phrase) { return "\"" + phrase + "\""; }

// The characters of a given name (GBK) in UTF-8; none unless each is a
// Chinese character.
std::vector<std::string> HanNameChars(std::string_view givenName) {
  std::vector<std::string> name;
  for (const std::string& c : SplitChars(givenName)) {
    std::string utf8 = GbkToUtf8(c);
    if (c.size() != 2 || !IsHan(utf8)) return {};
    name.push_back(std::move(utf8));
  }
  return name;
}

// The SQLite virtual machine steps between two looks at the clock.
constexpr int kStepsPerCheck = 1000;

int PastDeadline(void* deadline) {
  return std::chrono::steady_clock::now() > *static_cast<std::chrono::steady_clock::time_point*>(deadline);
}

}  // namespace

struct ClassicalLibrary::Impl {
  Database db;
  Statement phrase;      // lines holding the name's characters adjacent and in order
  Statement everyChar;   // lines holding each of the name's characters
  Statement text;        // one text
  Statement search;      // texts by the full-text index
  Statement checked;     // the same with the content, to check a search text with marks
  Statement scan;        // texts by a plain scan (a search text without Chinese)
  Statement collection;  // the texts of one collection
  Statement content;     // the content of one text
  Statement collections;  // the collections, in the library's order

  // When the running query must stop (a search only; the others run to the end).
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();

  // The text last read, by id: lines of one text follow one another in the
  // index, so most lookups hit it.
  std::int64_t cachedId = -1;
  std::vector<std::string> lines;
  std::string title, author, collectionName;

  void Load(std::int64_t id) {
    if (id == cachedId) return;
    sqlite3_stmt* statement = text.get();
    sqlite3_reset(statement);
    sqlite3_bind_int64(statement, 1, id);
    if (!Step(db.get(), statement)) {
      throw LibraryError("library index names text " + std::to_string(id) + ", not there", LibraryFault::kDamaged);
    }
    lines = TextLines(ColumnText(statement, 0));
    title = ColumnText(statement, 1);
    author = ColumnText(statement, 2);
    collectionName = ColumnText(statement, 3);
    cachedId = id;
  }

  // The line of a line key, as characters.
  std::vector<std::string> Line(std::int64_t key) {
    Load(TextIdOfLineKey(key));
    const auto number = static_cast<std::size_t>(LineNumberOfLineKey(key));
    if (number >= lines.size()) throw LibraryError("library index names a line its text does not have", LibraryFault::kDamaged);
    return Utf8Chars(lines[number]);
  }

  NameSource Source(const std::vector<std::string>& line, std::vector<int> positions) {
    std::string joined;
    for (const std::string& c : line) joined += c;
    return {ToGbk(joined), ToGbk(title), ToGbk(author), ToGbk(collectionName), std::move(positions), cachedId};
  }

  // Adds the lines holding the name's characters side by side and in order,
  // in the index's order, until `found` holds `limit`; true if every such
  // line was added.
  bool AddAdjacent(const std::vector<std::string>& name, std::size_t limit, std::set<std::vector<std::string>>& seen,
                   std::vector<NameSource>& found) {
    std::string words;
    for (const std::string& c : name) words += (words.empty() ? "" : " ") + c;
    std::vector<int> positions;
    sqlite3_stmt* statement = phrase.get();
    sqlite3_reset(statement);
    BindText(statement, 1, Quoted(words));
    bool complete = true;
    while (complete && Step(db.get(), statement)) {
      const std::vector<std::string> line = Line(sqlite3_column_int64(statement, 0));
      if (PlaceName(line, name, positions) != Fit::kAdjacent || !seen.insert(line).second) continue;
      found.push_back(Source(line, positions));
      complete = found.size() < limit;
    }
    sqlite3_reset(statement);
    return complete;
  }

  // Adds the lines holding the name's characters apart but in order, then
  // those holding them in any order, until `found` holds `limit`. The walk
  // stops once the lines in order fill the list.
  void AddScattered(const std::vector<std::string>& name, std::size_t limit, std::set<std::vector<std::string>>& seen,
                    std::vector<NameSource>& found) {
    std::string every;
    for (const std::string& c : name) every += (every.empty() ? "" : " AND ") + Quoted(c);
    std::vector<int> positions;
    std::vector<NameSource> anyOrder;
    sqlite3_stmt* statement = everyChar.get();
    sqlite3_reset(statement);
    BindText(statement, 1, every);
    while (found.size() < limit && Step(db.get(), statement)) {
      const std::vector<std::string> line = Line(sqlite3_column_int64(statement, 0));
      const Fit fit = PlaceName(line, name, positions);
      if (fit == Fit::kInOrder && seen.insert(line).second) {
        found.push_back(Source(line, positions));
      } else if (fit == Fit::kAnyOrder && found.size() + anyOrder.size() < limit && seen.insert(line).second) {
        anyOrder.push_back(Source(line, positions));
      }
    }
    sqlite3_reset(statement);
    for (NameSource& source : anyOrder) {
      if (found.size() == limit) break;
      found.push_back(std::move(source));
    }
  }
};

ClassicalLibrary::ClassicalLibrary(const std::string& path) : impl_(std::make_unique<Impl>()) {
  // SQLite's own open would wait for ever on a FIFO: the file is looked at
  // first, as every data file is.
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) {
    throw LibraryError("no library at " + path, LibraryFault::kMissing);
  }
  DataFileError refused;
  const int fd = OpenRegularFile(path, kLibraryMaxBytes, refused);
  if (fd < 0) throw LibraryError(refused.reason, LibraryFault::kRefused);
  ::close(fd);
  impl_->db = OpenDatabase(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
  sqlite3* db = impl_->db.get();
  sqlite3_progress_handler(db, kStepsPerCheck, &PastDeadline, &impl_->deadline);
  try {
    PrepareStatements();
  } catch (const LibraryError& error) {
    // A database without the library's tables is no library.
    throw LibraryError(error.what(), error.Fault() == LibraryFault::kOther ? LibraryFault::kDamaged : error.Fault());
  }
}

void ClassicalLibrary::PrepareStatements() {
  sqlite3* db = impl_->db.get();
  impl_->phrase = Prepare(db, "SELECT rowid FROM line_index WHERE line_index MATCH ?1 ORDER BY rowid");
  impl_->everyChar = Prepare(db, "SELECT rowid FROM line_index WHERE line_index MATCH ?1 ORDER BY rowid");
  impl_->text = Prepare(db, "SELECT content, title, author, collection FROM texts WHERE id = ?1");
  impl_->search = Prepare(db,
                          "SELECT t.id, t.title, t.author, t.collection FROM text_index"
                          " JOIN texts t ON t.id = text_index.rowid WHERE text_index MATCH ?1"
                          " AND (?2 = '' OR t.collection = ?2) ORDER BY text_index.rowid");
  impl_->checked = Prepare(db,
                           "SELECT t.id, t.title, t.author, t.collection, t.content FROM text_index"
                           " JOIN texts t ON t.id = text_index.rowid WHERE text_index MATCH ?1"
                           " AND (?2 = '' OR t.collection = ?2) ORDER BY text_index.rowid");
  impl_->scan = Prepare(db,
                        "SELECT id, title, author, collection, content FROM texts"
                        " WHERE (instr(title, ?1) OR instr(author, ?1) OR instr(content, ?1))"
                        " AND (?2 = '' OR collection = ?2) ORDER BY id");
  impl_->collection = Prepare(db, "SELECT id, title, author, collection FROM texts"
                                  " WHERE ?2 = '' OR collection = ?2 ORDER BY id");
  impl_->content = Prepare(db, "SELECT content FROM texts WHERE id = ?1");
  impl_->collections = Prepare(db, "SELECT collection FROM texts GROUP BY collection ORDER BY MIN(id)");
}

ClassicalLibrary::~ClassicalLibrary() = default;

std::vector<NameSource> ClassicalLibrary::FindSources(std::string_view givenName, std::size_t limit) {
  std::vector<NameSource> found;
  const std::vector<std::string> name = HanNameChars(givenName);
  if (name.empty() || limit == 0) return found;
  // A line repeated (a refrain, a quotation) is given once, where it ranks best.
  std::set<std::vector<std::string>> seen;
  // Every adjacent line is found; the others in order come next, then those
  // in any order.
  if (impl_->AddAdjacent(name, limit, seen, found) && name.size() > 1) impl_->AddScattered(name, limit, seen, found);
  return found;
}

std::vector<LibraryEntry> ClassicalLibrary::Search(std::string_view text, std::string_view collection) {
  std::string query;
  std::size_t chars = 0;
  for (const std::string& c : Utf8Chars(GbkToUtf8(text))) {
    if (chars++ == kMaxSearchChars) break;
    query += c;
  }
  struct Deadline {
    std::chrono::steady_clock::time_point& at;
    ~Deadline() { at = std::chrono::steady_clock::time_point::max(); }
  } deadline{impl_->deadline};
  deadline.at = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSearchMilliseconds);
  const std::string inCollection = GbkToUtf8(collection);
  std::string form = IndexForm(query);
  // Marks at either end need not meet a mark in the text: the exact test
  // below decides.
  while (form.rfind("0 ", 0) == 0) form.erase(0, 2);
  while (form.size() >= 2 && form.compare(form.size() - 2, 2, " 0") == 0) form.erase(form.size() - 2);
  const bool hasHan = form.find_first_not_of("0 ") != std::string::npos;
  // The index finds exactly the texts holding a run of Chinese characters;
  // anything else in the search text is checked on the texts themselves.
  bool exact = true;
  for (const std::string& c : Utf8Chars(query)) exact = exact && IsHan(c);

  sqlite3_stmt* statement = query.empty() ? impl_->collection.get()
                            : !hasHan     ? impl_->scan.get()
                            : exact       ? impl_->search.get()
                                          : impl_->checked.get();
  sqlite3_reset(statement);
  if (!query.empty()) BindText(statement, 1, hasHan ? Quoted(form) : query);
  BindText(statement, 2, inCollection);
  std::vector<LibraryEntry> entries;
  while (Step(impl_->db.get(), statement)) {
    const std::string title = ColumnText(statement, 1);
    const std::string author = ColumnText(statement, 2);
    if (!exact && title.find(query) == std::string::npos &&
        author.find(query) == std::string::npos && ColumnText(statement, 4).find(query) == std::string::npos) {
      continue;
    }
    entries.push_back({sqlite3_column_int64(statement, 0), ToGbk(title), ToGbk(author), ToGbk(ColumnText(statement, 3))});
  }
  sqlite3_reset(statement);
  return entries;
}

std::optional<std::string> ClassicalLibrary::Content(std::int64_t id) {
  sqlite3_stmt* statement = impl_->content.get();
  sqlite3_reset(statement);
  sqlite3_bind_int64(statement, 1, id);
  std::optional<std::string> content;
  if (Step(impl_->db.get(), statement)) content = ToGbk(ColumnText(statement, 0));
  sqlite3_reset(statement);
  return content;
}

std::vector<std::string> ClassicalLibrary::Collections() {
  sqlite3_stmt* statement = impl_->collections.get();
  sqlite3_reset(statement);
  std::vector<std::string> names;
  while (Step(impl_->db.get(), statement)) names.push_back(ToGbk(ColumnText(statement, 0)));
  sqlite3_reset(statement);
  return names;
}

}  // namespace tavrin::sources
