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
  std::vector<Element> order =
      f.strength.strong
          ? std::vector<Element>{conventions::Generator(d), d}
          : std::vector<Element>{conventions::Generated(d), conventions::Overcome(d), conventions::Overcomer(d)};
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
  if (!needs.hourKnown) {
    for (int hour = 0; hour < 24; hour += 2) {  // one hour of each double hour: 0 子, 2 丑 … 22 亥
      BirthPillars at = pillars;
      at.hour = HourPillar(pillars.day, hour);
      if (const auto s = conventions::AssessStrength(at))
        needs.byHour.push_back(conventions::FavourableOf(*s).favourable);
    }
  }
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

namespace {

std::string Clock(int hour, int minute) {
  return std::to_string(hour) + (minute < 10 ? ":0" : ":") + std::to_string(minute);
}

}  // namespace

std::string UnknownHourLine(const ChildNeeds& needs) {
  if (needs.hourKnown || !needs.chartReading || needs.byHour.empty()) return {};
  const std::vector<Element>& three = needs.chartReading->favourable;
  const auto same = [&three](const std::vector<Element>& f) {
    return std::is_permutation(f.begin(), f.end(), three.begin(), three.end());
  };
  const auto agreeing = std::count_if(needs.byHour.begin(), needs.byHour.end(), same);
  std::string line = "时辰不详：只按年、月、日三柱看，喜" + ElementsText(three) + "；";
  if (agreeing == static_cast<std::ptrdiff_t>(needs.byHour.size())) {
    return line + "十二个时辰无论哪个，喜用神都一样";
  }
  line += "十二个时辰中有" + std::to_string(agreeing) + "个也是这样，其余的喜";
  std::vector<std::vector<Element>> others;
  for (const auto& f : needs.byHour) {
    if (!same(f) && std::none_of(others.begin(), others.end(), [&f](const auto& o) { return o == f; })) {
      others.push_back(f);
    }
  }
  for (std::size_t i = 0; i < others.size(); ++i) line += (i ? "或" : "") + ElementsText(others[i]);
  return line + "；知道时辰后再生成一次更准";
}

std::vector<std::string> ChartNoteLines(const BirthChartNotes& notes, std::string_view placeName) {
  std::vector<std::string> lines;
  if (notes.solarTime) {
    const SolarTimeNote& s = *notes.solarTime;
    std::string line = "按真太阳时 " + Clock(s.hour, s.minute);
    line += placeName.empty() ? std::string() : "（" + std::string(placeName) + "）";
    line += "排时柱，北京时间 " + Clock(s.clockMinute / 60, s.clockMinute % 60);
    if (s.dayShift != 0) line += s.dayShift < 0 ? "，日柱按前一天" : "，日柱按后一天";
    lines.push_back(line);
  }
  if (notes.termDay) {
    const TermDayNote& t = *notes.termDay;
    const auto pillars = [](const std::string& year, const std::string& month) {
      return (year.empty() ? std::string() : year + "年 ") + month + "月";
    };
    std::string line = "出生当天" + Clock(t.termHour, t.termMinute) + "交" + t.termName + "：节前为" +
                       pillars(t.yearBefore, t.monthBefore) + "，节后为" + pillars(t.yearAfter, t.monthAfter) +
                       "；八字按" + (t.used == TermSide::kBefore ? "节前" : "节后");
    if (t.unsure)
      line += notes.hourUnknown ? "（时辰不详，不知在交节前后，可以改选）"
                                : "（交节在出生的这个钟点里，前后未定，可以改选）";
    lines.push_back(line);
  }
  return lines;
}

}  // namespace tavrin
