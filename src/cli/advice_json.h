// The advice on a name as the command line prints it in JSON (`advise
// --json`, `generate --best`).
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "advice/advice.h"

namespace tavrin::cli {

// {"name", "sex", "pinyin", "recommend", "warnings": [{"kind", "severity",
// "text"}], "chars": [{"char", "level", "gloss", "words", "boys", "girls",
// "readings"}], "reasons": [{"points", "text"}]}, texts in UTF-8, pinyin with
// tone marks.
nlohmann::ordered_json AdviceJson(const advice::Advice& a);

// The warnings' texts (UTF-8) joined by "；", the serious ones first.
std::string WarningsText(const advice::Advice& a);

}  // namespace tavrin::cli
