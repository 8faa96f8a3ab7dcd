// Where a name comes from and what its characters mean, as the front ends
// show them beside a name: the classical library is opened on first use (a
// missing library gives no sources), the meanings come from the advice
// tables the data stores hold (empty tables give none), and the best line of
// each given name is remembered. The names and notes are the core's GBK.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "sources/classical_library.h"
#include "sources/library_error.h"

namespace tavrin::sources {

class NameNotes {
 public:
  // `dataDir` ends with a separator; library.db is looked for there.
  // `tables` may be null (no meanings; one-character surnames only).
  NameNotes(std::string dataDir, std::shared_ptr<const advice::AdviceTables> tables);
  ~NameNotes();
  NameNotes(const NameNotes&) = delete;
  NameNotes& operator=(const NameNotes&) = delete;

  // The library, opened now if it was not; null when it cannot be, or
  // once a query of it failed.
  ClassicalLibrary* Library();
  // `said` is called once, with the first fault of the library, when it is met.
  void OnFault(std::function<void(const LibraryError&)> said) { said_ = std::move(said); }
  // Where library.db is looked for.
  std::string LibraryPath() const;
  // Why the library is not there or could not be read; null while it serves.
  const LibraryError* Fault() const { return fault_ ? &*fault_ : nullptr; }
  // `use` run on the library, or `otherwise` when there is none. A library
  // that fails is dropped (everything after goes on without sources) and its
  // fault kept; a search that ran past its time leaves the library as it is
  // and is thrown on.
  template <typename Result, typename Use>
  Result WithLibrary(Use use, Result otherwise) {
    ClassicalLibrary* library = Library();
    if (!library) return otherwise;
    try {
      return use(*library);
    } catch (const LibraryError& error) {
      if (error.Fault() == LibraryFault::kTooSlow) throw;
      Drop(error);
      return otherwise;
    }
  }
  const advice::AdviceTables& Tables() const { return *tables_; }

  // The best lines of a given name, at most `limit`.
  std::vector<NameSource> Find(const GbkText& givenName, std::size_t limit);
  // The best line of a full name's given name, remembered; null when no
  // line holds it.
  const NameSource* BestSource(const GbkText& fullName);
  // What the given name means: first the meaning of the two characters
  // together when they make a word of the dictionary (修远：长远，辽远。),
  // then one line for each character: its Chinese meaning and the common
  // words holding it (MeaningLine), followed, with kSecondLine, by a line of
  // its English gloss (GlossLine) when it has one; none for a character the
  // tables do not know.
  enum class Glosses { kNone, kSecondLine };
  std::vector<GbkText> Meanings(const GbkText& fullName, Glosses glosses = Glosses::kSecondLine);

 private:
  void Drop(const LibraryError& error);

  std::string dataDir_;
  bool triedLibrary_ = false;
  std::unique_ptr<ClassicalLibrary> library_;
  std::optional<LibraryError> fault_;
  std::function<void(const LibraryError&)> said_;
  std::shared_ptr<const advice::AdviceTables> tables_;
  std::map<GbkText, std::optional<NameSource>> best_;
};

// What a library fault means to the user (UTF-8), for the file at `path`
// (UTF-8).
std::string LibraryFaultText(const std::string& path, const LibraryError& error);

// 《title》author：line, the short form of a source for a cell or a line.
GbkText ShortSource(const NameSource& source);

// A name's meanings in Chinese (one line each, as Meanings gives them
// without the English glosses) and its best
// source in ShortSource's form (empty when no line holds it), in UTF-8, for
// readers outside the core such as the family's page.
struct NotesText {
  std::vector<Utf8Text> meanings;
  Utf8Text source;
};
NotesText NotesTextOf(NameNotes& notes, const GbkText& fullName);

// 子（zǐ）孩子，也是对人的美称；常用词：孩子 儿子 电子. A character without
// a Chinese meaning has its reading and words only: English never comes first.
GbkText MeaningLine(const advice::GivenChar& given);
// The character's English gloss, indented as the second line under
// MeaningLine; empty when the tables have none.
GbkText GlossLine(const advice::GivenChar& given);

// The lines of a text (UTF-8) a given name (UTF-8) was drawn from: the line that
// holds all its characters best (adjacent and in order, then in order, then
// in any order; the first among equals); when no line holds them all, the
// first line holding each character, one a character (empty for a character
// no line holds).
std::vector<std::string> LinesOfName(const std::string& text, const std::string& given);

// A source as the 推荐度 weighs it.
advice::ClassicalSource AsClassicalSource(const NameSource& source);

// The best source of a full name as the 推荐度 weighs it, through the notes'
// remembered lines (`notes` must outlive the finder).
advice::SourceFinder SourceFinderOf(NameNotes& notes);

}  // namespace tavrin::sources
