// What the commands print with --json: one JSON object on one line, its
// texts UTF-8 (the core's values enter it through the views of cli_text.h).
#pragma once

#include "cli/cli.h"
#include "cli/cli_text.h"

namespace tavrin::cli {

// Writes `json` on one line; bytes that are no UTF-8 become U+FFFD.
void PrintJson(CliContext& context, const Json& json);

}  // namespace tavrin::cli
