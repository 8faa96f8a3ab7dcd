// Builds library.db from the library's source: one text per line of a
// UTF-8 table (id, collection, dynasty, title, author, content with its line
// ends written as the two characters "\n").
//
//   texts       id, content, collection, dynasty, title, author (the columns
//               of poetry.db's table, in its order)
//   line_index  full-text index of every line (TextLines), one token per
//               character, keyed by LineKey so that key order is rank order
//   text_index  full-text index of title, author and content (IndexForm),
//               keyed by the text's id
#pragma once

#include <iosfwd>
#include <string>

namespace tavrin::sources {

struct BuildCounts {
  long texts = 0;
  long lines = 0;
};

// Writes the database at `databasePath` (replacing it) from the table read
// from `source`; throws LibraryError on a malformed row or a database error.
BuildCounts BuildLibrary(std::istream& source, const std::string& databasePath);

}  // namespace tavrin::sources
