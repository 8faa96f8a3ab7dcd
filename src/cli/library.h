// The classical library beside the data files, for the commands that read it.
#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <vector>

#include "cli/cli.h"
#include "sources/classical_library.h"

namespace tavrin::cli {

// Opens library.db in the data directory; throws CliError when it is missing
// or cannot be read.
std::unique_ptr<sources::ClassicalLibrary> OpenLibrary(CliContext& context);

// Sources as `source --json` and `advise --json` print them: a list of
// {"line", "title", "author", "collection", "positions"}, best first.
nlohmann::ordered_json SourcesJson(const std::vector<sources::NameSource>& found);

}  // namespace tavrin::cli
