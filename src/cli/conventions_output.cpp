#include "cli/conventions_output.h"

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "chars/encoding.h"
#include "core/startup.h"

namespace tavrin::cli {
namespace {

std::string U8(std::string_view gbk) { return GbkToUtf8(std::string(gbk)); }

std::string ElementText(const std::vector<Element>& elements) {
  std::string out;
  for (Element e : elements) out += ElementChar(e);
  return U8(out);
}

nlohmann::ordered_json ChartJson(const conventions::FavourableElements& f) {
  const conventions::ChartStrength& s = f.strength;
  nlohmann::ordered_json points = nlohmann::ordered_json::object();
  for (Element e : kElementOrder) points[U8(ElementChar(e))] = s.points[static_cast<std::size_t>(e)];
  nlohmann::ordered_json reasoning = nlohmann::ordered_json::array();
  for (const std::string& line : conventions::FavourableReasoning(f)) reasoning.push_back(U8(line));
  return {{"dayMaster", U8(s.dayMaster)},
          {"dayElement", U8(ElementChar(s.dayElement))},
          {"monthBranch", U8(s.monthBranch)},
          {"seasonElement", U8(ElementChar(s.seasonElement))},
          {"inSeason", s.inSeason},
          {"hourKnown", s.hourKnown},
          {"points", std::move(points)},
          {"support", s.support},
          {"oppose", s.oppose},
          {"otherCharacters", s.otherCharacters},
          {"supportingCharacters", s.supportingCharacters},
          {"strong", s.strong},
          {"favourable", ElementText(f.favourable)},
          {"unfavourable", ElementText(f.unfavourable)},
          {"overridden", f.overridden},
          {"reasoning", std::move(reasoning)}};
}

}  // namespace

ConventionsSection ConventionsOf(CliContext& context, const std::string& name, const BirthPillars& pillars,
                                 const std::optional<std::vector<Element>>& favourableOverride) {
  const DataStores& stores = context.Stores();
  const advice::AdviceTables& tables = *stores.advice;
  return ReadNameConventions(stores, {name, tables.SurnameLength(name), pillars, favourableOverride});
}

std::vector<Element> ParseFavourableOption(const std::string& utf8) {
  const auto elements = ParseElementList(CliContext::ToGbk(utf8));
  if (!elements) throw CliError(Say("--favourable “%1”应由金木水火土中的字组成,如 木火", {utf8}));
  return *elements;
}

namespace {

// Each grid of the reading: its numbers, element, points and lines with
// their verdicts.
nlohmann::ordered_json GridsJson(const ConventionsSection& section) {
  const conventions::ConventionsReading& r = *section.reading;
  nlohmann::ordered_json grids = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < r.lookups.size(); ++i) {
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    nlohmann::ordered_json verdicts = nlohmann::ordered_json::array();
    for (const std::string& line : section.gridLines[i]) {
      std::string shown = line;
      while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
      lines.push_back(U8(shown));
      verdicts.push_back(U8(VerdictOf(line)));
    }
    grids.push_back({{"grid", U8(CommonGridName(i))},
                     {"number", r.lookups[i].number},
                     {"tableNumber", r.lookups[i].tableNumber},
                     {"element", U8(ElementChar(conventions::GridElement(r.lookups[i].number)))},
                     {"points", r.lookups[i].points},
                     {"verdicts", std::move(verdicts)},
                     {"lines", std::move(lines)}});
  }
  return grids;
}

nlohmann::ordered_json ReadingJson(const ConventionsSection& section) {
  const conventions::ConventionsReading& r = *section.reading;
  nlohmann::ordered_json characters = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < r.characters.size(); ++i) {
    characters.push_back(
        {{"char", U8(r.characters[i])}, {"traditional", U8(section.traditional[i])}, {"kangxi", r.strokes[i]}});
  }
  nlohmann::ordered_json sancai = nullptr;
  if (r.hasSancai) {
    sancai = {{"elements", U8(std::string(ElementChar(r.sancai.heaven)) + std::string(ElementChar(r.sancai.person)) +
                              std::string(ElementChar(r.sancai.earth)))},
              {"verdict", U8(conventions::VerdictText(r.sancai.verdict))},
              {"explanation", U8(r.sancai.explanation)}};
  }
  nlohmann::ordered_json given = nlohmann::ordered_json::array();
  for (const auto& e : r.givenElements) given.push_back(e ? nlohmann::ordered_json(U8(ElementChar(*e))) : nullptr);
  return {
      {"surnameLength", r.surnameLength},
      {"characters", std::move(characters)},
      {"grids", GridsJson(section)},
      {"sancai", std::move(sancai)},
      {"givenElements", std::move(given)},
      {"favourableCharacters", r.favourableCharacters},
      {"score",
       {{"total", r.score}, {"numerology", r.numerologyPart}, {"sancai", r.sancaiPart}, {"elements", r.elementPart}}}};
}

}  // namespace

nlohmann::ordered_json ConventionsJson(const ConventionsSection& section) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["chart"] = section.favourable ? ChartJson(*section.favourable) : nlohmann::ordered_json(nullptr);
  out["reading"] = section.reading ? ReadingJson(section) : nlohmann::ordered_json(nullptr);
  return out;
}

}  // namespace tavrin::cli
