#include "core/child.h"

#include <algorithm>

#include "conventions/element.h"

namespace tavrin {

namespace {

// The unfavourable elements in the order the reasoning names them: what
// drains, what the day master overcomes, what overcomes it (a weak day
// master); what generates it and its own (a strong one).
std::vector<Element> UnfavourableInReasoningOrder(const conventions::FavourableElements& f) {
  const Element d = f.strength.dayElement;
  std::vector<Element> order = f.strength.strong
                                   ? std::vector<Element>{conventions::Generator(d), d}
                                   : std::vector<Element>{conventions::Generated(d), conventions::Overcome(d),
                                                          conventions::Overcomer(d)};
  std::vector<Element> shown;
  for (Element e : order) {
    if (std::find(f.unfavourable.begin(), f.unfavourable.end(), e) != f.unfavourable.end()) shown.push_back(e);
  }
  for (Element e : f.unfavourable) {
    if (std::find(shown.begin(), shown.end(), e) == shown.end()) shown.push_back(e);
  }
  return shown;
}

std::string PillarsText(const BirthPillars& p, bool hourKnown) {
  std::string text = p.year + " " + p.month + " " + p.day;
  if (hourKnown && !p.hour.empty()) {
    text += " " + p.hour;
  } else {
    text += "（" + std::string(UnknownHourText()) + "）";
  }
  return text;
}

std::string DayMasterText(const conventions::FavourableElements& f) {
  return "日主" + f.strength.dayMaster + std::string(ElementChar(f.strength.dayElement)) +
         (f.strength.strong ? "偏旺" : "偏弱");
}

// What the count of the eight characters says: 缺金、火多、土多.
std::string CountReading(const ElementCounts& counts) {
  std::string lacking;
  std::string many;
  for (Element e : kElementOrder) {
    if (counts[e] == 0) lacking += (lacking.empty() ? "缺" : "、缺") + std::string(ElementChar(e));
    if (counts[e] > 1) many += (many.empty() ? "" : "、") + std::string(ElementChar(e)) + "多";
  }
  if (lacking.empty()) return many.empty() ? std::string("五行俱全") : "五行不缺，" + many;
  return many.empty() ? lacking : lacking + "，" + many;
}

}  // namespace

std::optional<bool> ChildNeeds::Favours(Element element) const {
  if (!reading) return std::nullopt;
  const auto& f = reading->favourable;
  return std::find(f.begin(), f.end(), element) != f.end();
}

ChildNeeds ReadNeeds(const BirthPillars& pillars, ElementWish wish, const std::vector<Element>& chosen) {
  ChildNeeds needs;
  needs.pillars = pillars;
  needs.wish = wish;
  needs.hourKnown = !pillars.hour.empty();
  needs.counts = ElementCounts::Of(PillarElements(pillars.year) + PillarElements(pillars.month) +
                                   PillarElements(pillars.day) + PillarElements(pillars.hour));
  const auto strength = conventions::AssessStrength(pillars);
  if (!strength) return needs;
  needs.chartReading = conventions::FavourableOf(*strength);
  if (wish == ElementWish::kChart || (wish == ElementWish::kChosen && chosen.empty())) {
    needs.reading = needs.chartReading;
    needs.wish = ElementWish::kChart;
  } else if (wish == ElementWish::kChosen) {
    needs.reading = conventions::FavourableOf(*strength, chosen);
  }
  return needs;
}

std::string ElementsText(const std::vector<Element>& elements) {
  std::string text;
  for (Element e : elements) {
    if (!text.empty()) text += "、";
    text += ElementChar(e);
  }
  return text;
}

std::string NeedsSentence(const ChildNeeds& needs) {
  if (!needs.chartReading) return {};
  const auto& chart = *needs.chartReading;
  std::string text = "宝宝八字 " + PillarsText(needs.pillars, needs.hourKnown) + "：" + DayMasterText(chart);
  const std::string liked = ElementsText(chart.favourable);
  const std::string avoided = ElementsText(UnfavourableInReasoningOrder(chart));
  switch (needs.wish) {
    case ElementWish::kChart:
      return text + "，喜" + liked + "（名字宜用五行属" + liked + "的字），忌" + avoided;
    case ElementWish::kChosen:
      return text + "，本应喜" + liked + "；按您的选择，名字宜用五行属" + ElementsText(needs.reading->favourable) +
             "的字";
    case ElementWish::kIgnore:
      break;
  }
  return text + "，喜" + liked + "；按您的选择不看五行，名字不按五行排列";
}

std::string ReadingsLine(const ChildNeeds& needs) {
  if (!needs.chartReading) return {};
  const auto& chart = *needs.chartReading;
  std::string line = "两种读法：数八字各五行的字数（缺什么补什么），" + CountReading(needs.counts) +
                     "；看日主强弱（起名书多用），喜" + ElementsText(chart.favourable) + "。";
  std::string lackingButAvoided;
  for (Element e : kElementOrder) {
    if (needs.counts[e] == 0 &&
        std::find(chart.favourable.begin(), chart.favourable.end(), e) == chart.favourable.end()) {
      lackingButAvoided += std::string(lackingButAvoided.empty() ? "" : "、") + std::string(ElementChar(e));
    }
  }
  if (!lackingButAvoided.empty()) line += "缺的" + lackingButAvoided + "按日主强弱反而不宜多用。";
  switch (needs.wish) {
    case ElementWish::kChart:
      return line + "名单按日主强弱排列。";
    case ElementWish::kChosen:
      return line + "名单按您选的五行（" + ElementsText(needs.reading->favourable) + "）排列。";
    case ElementWish::kIgnore:
      break;
  }
  return line + "名单不看五行。";
}

}  // namespace tavrin
