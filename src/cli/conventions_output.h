// The 通行算法 reading of a name for the commands that show it: analyse
// --conventions and advise --json.
#pragma once

#include <nlohmann/json.hpp>

#include "analysis/conventions_section.h"
#include "cli/cli.h"

namespace tavrin::cli {

// The reading of a GBK name, its compound surname told by the advice tables.
ConventionsSection ConventionsOf(CliContext& context, const std::string& name, const BirthPillars& pillars,
                                 const std::optional<std::vector<Element>>& favourableOverride);

// The value of --favourable (UTF-8 element characters such as 木火); throws
// CliError for anything else (CliContext::ToGbk's for a text GBK cannot hold).
std::vector<Element> ParseFavourableOption(const std::string& utf8);

// The reading as a JSON object (UTF-8 texts); null members where the name has
// no grids, there is no 三才 table or no birth chart.
nlohmann::ordered_json ConventionsJson(const ConventionsSection& section);

}  // namespace tavrin::cli
