#include "cli/library.h"

#include "core/lines.h"
#include "sources/library_text.h"
#include "sources/sqlite_handle.h"

namespace tavrin::cli {

std::unique_ptr<sources::ClassicalLibrary> OpenLibrary(CliContext& context) {
  const std::string path = context.Stores().dataDir + sources::kLibraryFile;
  if (!FileExists(path)) throw CliError("the classical library " + path + " is missing");
  try {
    return std::make_unique<sources::ClassicalLibrary>(path);
  } catch (const sources::LibraryError& error) {
    throw CliError(error.what());
  }
}

}  // namespace tavrin::cli
