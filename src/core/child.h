// The baby the names are for, and what the baby needs of a name.
//
// A `Child` is who the family is naming: surname, sex and birth, and which
// elements they want the name to bring (the chart's own favourable
// elements, elements they choose, or none at all). `ChildNeeds` is the one
// reading of the chart every page follows: the favourable elements (喜用神)
// by the strength of the day master, the way the naming books mostly read a
// chart, or the family's choice; beside it, the count of the eight
// characters' elements that the birth analysis lines print (缺什么补什么),
// so that a page can say how the two readings differ.
//
// A name is judged for the child by JudgeForChild (core/judgement.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calendar/birth_pillars.h"
#include "chars/elements.h"
#include "chars/sex.h"
#include "conventions/favourable.h"

namespace tavrin {

// Which elements the family wants a name to bring.
enum class ElementWish {
  kChart,   // the chart's favourable elements (喜用神)
  kChosen,  // the family's own choice
  kIgnore,  // 不看五行: names are ranked without the chart
};

// What the family wishes of the name beside its elements (GBK texts). Only
// the avoided characters and the kept ones leave names out; the rest weigh
// in the 推荐度 (core/wishes.h).
struct FamilyWishes {
  // A character the given name must hold at a place: the generation
  // character (辈分字) and the settings page's 限定第2/3个字.
  struct Kept {
    std::string ch;
    int place = 1;  // 1: the first given character, 2: the second
    bool operator==(const Kept&) const = default;
  };

  std::string theme{};  // the name of a theme of meaning (聪慧); empty: none
  std::vector<Kept> kept{};
  std::string avoided{};     // characters no given character may be (避讳), concatenated
  bool avoidSounds = false;  // nor one of the same syllable without its tone
  std::string sibling{};     // the older sibling's given name
  Sex siblingSex = Sex::kMale;

  bool Empty() const { return theme.empty() && kept.empty() && avoided.empty() && sibling.empty(); }
  bool operator==(const FamilyWishes&) const = default;
};

struct Child {
  std::string surname;  // GBK
  Sex sex = Sex::kMale;
  int year = 0, month = 0, day = 0;  // 0: no birth given yet
  BirthHour hour;
  BirthTimeOptions time;  // birthplace (longitude), minute, side of a solar term
  ElementWish wish = ElementWish::kChart;
  std::vector<Element> chosen;  // the family's elements, for kChosen
  FamilyWishes wishes;

  bool HasBirth() const { return year != 0; }
  // The same baby: surname, sex and birth, the place and time of day of
  // the birth as the chart reads them (the wishes may differ).
  bool SameBaby(const Child& other) const {
    return surname == other.surname && sex == other.sex && year == other.year && month == other.month &&
           day == other.day && hour == other.hour && time.longitude == other.time.longitude &&
           time.minute == other.time.minute && time.termSide == other.time.termSide;
  }
};

struct ChildNeeds {
  BirthPillars pillars;  // an empty day pillar: no chart
  ElementWish wish = ElementWish::kChart;
  // The elements names are judged by: the chart's favourable elements or
  // the family's choice. None without a chart, and with kIgnore.
  std::optional<conventions::FavourableElements> reading;
  // The chart's own favourable elements, also when the family chose or
  // ignores them (none without a chart).
  std::optional<conventions::FavourableElements> chartReading;
  // The elements of the chart's characters, counted (the birth analysis
  // lines' reading: an element never met is 缺, more than one is 多).
  ElementCounts counts;
  bool hourKnown = false;
  // Without the hour: the favourable elements the chart would have at each
  // of the twelve double hours (子 … 亥), for saying how sure the reading of
  // three pillars is. Empty when the hour is known.
  std::vector<std::vector<Element>> byHour;

  bool HasChart() const { return chartReading.has_value(); }
  // Whether a name's character of this element brings what the baby needs:
  // nullopt when names are not judged by elements.
  std::optional<bool> Favours(Element element) const;
};

// The reading of the child's chart. `pillars` are the birth's (an empty
// day pillar: no chart).
ChildNeeds ReadNeeds(const BirthPillars& pillars, ElementWish wish, const std::vector<Element>& chosen);

// What the baby needs, in one sentence of a parent's words (GBK), e.g.
// 宝宝八字 丙午 辛丑 丁未 癸卯：日主丁火偏弱，喜木、火（名字宜用五行属木、火的字），忌土、金、水
// Empty without a chart.
std::string NeedsSentence(const ChildNeeds& needs);

// How the chart's two readings differ and which one the names follow (GBK):
// the count of the eight characters against the strength of the day
// master. Empty without a chart.
std::string ReadingsLine(const ChildNeeds& needs);

// Without the hour: how the favourable elements of three pillars hold over
// the twelve double hours, one line (GBK); empty when the hour is known.
std::string UnknownHourLine(const ChildNeeds& needs);

// What the chart is unsure of and how it was read, one line each (GBK): the
// true solar time used, "按真太阳时 4:52（乌鲁木齐）", with `placeName` (GBK,
// may be empty); a birth on the day of a month's solar term, with both month
// pillars and the one used (an unknown hour: UnknownHourLine).
std::vector<std::string> ChartNoteLines(const BirthChartNotes& notes, std::string_view placeName);

// The elements as a text of their characters joined by 、 (GBK): 木、火.
std::string ElementsText(const std::vector<Element>& elements);

}  // namespace tavrin
