// The 通行算法 reading of a name for the commands that show it: analyse
// --conventions and advise --json (its JSON: ConventionsJson, cli_text.h).
#pragma once

#include "analysis/conventions_section.h"
#include "cli/cli.h"

namespace tavrin::cli {

// The reading of a GBK name, its compound surname told by the advice tables.
ConventionsSection ConventionsOf(CliContext& context, const std::string& name, const BirthPillars& pillars,
                                 const std::optional<std::vector<Element>>& favourableOverride);

}  // namespace tavrin::cli
