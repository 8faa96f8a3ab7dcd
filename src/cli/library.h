// The classical library beside the data files, for the commands that read it.
#pragma once

#include <memory>

#include "cli/cli.h"
#include "sources/classical_library.h"

namespace tavrin::cli {

// Opens library.db in the data directory; throws CliError when it is missing
// or cannot be read.
std::unique_ptr<sources::ClassicalLibrary> OpenLibrary(CliContext& context);

}  // namespace tavrin::cli
