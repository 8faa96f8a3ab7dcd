// The library's failures, and SQLite's (base/sqlite.h) turned into them.
#pragma once

#include <stdexcept>
#include <string>

#include "base/sqlite.h"

namespace tavrin::sources {

// What went wrong with the library's database, for the front ends to say in
// their words.
enum class LibraryFault {
  kMissing,  // no file there
  kRefused,  // not a regular file, too large, unreadable: the text is the reason in Chinese
  kDamaged,  // SQLite's verdict (damaged pages, not a database) or an index that names what is not there
  kTooSlow,  // a query ran past its time
  kOther,    // anything else SQLite reports
};

// A failure of the library's database; the text is UTF-8 (SQLite's own for
// the faults it reports).
class LibraryError : public std::runtime_error {
 public:
  explicit LibraryError(const std::string& text, LibraryFault fault = LibraryFault::kOther)
      : std::runtime_error(text), fault_(fault) {}
  LibraryFault Fault() const { return fault_; }

 private:
  LibraryFault fault_;
};

// The fault SQLite's result code stands for.
LibraryFault FaultOf(int result);

// SQLite's failure as the library's: its fault, and SQLite's text after what
// was being done.
LibraryError AsLibraryError(const SqliteError& error);

// Runs `work` with SQLite's failures turned into LibraryError.
template <typename Work>
auto AsLibrary(Work work) {
  try {
    return work();
  } catch (const SqliteError& error) {
    throw AsLibraryError(error);
  }
}

// One step of a library query: true for a row, false when done.
inline bool Step(SqliteStatement& statement) {
  return AsLibrary([&] { return statement.Step(); });
}

}  // namespace tavrin::sources
