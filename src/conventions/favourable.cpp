#include "conventions/favourable.h"

#include <algorithm>
#include <string_view>

namespace tavrin::conventions {
namespace {

constexpr std::string_view kStems = "甲乙丙丁戊己庚辛壬癸";
constexpr std::string_view kBranches = "子丑寅卯辰巳午未申酉戌亥";

// Hidden stems of each branch, main qi first (stem indexes into kStems).
struct Hidden {
  int count;
  std::array<int, 3> stems;
};
constexpr std::array<Hidden, 12> kHiddenStems{{
    {1, {9, 0, 0}},  // 子 癸
    {3, {5, 9, 7}},  // 丑 己 癸 辛
    {3, {0, 2, 4}},  // 寅 甲 丙 戊
    {1, {1, 0, 0}},  // 卯 乙
    {3, {4, 1, 9}},  // 辰 戊 乙 癸
    {3, {2, 6, 4}},  // 巳 丙 庚 戊
    {2, {3, 5, 0}},  // 午 丁 己
    {3, {5, 3, 1}},  // 未 己 丁 乙
    {3, {6, 8, 4}},  // 申 庚 壬 戊
    {1, {7, 0, 0}},  // 酉 辛
    {3, {4, 7, 3}},  // 戌 戊 辛 丁
    {2, {8, 0, 0}},  // 亥 壬 甲
}};
constexpr std::array<std::array<int, 3>, 4> kHiddenWeights{{{0, 0, 0}, {10, 0, 0}, {7, 3, 0}, {6, 3, 1}}};
constexpr int kStemPoints = 10;
constexpr int kMonthBranchFactor = 3;

int IndexIn(std::string_view list, std::string_view ch) {
  if (ch.size() != 2) return -1;
  for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
    if (list.substr(i, 2) == ch) return static_cast<int>(i / 2);
  }
  return -1;
}

Element StemElement(int stem) {
  static constexpr std::array<Element, 5> kByPair{Element::kWood, Element::kFire, Element::kEarth, Element::kMetal,
                                                  Element::kWater};
  return kByPair[static_cast<std::size_t>(stem / 2)];
}

struct Pillar {
  int stem = -1;
  int branch = -1;
};

std::optional<Pillar> ParsePillar(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  Pillar p{IndexIn(kStems, text.substr(0, 2)), IndexIn(kBranches, text.substr(2, 2))};
  if (p.stem < 0 || p.branch < 0) return std::nullopt;
  return p;
}

bool Supports(Element dayMaster, Element e) {
  const Relation r = RelationTo(dayMaster, e);
  return r == Relation::kCompanion || r == Relation::kResource;
}

std::string ElementList(const std::vector<Element>& elements) {
  std::string out;
  for (Element e : elements) out += ElementChar(e);
  return out;
}

std::string SeasonName(Element season) {
  switch (season) {
    case Element::kWood:
      return "春季";
    case Element::kFire:
      return "夏季";
    case Element::kMetal:
      return "秋季";
    case Element::kWater:
      return "冬季";
    case Element::kEarth:
      return "四季之末";
  }
  return {};
}

}  // namespace

Relation RelationTo(Element dayMaster, Element other) {
  if (other == dayMaster) return Relation::kCompanion;
  if (Generator(dayMaster) == other) return Relation::kResource;
  if (Generated(dayMaster) == other) return Relation::kOutput;
  if (Overcome(dayMaster) == other) return Relation::kWealth;
  return Relation::kOfficer;
}

std::string_view RelationText(Relation relation) {
  static constexpr std::array<std::string_view, 5> kTexts{"比劫", "印星", "食伤", "财星", "官杀"};
  return kTexts[static_cast<std::size_t>(relation)];
}

std::optional<ChartStrength> AssessStrength(const BirthPillars& pillars) {
  const auto year = ParsePillar(pillars.year);
  const auto month = ParsePillar(pillars.month);
  const auto day = ParsePillar(pillars.day);
  if (!year || !month || !day) return std::nullopt;
  const auto hour = ParsePillar(pillars.hour);

  ChartStrength s;
  s.dayMaster = std::string(kStems.substr(static_cast<std::size_t>(day->stem) * 2, 2));
  s.dayElement = StemElement(day->stem);
  s.monthBranch = std::string(kBranches.substr(static_cast<std::size_t>(month->branch) * 2, 2));
  s.hourKnown = hour.has_value();
  const Hidden& monthHidden = kHiddenStems[static_cast<std::size_t>(month->branch)];
  s.seasonElement = StemElement(monthHidden.stems[0]);
  s.inSeason = Supports(s.dayElement, s.seasonElement);

  auto addCharacter = [&](Element e) {
    ++s.otherCharacters;
    if (Supports(s.dayElement, e)) ++s.supportingCharacters;
  };
  auto addStem = [&](int stem) {
    s.points[static_cast<std::size_t>(Index(StemElement(stem)))] += kStemPoints;
    addCharacter(StemElement(stem));
  };
  auto addBranch = [&](int branch, int factor) {
    const Hidden& hidden = kHiddenStems[static_cast<std::size_t>(branch)];
    const auto& weights = kHiddenWeights[static_cast<std::size_t>(hidden.count)];
    for (int i = 0; i < hidden.count; ++i) {
      const Element e = StemElement(hidden.stems[static_cast<std::size_t>(i)]);
      s.points[static_cast<std::size_t>(Index(e))] += weights[static_cast<std::size_t>(i)] * factor;
    }
    addCharacter(StemElement(hidden.stems[0]));
  };

  std::vector<Pillar> all{*year, *month, *day};
  if (hour) all.push_back(*hour);
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i != 2) addStem(all[i].stem);
    addBranch(all[i].branch, i == 1 ? kMonthBranchFactor : 1);
  }
  for (Element e : kElements) {
    (Supports(s.dayElement, e) ? s.support : s.oppose) += s.points[static_cast<std::size_t>(Index(e))];
  }
  s.strong = s.support > s.oppose || (s.support == s.oppose && s.inSeason);
  return s;
}

