// The advice on a name as JSON, for the command line (`advise --json`,
// `generate --best`) and for the favourites, which keep it with a name.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "advice/advice.h"
#include "chars/text.h"

namespace tavrin::advice {

// {"name", "sex", "pinyin", "recommend", "warnings": [{"kind", "severity",
// "text"}], "pairMeaning", "chars": [{"char", "level", "meaning", "gloss",
// "words", "boys", "girls", "readings"}], "reasons": [{"points", "text"}]},
// texts in UTF-8, pinyin with tone marks; "meaning" is Chinese, "gloss"
// English, "pairMeaning" empty when the given name is no word.
nlohmann::ordered_json AdviceJson(const Advice& a);

// The warnings' texts joined by "；", the serious ones first.
Utf8Text WarningsText(const Advice& a);

// Each warning's text and whether it is serious, in the advice's order.
struct WarningLine {
  Utf8Text text;
  bool serious = false;
};
std::vector<WarningLine> WarningLines(const Advice& a);

}  // namespace tavrin::advice
