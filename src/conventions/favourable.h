// The favourable elements (喜用神) of a birth chart: the strength of the day
// master and the elements that balance it.
//
// Method. The day master is the stem of the day pillar. Every other stem
// counts 10 points for its element. Every branch counts 10 points shared
// among its hidden stems: 10 for one, 7 and 3 for two, 6, 3 and 1 for three
// (main, middle and residual qi); the month branch, which rules the season,
// counts three times (30). Points of the day master's own element (比劫) and
// of the element that generates it (印) support it; points of the elements it
// generates (食伤), overcomes (财) and that overcome it (官杀) oppose it. The
// day master is strong when support exceeds opposition, and on a tie when the
// month branch's main element supports it (得令). A weak day master favours
// 印 and 比劫; a strong one favours 食伤, 财 and 官杀; the others are
// unfavourable. Without an hour pillar the chart has six characters and is
// tallied the same way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calendar/birth_pillars.h"
#include "chars/linelist.h"
#include "conventions/element.h"

namespace tavrin::conventions {

// An element's relation to the day master.
enum class Relation { kCompanion, kResource, kOutput, kWealth, kOfficer };

Relation RelationTo(Element dayMaster, Element other);
// "比劫", "印星", "食伤", "财星", "官杀" (GBK).
std::string_view RelationText(Relation relation);

struct ChartStrength {
  std::string dayMaster;  // the day stem, GBK
  Element dayElement = Element::kMetal;
  std::string monthBranch;                  // GBK
  Element seasonElement = Element::kMetal;  // main element of the month branch
  bool inSeason = false;                    // the season supports the day master
  bool hourKnown = false;
  std::array<int, 5> points{};  // by element, over the whole chart
  int support = 0;
  int oppose = 0;
  // The characters besides the day stem (seven, or five without an hour),
  // each by its own element (a branch by its main element), and how many of
  // them support the day master.
  int otherCharacters = 0;
  int supportingCharacters = 0;
  bool strong = false;
};

// nullopt when the year, month or day pillar is not a stem and a branch; an
// empty hour pillar means the hour is unknown.
std::optional<ChartStrength> AssessStrength(const BirthPillars& pillars);

struct FavourableElements {
  ChartStrength strength;
  std::vector<Element> favourable;    // most useful first
  std::vector<Element> unfavourable;  // in the order 金 木 水 火 土
  bool overridden = false;
};

// The favourable elements by the method above, or the user's own choice when
// `userChoice` holds one (the others are then unfavourable).
FavourableElements FavourableOf(const ChartStrength& strength,
                                const std::optional<std::vector<Element>>& userChoice = std::nullopt);

// The reasoning in plain Chinese, one GBK line each: day master and season,
// the tallies, the verdict, the favourable and unfavourable elements.
LineList FavourableReasoning(const FavourableElements& result);

}  // namespace tavrin::conventions
