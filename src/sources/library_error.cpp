#include "sources/library_error.h"

namespace tavrin::sources {

LibraryFault FaultOf(int result) {
  switch (result & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      return LibraryFault::kDamaged;
    case SQLITE_INTERRUPT:
      return LibraryFault::kTooSlow;
    default:
      return LibraryFault::kOther;
  }
}

LibraryError AsLibraryError(const SqliteError& error) {
  std::string doing;
  switch (error.stage) {
    case SqliteError::Stage::kOpen:
      doing = "cannot open " + error.subject;
      break;
    case SqliteError::Stage::kPrepare:
      doing = "cannot prepare \"" + error.subject + "\"";
      break;
    case SqliteError::Stage::kExec:
      doing = "library build";
      break;
    case SqliteError::Stage::kStep:
    case SqliteError::Stage::kClose:
      doing = "library query failed";
      break;
  }
  return LibraryError(doing + ": " + error.what(), FaultOf(error.code));
}

}  // namespace tavrin::sources
