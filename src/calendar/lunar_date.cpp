#include "calendar/lunar_date.h"

#include <array>
#include <cstdint>
#include <string>

#include "calendar/calendar_index.h"
#include "calendar/calendar_tables.h"

namespace tavrin {

namespace {

constexpr int PositiveMod(std::int64_t value, int divisor) {
  const int r = static_cast<int>(value % divisor);
  return r < 0 ? r + divisor : r;
}

// A pillar's name, stem then branch, made once for each of the 120 pairs:
// a long run of dates then assigns each pillar in one copy.
void AssignPillar(std::string& target, int stem, int branch) {
  static const auto kPillars = [] {
    std::array<std::array<std::string, 12>, 10> pillars;
    for (int s = 0; s < 10; ++s) {
      for (int b = 0; b < 12; ++b) pillars[s][b] = std::string(StemName(s)) + std::string(BranchName(b));
    }
    return pillars;
  }();
  target = kPillars[static_cast<std::size_t>(stem)][static_cast<std::size_t>(branch)];
}

// The count c of the conversion to a day number: lDay, plus the ordinary
// month when the date is in its leap month, plus every earlier month from
// lunar 1900 on.
std::int64_t LunarCount(const TLunarDate& date) {
  std::int64_t count = date.lDay();
  if (date.FlagLeapMonth() && LeapMonthOf(date.lYear()) == date.lMonth()) {
    count += OrdinaryMonthDays(MonthDays(date.lYear(), date.lMonth()));
  }
  return count + LunarOffsetBeforeMonth(date.lYear(), date.lMonth());
}

// N: days from 1899-12-31 (1900-01-01 is 1); the day number is N + 1.
std::int64_t DayCountOf(const TLunarDate& date) {
  if (date.lYear() < kCalendarFirstYear) return date.lDay();
  return LunarCount(date) + 30;
}

}  // namespace

TLunarDate::TLunarDate() : TLunarDate(LocalToday()) {}

TLunarDate::TLunarDate(std::chrono::year_month_day today)
    : lDay_(static_cast<int>(static_cast<unsigned>(today.day()))),
      lYear_(static_cast<int>(today.year())),
      lMonth_(static_cast<int>(static_cast<unsigned>(today.month()))) {
  maxMonthDays_ = CurrentMonthDays();
}

void TLunarDate::SetFlagLeapMonth(bool value) {
  if (value == flagLeapMonth_) return;
  flagLeapMonth_ = value;
  DoChange();
}

void TLunarDate::SetLYear(int value) {
  if (value == lYear_ || !HasLunarYearData(value)) return;
  lYear_ = value;
  Recalculate();
  DoChange();
}

void TLunarDate::SetLMonth(int value) {
  if (value == lMonth_ || value < 1 || value > 12) return;
  lMonth_ = value;
  Recalculate();
  DoChange();
}

void TLunarDate::SetLDay(int value) {
  if (value >= 1 && value <= CurrentMonthDays()) lDay_ = value;
  Recalculate();
  DoChange();
}

void TLunarDate::SetBookOfChanges(bool value) {
  bookOfChanges_ = value;
  UpdateCyclic();
  DoChange();
}

int TLunarDate::CurrentMonthDays() const {
  const std::uint32_t days = MonthDays(lYear_, lMonth_);
  if (LeapMonthDays(days) != 0 && flagLeapMonth_) return LeapMonthDays(days);
  return OrdinaryMonthDays(days);
}

void TLunarDate::Recalculate() {
  maxMonthDays_ = CurrentMonthDays();
  if (lDay_ > maxMonthDays_) lDay_ = maxMonthDays_;
  UpdateCyclic();
  UpdateFeastOfLunar();
}

void TLunarDate::UpdateCyclic() {
  const std::int64_t n = DayCountOf(*this);
  AssignPillar(cDay_, PositiveMod(n + 9, 10), PositiveMod(n + 9, 12));

  const DayNumber day = static_cast<DayNumber>(n + 1);
  const CivilDate date = DecodeDate(day);

  if (bookOfChanges_) {
    // Solar months open on the first solar term of each Gregorian month.
    int year = date.year;
    int month = date.month;
    if (date.day < SectionTermDay(date.year, date.month)) {
      if (--month == 0) {
        month = 12;
        --year;
      }
    }
    const std::int64_t k = std::int64_t{year - 1899} * 12 + month;
    AssignPillar(cMonth_, PositiveMod(k, 10), PositiveMod(k, 12));
    // The year changes at 立春, the first term of February.
    const int beforeSpring = (date.month < 2 || (date.month == 2 && date.day < SectionTermDay(date.year, 2))) ? 1 : 0;
    const int y = date.year - beforeSpring;
    AssignPillar(cYear_, PositiveMod(y + 6, 10), PositiveMod(y + 8, 12));
    animalYear_.assign(AnimalName(PositiveMod(y + 8, 12)));
  } else {
    const std::int64_t k = std::int64_t{lYear_ - 1899} * 12 + lMonth_ + 1;
    AssignPillar(cMonth_, PositiveMod(k, 10), PositiveMod(k, 12));
    AssignPillar(cYear_, PositiveMod(lYear_ + 6, 10), PositiveMod(lYear_ + 8, 12));
    animalYear_.assign(AnimalName(PositiveMod(lYear_ + 8, 12)));
  }

  const int term = SolarTermIndex(day);
  if (term < 0) {
    solarTerm_.clear();
  } else {
    solarTerm_.assign(SolarTermName(term));
  }
}

void TLunarDate::UpdateFeastOfLunar() {
  feastOfLunar_.clear();
  const int key = lMonth_ * 256 + lDay_;
  for (const LunarFeast& feast : LunarFeasts()) {
    if (feast.key == key) {
      feastOfLunar_.assign(feast.text);
      break;
    }
  }
  if (lMonth_ == 12 && lDay_ == maxMonthDays_) feastOfLunar_.assign(NewYearsEveText());
  if (solarTerm_ == SolarTermName(6)) feastOfLunar_.assign(QingmingFestivalText());
}

void TLunarDate::DoChange() {
  if (onChange_) onChange_(*this);
}

void SolarToLunar(double day, TLunarDate& target) {
  const std::int64_t e = std::int64_t{WholeDay(day)} - 1;  // days since 1899-12-31
  if (e < 31) {
    // Before 1900-01-31: the twelfth month of lunar 1899, which opens on 1900-01-01.
    target.lYear_ = kCalendarFirstYear - 1;
    target.lMonth_ = 12;
    target.flagLeapMonth_ = false;
    target.SetLDay(static_cast<int>(e));
    return;
  }
  const LunarDay lunar = LunarDayFromOffset(e - 31);
  target.flagLeapMonth_ = lunar.leap;
  target.lYear_ = lunar.year;
  target.lMonth_ = lunar.month;
  target.lDay_ = lunar.day;
}

DayNumber LunarToSolar(const TLunarDate& date) {
  if (date.lYear() < kCalendarFirstYear) return date.lDay() + 1;
  return static_cast<DayNumber>(LunarCount(date) + 31);
}

}  // namespace tavrin
