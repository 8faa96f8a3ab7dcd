#include "calendar/term_moments.h"

#include <cstdint>

#include "calendar/calendar_tables.h"

namespace tavrin {

namespace {

#include "term_moments.inc"

static_assert(kMomentFirstYear == kTermMomentFirstYear && kMomentLastYear == kTermMomentLastYear);

}  // namespace

std::optional<int> OpeningTermMinute(int year, int month) {
  if (year < kTermMomentFirstYear || year > kTermMomentLastYear || month < 1 || month > 12) return std::nullopt;
  return kTermMinuteTable[(year - kTermMomentFirstYear) * 12 + month - 1];
}

std::optional<OpeningTerm> OpeningTermOn(DayNumber day) {
  const CivilDate date = DecodeDate(day);
  const std::optional<int> minute = OpeningTermMinute(date.year, date.month);
  if (!minute || SectionTermDay(date.year, date.month) != date.day) return std::nullopt;
  return OpeningTerm{2 * (date.month - 1), *minute};
}

}  // namespace tavrin