FavourableElements FavourableOf(const ChartStrength& strength, const std::optional<std::vector<Element>>& userChoice) {
  FavourableElements result;
  result.strength = strength;
  const Element d = strength.dayElement;
  if (userChoice && !userChoice->empty()) {
    result.overridden = true;
    for (Element e : *userChoice) {
      if (std::find(result.favourable.begin(), result.favourable.end(), e) == result.favourable.end()) {
        result.favourable.push_back(e);
      }
    }
  } else if (strength.strong) {
    result.favourable = {Generated(d), Overcome(d), Overcomer(d)};
  } else {
    result.favourable = {Generator(d), d};
  }
  for (Element e : kElements) {
    if (std::find(result.favourable.begin(), result.favourable.end(), e) == result.favourable.end()) {
      result.unfavourable.push_back(e);
    }
  }
  return result;
}

LineList FavourableReasoning(const FavourableElements& result) {
  const ChartStrength& s = result.strength;
  const Element d = s.dayElement;
  auto relationList = [&](bool supporting) {
    std::string out;
    for (Relation r :
         {Relation::kResource, Relation::kCompanion, Relation::kOutput, Relation::kWealth, Relation::kOfficer}) {
      const bool isSupport = r == Relation::kResource || r == Relation::kCompanion;
      if (isSupport != supporting) continue;
      for (Element e : kElements) {
        if (RelationTo(d, e) != r) continue;
        if (!out.empty()) out += "、";
        out += std::string(RelationText(r)) + std::string(ElementChar(e)) +
               std::to_string(s.points[static_cast<std::size_t>(Index(e))]) + "分";
      }
    }
    return out;
  };

  LineList lines;
  if (!s.hourKnown) lines.push_back("时辰不详，只按年、月、日三柱六字分析。");
  lines.push_back("日主" + s.dayMaster + std::string(ElementChar(d)) + "，生于" + s.monthBranch + "月（" +
                  SeasonName(s.seasonElement) + "，" + std::string(ElementChar(s.seasonElement)) + "当令），日主" +
                  (s.inSeason ? "得令。" : "不得令。"));
  lines.push_back("除日干外" + std::to_string(s.otherCharacters) + "字中，有" + std::to_string(s.supportingCharacters) +
                  "字扶助日主。");
  lines.push_back("扶助日主：" + relationList(true) + "，共" + std::to_string(s.support) + "分；");
  lines.push_back("克泄耗日主：" + relationList(false) + "，共" + std::to_string(s.oppose) + "分。");
  if (s.strong) {
    lines.push_back(std::string("日主偏旺，宜泄、宜耗、宜克：喜") + std::string(ElementChar(Generated(d))) + "、" +
                    std::string(ElementChar(Overcome(d))) + "、" + std::string(ElementChar(Overcomer(d))) + "，忌" +
                    std::string(ElementChar(Generator(d))) + "、" + std::string(ElementChar(d)) + "。");
  } else {
    lines.push_back(std::string("日主偏弱，宜生、宜扶：喜") + std::string(ElementChar(Generator(d))) + "、" +
                    std::string(ElementChar(d)) + "，忌" + std::string(ElementChar(Generated(d))) + "、" +
                    std::string(ElementChar(Overcome(d))) + "、" + std::string(ElementChar(Overcomer(d))) + "。");
  }
  if (result.overridden) {
    lines.push_back("按您的选择，喜用五行为" + ElementList(result.favourable) + "，其余" +
                    ElementList(result.unfavourable) + "为忌。");
  } else {
    lines.push_back("喜用五行：" + ElementList(result.favourable) + "；忌用五行：" + ElementList(result.unfavourable) +
                    "。");
  }
  return lines;
}

}  // namespace tavrin::conventions
