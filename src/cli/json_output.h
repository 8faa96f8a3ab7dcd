// What the commands print with --json: one JSON object on one line, its
// texts UTF-8 (the core's GBK lines converted here).
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/cli.h"

namespace tavrin::cli {

using Json = nlohmann::ordered_json;

// GBK lines as an array of UTF-8 strings.
Json Utf8Lines(const std::vector<std::string>& gbkLines);

// Writes `json` on one line; bytes that are no UTF-8 become U+FFFD.
void PrintJson(CliContext& context, const Json& json);

}  // namespace tavrin::cli
