#include "sources/classical_library.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "advice/advice.h"
#include "base/file_read.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "sources/library_error.h"
#include "sources/library_text.h"
#include "sources/name_notes.h"

namespace tavrin::sources {

namespace {

// A library text (UTF-8) as the core holds it; the library is GBK-clean,
// but a character GBK lacks would become "?".
GbkText AsGbk(std::string utf8) { return ToGbkLossy(Utf8Text(std::move(utf8))); }

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

// The collections' order is the advice tables' (GBK); a collection with a
// character GBK lacks is none of theirs.
int CollectionRank(std::string_view collection) {
  return advice::CollectionRank(Utf8ToGbk(collection).value_or(std::string()));
}

bool WellKnown(std::string_view collection) { return advice::WellKnown(Utf8ToGbk(collection).value_or(std::string())); }

// The sources' texts leave the library in UTF-8 here, with the rest of its
// conversions.
NotesText NotesTextOf(NameNotes& notes, const GbkText& fullName) {
  NotesText text;
  for (const GbkText& line : notes.Meanings(fullName, NameNotes::Glosses::kNone)) text.meanings.push_back(ToUtf8(line));
  if (const NameSource* source = notes.BestSource(fullName)) text.source = ToUtf8(ShortSource(*source));
  return text;
}

struct ClassicalLibrary::Impl {
  SqliteDb db;
  SqliteStatement phrase;       // lines holding the name's characters adjacent and in order
  SqliteStatement everyChar;    // lines holding each of the name's characters
  SqliteStatement text;         // one text
  SqliteStatement search;       // texts by the full-text index
  SqliteStatement checked;      // the same with the content, to check a search text with marks
  SqliteStatement scan;         // texts by a plain scan (a search text without Chinese)
  SqliteStatement collection;   // the texts of one collection
  SqliteStatement content;      // the content of one text
  SqliteStatement collections;  // the collections, in the library's order

  // When the running query must stop (a search only; the others run to the end).
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();

  // The text last read, by id: lines of one text follow one another in the
  // index, so most lookups hit it.
  std::int64_t cachedId = -1;
  std::vector<std::string> lines;
  std::string title, author, collectionName;

  void Load(std::int64_t id) {
    if (id == cachedId) return;
    text.Reset();
    AsLibrary([&] { text.Bind(1, id); });
    if (!Step(text)) {
      throw LibraryError("library index names text " + std::to_string(id) + ", not there", LibraryFault::kDamaged);
    }
    lines = TextLines(text.Text(0));
    title = text.Text(1);
    author = text.Text(2);
    collectionName = text.Text(3);
    cachedId = id;
  }

  // The line of a line key, as characters.
  std::vector<std::string> Line(std::int64_t key) {
    Load(TextIdOfLineKey(key));
    const auto number = static_cast<std::size_t>(LineNumberOfLineKey(key));
    if (number >= lines.size())
      throw LibraryError("library index names a line its text does not have", LibraryFault::kDamaged);
    return Utf8Chars(lines[number]);
  }

  NameSource Source(const std::vector<std::string>& line, std::vector<int> positions) {
    std::string joined;
    for (const std::string& c : line) joined += c;
    return {AsGbk(std::move(joined)), AsGbk(title),         AsGbk(author),
            AsGbk(collectionName),    std::move(positions), cachedId};
  }

