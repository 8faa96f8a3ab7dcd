#include "conventions/sancai.h"

namespace tavrin::conventions {
namespace {

constexpr std::array<Verdict, 5> kVerdicts{Verdict::kGreatFortune, Verdict::kFortune, Verdict::kHalfFortune,
                                           Verdict::kMisfortune, Verdict::kGreatMisfortune};

std::size_t Slot(Element heaven, Element person, Element earth) {
  return static_cast<std::size_t>(Index(heaven) * 25 + Index(person) * 5 + Index(earth));
}

std::optional<Verdict> ParseVerdict(std::string_view text) {
  for (Verdict v : kVerdicts) {
    if (text == VerdictText(v)) return v;
  }
  return std::nullopt;
}

}  // namespace

std::string_view VerdictText(Verdict verdict) {
  static constexpr std::array<std::string_view, 5> kTexts{"大吉", "吉", "半吉", "凶", "大凶"};
  return kTexts[static_cast<std::size_t>(verdict)];
}

SancaiTable::SancaiTable(const LineList& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::string where = "sancai.dat line " + std::to_string(i + 1);
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab1 != 6 || tab2 == std::string_view::npos || tab2 + 1 >= line.size()) {
      throw SancaiTableError(where + ": expected three elements, verdict and explanation");
    }
    const auto heaven = ElementOf(line.substr(0, 2));
    const auto person = ElementOf(line.substr(2, 2));
    const auto earth = ElementOf(line.substr(4, 2));
    const auto verdict = ParseVerdict(line.substr(tab1 + 1, tab2 - tab1 - 1));
    if (!heaven || !person || !earth || !verdict) {
      throw SancaiTableError(where + ": unknown element or verdict");
    }
    Entry& entry = entries_[Slot(*heaven, *person, *earth)];
    if (entry.present) throw SancaiTableError(where + ": combination given twice");
    entry = {*verdict, std::string(line.substr(tab2 + 1)), true};
  }
  for (const Entry& entry : entries_) {
    if (!entry.present) throw SancaiTableError("sancai.dat: not every combination is given");
  }
}

SancaiReading SancaiTable::Read(Element heaven, Element person, Element earth) const {
  const Entry& entry = entries_[Slot(heaven, person, earth)];
  return {heaven, person, earth, entry.verdict, entry.explanation};
}

SancaiReading SancaiTable::Read(const FiveGrids& grids) const {
  return Read(GridElement(grids[kHeavenGrid]), GridElement(grids[kPersonGrid]), GridElement(grids[kEarthGrid]));
}

}  // namespace tavrin::conventions
