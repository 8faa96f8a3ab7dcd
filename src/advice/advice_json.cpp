#include "advice/advice_json.h"

#include "chars/encoding.h"
#include "chars/tone_marks.h"

namespace tavrin::advice {
namespace {

std::string MarkedPinyin(const std::string& numbered) { return PinyinWithToneMarks(numbered); }

}  // namespace

nlohmann::ordered_json AdviceJson(const Advice& a) {
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const Warning& w : a.warnings) {
    warnings.push_back({{"kind", KindKey(w.kind)}, {"severity", SeverityKey(w.severity)}, {"text", GbkToUtf8(w.text)}});
  }
  nlohmann::ordered_json chars = nlohmann::ordered_json::array();
  for (const GivenChar& g : a.given) {
    nlohmann::ordered_json words = nlohmann::ordered_json::array();
    nlohmann::ordered_json readings = nlohmann::ordered_json::array();
    const CharFacts empty;
    const CharFacts& f = g.facts ? *g.facts : empty;
    for (const std::string& word : f.words) words.push_back(GbkToUtf8(word));
    for (const std::string& reading : f.readings) readings.push_back(MarkedPinyin(reading));
    chars.push_back({{"char", GbkToUtf8(g.ch)},
                     {"level", f.level},
                     {"meaning", GbkToUtf8(f.meaning)},
                     {"gloss", f.gloss},
                     {"words", std::move(words)},
                     {"boys", f.boys},
                     {"girls", f.girls},
                     {"readings", std::move(readings)}});
  }
  nlohmann::ordered_json reasons = nlohmann::ordered_json::array();
  for (const Reason& r : a.reasons) reasons.push_back({{"points", r.points}, {"text", GbkToUtf8(r.text)}});
  nlohmann::ordered_json json = {{"name", GbkToUtf8(a.name)},        {"sex", SexKey(a.sex)},
                                 {"pinyin", MarkedPinyin(a.pinyin)}, {"recommend", a.recommend},
                                 {"warnings", std::move(warnings)},  {"pairMeaning", GbkToUtf8(a.pairMeaning)},
                                 {"chars", std::move(chars)},        {"reasons", std::move(reasons)}};
  // Only a name judged for a child's chart says how it fits it.
  static constexpr const char* kFits[] = {nullptr, "all", "some", "none"};
  if (a.fit != ElementFit::kUnjudged) json["fit"] = kFits[static_cast<int>(a.fit)];
  return json;
}

Utf8Text WarningsText(const Advice& a) {
  std::string text;
  for (const Warning& w : a.warnings) {
    if (!text.empty()) text += "；";
    text += w.text;
  }
  return ToUtf8(GbkText(std::move(text)));
}

std::vector<WarningLine> WarningLines(const Advice& a) {
  std::vector<WarningLine> lines;
  for (const Warning& w : a.warnings) lines.push_back({ToUtf8(GbkText(w.text)), w.severity == Severity::kSerious});
  return lines;
}

}  // namespace tavrin::advice
