// The classical library beside the data files, for the commands that read it.
#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <vector>

#include "cli/cli.h"
#include "sources/classical_library.h"
#include "sources/name_notes.h"

namespace tavrin::cli {

// Where library.db is looked for.
std::string LibraryPath(CliContext& context);

// `use` run on library.db in the data directory; throws CliError when the
// library is missing, cannot be read or fails.
template <typename Use>
auto UseLibrary(CliContext& context, Use use) {
  const std::string path = LibraryPath(context);
  try {
    sources::ClassicalLibrary library(path);
    return use(library);
  } catch (const sources::LibraryError& error) {
    throw CliError(sources::LibraryFaultText(path, error));
  }
}
// Says once, on stderr, that the names of this command went without sources
// because the library could not be read (a missing library is said by the
// commands that need it, not by those that only weigh sources in).
void SayLibraryFault(CliContext& context, const sources::NameNotes& notes);

}  // namespace tavrin::cli