  // Adds the lines holding the name's characters side by side and in order,
  // in the index's order, until `found` holds `limit`; true if every such
  // line was added.
  bool AddAdjacent(const std::vector<std::string>& name, std::size_t limit, std::set<std::vector<std::string>>& seen,
                   std::vector<NameSource>& found) {
    std::string words;
    for (const std::string& c : name) words += (words.empty() ? "" : " ") + c;
    std::vector<int> positions;
    SqliteStatement& statement = phrase;
    statement.Reset();
    AsLibrary([&] { statement.Bind(1, Quoted(words)); });
    bool complete = true;
    while (complete && Step(statement)) {
      const std::vector<std::string> line = Line(statement.Int(0));
      if (PlaceName(line, name, positions) != Fit::kAdjacent || !seen.insert(line).second) continue;
      found.push_back(Source(line, positions));
      complete = found.size() < limit;
    }
    statement.Reset();
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
    SqliteStatement& statement = everyChar;
    statement.Reset();
    AsLibrary([&] { statement.Bind(1, every); });
    while (found.size() < limit && Step(statement)) {
      const std::vector<std::string> line = Line(statement.Int(0));
      const Fit fit = PlaceName(line, name, positions);
      if (fit == Fit::kInOrder && seen.insert(line).second) {
        found.push_back(Source(line, positions));
      } else if (fit == Fit::kAnyOrder && found.size() + anyOrder.size() < limit && seen.insert(line).second) {
        anyOrder.push_back(Source(line, positions));
      }
    }
    statement.Reset();
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
  ReadRefusal refused;
  const int fd = OpenRegularFile(path, kLibraryMaxBytes, refused);
  if (fd < 0) throw LibraryError(RefusalText(refused), LibraryFault::kRefused);
  ::close(fd);
  impl_->db = AsLibrary([&] { return SqliteDb::Open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX); });
  impl_->db.OnProgress(kStepsPerCheck, &PastDeadline, &impl_->deadline);
  try {
    AsLibrary([&] { PrepareStatements(); });
  } catch (const LibraryError& error) {
    // A database without the library's tables is no library.
    throw LibraryError(error.what(), error.Fault() == LibraryFault::kOther ? LibraryFault::kDamaged : error.Fault());
  }
}

void ClassicalLibrary::PrepareStatements() {
  const SqliteDb& db = impl_->db;
  const auto prepare = [&db](const char* sql) { return db.Prepare(sql, true); };
  impl_->phrase = prepare("SELECT rowid FROM line_index WHERE line_index MATCH ?1 ORDER BY rowid");
  impl_->everyChar = prepare("SELECT rowid FROM line_index WHERE line_index MATCH ?1 ORDER BY rowid");
  impl_->text = prepare("SELECT content, title, author, collection FROM texts WHERE id = ?1");
  impl_->search = prepare(
      "SELECT t.id, t.title, t.author, t.collection FROM text_index"
      " JOIN texts t ON t.id = text_index.rowid WHERE text_index MATCH ?1"
      " AND (?2 = '' OR t.collection = ?2) ORDER BY text_index.rowid");
  impl_->checked = prepare(
      "SELECT t.id, t.title, t.author, t.collection, t.content FROM text_index"
      " JOIN texts t ON t.id = text_index.rowid WHERE text_index MATCH ?1"
      " AND (?2 = '' OR t.collection = ?2) ORDER BY text_index.rowid");
  impl_->scan = prepare(
      "SELECT id, title, author, collection, content FROM texts"
      " WHERE (instr(title, ?1) OR instr(author, ?1) OR instr(content, ?1))"
      " AND (?2 = '' OR collection = ?2) ORDER BY id");
  impl_->collection = prepare(
      "SELECT id, title, author, collection FROM texts"
      " WHERE ?2 = '' OR collection = ?2 ORDER BY id");
  impl_->content = prepare("SELECT content FROM texts WHERE id = ?1");
  impl_->collections = prepare("SELECT collection FROM texts GROUP BY collection ORDER BY MIN(id)");
}

ClassicalLibrary::~ClassicalLibrary() = default;

std::vector<NameSource> ClassicalLibrary::FindSources(const GbkText& givenName, std::size_t limit) {
  std::vector<NameSource> found;
  const std::vector<std::string> name = HanNameChars(givenName.View());
  if (name.empty() || limit == 0) return found;
  // A line repeated (a refrain, a quotation) is given once, where it ranks best.
  std::set<std::vector<std::string>> seen;
  // Every adjacent line is found; the others in order come next, then those
  // in any order.
  if (impl_->AddAdjacent(name, limit, seen, found) && name.size() > 1) impl_->AddScattered(name, limit, seen, found);
  return found;
}

std::vector<LibraryEntry> ClassicalLibrary::Search(const GbkText& text, const GbkText& collection) {
  std::string query;
  std::size_t chars = 0;
  for (const std::string& c : Utf8Chars(tavrin::ToUtf8(text).Bytes())) {
    if (chars++ == kMaxSearchChars) break;
    query += c;
  }
  struct Deadline {
    std::chrono::steady_clock::time_point& at;
    ~Deadline() { at = std::chrono::steady_clock::time_point::max(); }
  } deadline{impl_->deadline};
  deadline.at = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSearchMilliseconds);
  const std::string inCollection = tavrin::ToUtf8(collection).Bytes();
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

  SqliteStatement& statement = query.empty() ? impl_->collection
                               : !hasHan     ? impl_->scan
                               : exact       ? impl_->search
                                             : impl_->checked;
  statement.Reset();
  AsLibrary([&] {
    if (!query.empty()) statement.Bind(1, hasHan ? Quoted(form) : query);
    statement.Bind(2, inCollection);
  });
  std::vector<LibraryEntry> entries;
  while (Step(statement)) {
    const std::string title = statement.Text(1);
    const std::string author = statement.Text(2);
    if (!exact && title.find(query) == std::string::npos && author.find(query) == std::string::npos &&
        statement.TextView(4).find(query) == std::string::npos) {
      continue;
    }
    entries.push_back({statement.Int(0), AsGbk(title), AsGbk(author), AsGbk(statement.Text(3))});
  }
  statement.Reset();
  return entries;
}

std::optional<GbkText> ClassicalLibrary::Content(std::int64_t id) {
  SqliteStatement& statement = impl_->content;
  statement.Reset();
  AsLibrary([&] { statement.Bind(1, id); });
  std::optional<GbkText> content;
  if (Step(statement)) content = AsGbk(statement.Text(0));
  statement.Reset();
  return content;
}

std::vector<GbkText> ClassicalLibrary::Collections() {
  SqliteStatement& statement = impl_->collections;
  statement.Reset();
  std::vector<GbkText> names;
  while (Step(statement)) names.push_back(AsGbk(statement.Text(0)));
  statement.Reset();
  return names;
}

}  // namespace tavrin::sources
