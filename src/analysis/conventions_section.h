// The reading of a name by the conventions the naming books share (通行算法),
// shown beside the program's own analysis: 康熙 strokes per character, the
// five common grids with their numerology lines, 三才, the day master and the
// favourable elements of the birth chart, and the 通行评分.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/birth_pillars.h"
#include "chars/linelist.h"
#include "conventions/conventions_score.h"

namespace tavrin {
namespace advice {
class AdviceTables;
}

struct DataStores;
struct NameReport;

struct ConventionsRequest {
  std::string name;       // GBK, surname first
  int surnameLength = 1;  // 2 for a compound surname (advice::AdviceTables::SurnameLength)
  BirthPillars pillars;   // of the birth; an empty day pillar: no chart
  // The user's favourable elements in place of the chart's own.
  std::optional<std::vector<Element>> favourableOverride;
};

struct ConventionsSection {
  std::optional<conventions::ConventionsReading> reading;     // nullopt: the name has no common grids
  std::optional<conventions::FavourableElements> favourable;  // nullopt: no birth chart
  std::vector<std::string> traditional;                       // the traditional form of each character (GBK)
  // Per grid, in the order 天 人 地 外 总: the numerology lines of its number.
  std::vector<std::vector<std::string>> gridLines;
};

ConventionsSection ReadNameConventions(const DataStores& stores, const ConventionsRequest& request);

// The request for a name the analysis has read: its birth pillars, and its
// compound surname as the advice tables tell it.
ConventionsRequest ConventionsRequestFor(const NameReport& report, const advice::AdviceTables& tables,
                                         std::optional<std::vector<Element>> favourableOverride = std::nullopt);

// The section as lines (GBK), the heading first: what the analysis page, the
// PDF and the command line show.
LineList ConventionsLines(const ConventionsSection& section);

// The grid names 天格 人格 地格 外格 总格 (GBK) by index.
std::string_view CommonGridName(std::size_t index);

// The elements a text of element characters names ("木火"), in its order
// without repeats; nullopt when it holds anything else or none.
std::optional<std::vector<Element>> ParseElementList(std::string_view gbkText);

}  // namespace tavrin
