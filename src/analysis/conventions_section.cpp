#include "analysis/conventions_section.h"

#include <algorithm>
#include <array>

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "chars/gbk.h"
#include "chars/strokes.h"
#include "core/services.h"
#include "core/startup.h"

namespace tavrin {
namespace {

using conventions::ConventionsReading;

constexpr const char* kConventionsHeading = "通行算法";

// "吉" or "吉/凶" from the verdicts of a grid's lines; "-" without one.
std::string GridVerdicts(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    const std::string verdict = VerdictOf(line);
    if (verdict.empty()) continue;
    if (!out.empty()) out += "/";
    out += verdict;
  }
  return out.empty() ? "-" : out;
}

}  // namespace

std::string_view CommonGridName(std::size_t index) {
  static constexpr std::array<std::string_view, 5> kNames{"天格", "人格", "地格", "外格", "总格"};
  return kNames[index];
}

std::optional<std::vector<Element>> ParseElementList(std::string_view text) {
  std::vector<Element> out;
  for (const std::string& ch : SplitChars(text)) {
    const std::optional<Element> e = ElementOfChar(ch);
    if (!e) return std::nullopt;
    if (std::find(out.begin(), out.end(), *e) == out.end()) out.push_back(*e);
  }
  if (out.empty()) return std::nullopt;
  return out;
}

ConventionsSection ReadNameConventions(const DataStores& stores, const ConventionsRequest& request) {
  ConventionsSection section;
  const NamingServices& services = *stores.services;
  if (const auto strength = conventions::AssessStrength(request.pillars)) {
    section.favourable = conventions::FavourableOf(*strength, request.favourableOverride);
  }
  conventions::ConventionsInputs inputs;
  inputs.name = request.name;
  inputs.surnameLength = request.surnameLength;
  inputs.favourable = section.favourable ? &*section.favourable : nullptr;
  section.reading = services.ReadConventions(inputs);
  if (!section.reading) return section;
  for (const std::string& ch : section.reading->characters) section.traditional.push_back(ToTraditional(ch));
  for (const conventions::GridLookup& lookup : section.reading->lookups) {
    std::vector<std::string> lines;
    for (std::size_t index : lookup.lines) lines.push_back(stores.numerologyTable[index]);
    section.gridLines.push_back(std::move(lines));
  }
  return section;
}

ConventionsRequest ConventionsRequestFor(const NameReport& report, const advice::AdviceTables& tables,
                                         std::optional<std::vector<Element>> favourableOverride) {
  return {report.name, tables.SurnameLength(report.name),
          BirthPillars{report.pillars[0], report.pillars[1], report.pillars[2], report.pillars[3]},
          std::move(favourableOverride)};
}

namespace {

// 康熙笔画: each character, its traditional form where it differs, its count.
std::string StrokesLine(const ConventionsSection& section) {
  const ConventionsReading& r = *section.reading;
  std::string strokes = "康熙笔画:";
  for (std::size_t i = 0; i < r.characters.size(); ++i) {
    strokes += " " + r.characters[i];
    if (section.traditional[i] != r.characters[i]) strokes += "(" + section.traditional[i] + ")";
    strokes += std::to_string(r.strokes[i]);
  }
  return strokes + (r.surnameLength == 2 ? " (复姓)" : "");
}

// Each grid with its number, element and verdicts, then its table lines.
void AddGridLines(const ConventionsSection& section, LineList& lines) {
  const ConventionsReading& r = *section.reading;
  for (std::size_t i = 0; i < r.lookups.size(); ++i) {
    const conventions::GridLookup& lookup = r.lookups[i];
    std::string line = std::string(CommonGridName(i)) + std::to_string(lookup.number);
    if (lookup.tableNumber != lookup.number) line += "(按" + std::to_string(lookup.tableNumber) + ")";
    line +=
        std::string(ElementChar(conventions::GridElement(lookup.number))) + " " + GridVerdicts(section.gridLines[i]);
    lines.push_back(line);
    for (const std::string& text : section.gridLines[i]) {
      std::string shown = text;
      while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
      lines.push_back("    " + shown);
    }
  }
}

}  // namespace

LineList ConventionsLines(const ConventionsSection& section) {
  LineList lines;
  lines.push_back(std::string("【") + kConventionsHeading + "】");
  if (!section.reading) {
    lines.push_back("通行算法只读一至二字的姓加一至二字的名。");
    return lines;
  }
  const ConventionsReading& r = *section.reading;
  lines.push_back(StrokesLine(section));
  AddGridLines(section, lines);
  if (r.hasSancai) {
    lines.push_back("三才:" + std::string(ElementChar(r.sancai.heaven)) + std::string(ElementChar(r.sancai.person)) +
                    std::string(ElementChar(r.sancai.earth)) + " " +
                    std::string(conventions::VerdictText(r.sancai.verdict)) + "," + r.sancai.explanation);
  } else {
    lines.push_back("三才:缺少数据文件sancai.dat,不作判断");
  }
  if (section.favourable) {
    for (const std::string& line : conventions::FavourableReasoning(*section.favourable)) lines.push_back(line);
  } else {
    lines.push_back("喜用五行:没有八字,不作判断");
  }
  std::string given = "名字五行:";
  for (std::size_t i = 0; i < r.givenElements.size(); ++i) {
    given += (i ? " " : "") + r.characters[static_cast<std::size_t>(r.surnameLength) + i] +
             (r.givenElements[i] ? std::string(ElementChar(*r.givenElements[i])) : "?");
  }
  if (r.hasChart) {
    given += ",合喜用" + std::to_string(r.favourableCharacters) + "/" + std::to_string(r.givenElements.size()) + "字";
  }
  lines.push_back(given);
  lines.push_back("通行评分:" + std::to_string(r.score) + " (五格" + std::to_string(r.numerologyPart) + "/60 三才" +
                  std::to_string(r.sancaiPart) + "/20 喜用" + std::to_string(r.elementPart) + "/20)");
  return lines;
}

}  // namespace tavrin
