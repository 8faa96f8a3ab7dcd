// The classical library (library.db): the lines a given name comes from, and
// a search of its texts by title, author, text and collection. Opened
// read-only; every text it hands back is GBK, as the core's texts are.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/text.h"

namespace tavrin::sources {

// One line a name comes from: the line (its characters between marks), the
// text's title, author and collection, and where the name's characters
// stand in the line (counted in characters from 1, in the name's order).
struct NameSource {
  GbkText line;
  GbkText title;
  GbkText author;
  GbkText collection;
  std::vector<int> positions;
  std::int64_t textId = 0;
};

// One text of a search.
struct LibraryEntry {
  std::int64_t id = 0;
  GbkText title;
  GbkText author;
  GbkText collection;
};

// The longest search text, in characters, and the longest time a search
// may take; a longer text is cut, a longer search ends with
// LibraryFault::kTooSlow.
inline constexpr std::size_t kMaxSearchChars = 50;
inline constexpr int kSearchMilliseconds = 150;

// The largest library file opened (the shipped one has about 80 MB).
inline constexpr std::size_t kLibraryMaxBytes = std::size_t{1} << 30;

class ClassicalLibrary {
 public:
  // Opens the database read-only, only when it is a regular file (a FIFO
  // never blocks the open) of at most kLibraryMaxBytes; throws LibraryError
  // (UTF-8 text) when it cannot be opened or is not a library. Every query
  // throws LibraryError when the database fails (kDamaged for damaged pages).
  explicit ClassicalLibrary(const std::string& path);
  ~ClassicalLibrary();
  ClassicalLibrary(const ClassicalLibrary&) = delete;
  ClassicalLibrary& operator=(const ClassicalLibrary&) = delete;

  // The lines holding every character of `givenName`, best first, at
  // most `limit`: the characters adjacent and in order, then in order, then
  // in any order; within each, by collection rank, the well-known
  // anthologies first, then in the library's order. Empty for a name with
  // a character that is not Chinese.
  std::vector<NameSource> FindSources(const GbkText& givenName, std::size_t limit = 10);

  // The texts whose title, author or content holds `text` (empty for any),
  // in `collection` (empty for any), by id.
  std::vector<LibraryEntry> Search(const GbkText& text, const GbkText& collection);

  // The content of the text `id` (lines ended by "\n"), or none.
  std::optional<GbkText> Content(std::int64_t id);

  // The collections, in the order of their first texts.
  std::vector<GbkText> Collections();

 private:
  void PrepareStatements();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tavrin::sources
