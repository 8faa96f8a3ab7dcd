// The advice on a name as JSON, for the command line (`advise --json`,
// `generate --best`) and for the favourites, which keep it with a name.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "advice/advice.h"

namespace tavrin::advice {

// {"name", "sex", "pinyin", "recommend", "warnings": [{"kind", "severity",
// "text"}], "pairMeaning", "chars": [{"char", "level", "meaning", "gloss",
// "words", "boys", "girls", "readings"}], "reasons": [{"points", "text"}]},
// texts in UTF-8, pinyin with tone marks; "meaning" is Chinese, "gloss"
// English, "pairMeaning" empty when the given name is no word.
nlohmann::ordered_json AdviceJson(const Advice& a);

// The warnings' texts (UTF-8) joined by "；", the serious ones first.
std::string WarningsText(const Advice& a);

// Each warning's text (UTF-8) and whether it is serious, in the advice's order.
struct WarningLine {
  std::string text;
  bool serious = false;
};
std::vector<WarningLine> WarningLines(const Advice& a);

}  // namespace tavrin::advice
