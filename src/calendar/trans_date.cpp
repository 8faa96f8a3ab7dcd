#include "calendar/trans_date.h"

#include <algorithm>

#include "calendar/calendar_tables.h"

namespace tavrin {

TTransDate::TTransDate() : TTransDate(LocalToday()) {}

TTransDate::TTransDate(std::chrono::year_month_day today)
    : today_(today), lunarDate_(std::make_unique<TLunarDate>(today)) {
  SetISO8601(false);
  SetDate(ToDayNumber(today));
  AttachLunarDate();
  SetBookOfChanges(false);
}

TTransDate::~TTransDate() {
  // The held lunar date must not call back into a half-destroyed owner.
  if (lunarDate_) lunarDate_->SetOnChange(nullptr);
}

void TTransDate::AttachLunarDate() {
  lunarDate_->SetOnChange([this](TLunarDate& LD) { LunarDateChanged(LD); });
}

void TTransDate::SetBookOfChanges(bool value) {
  bookOfChanges_ = value;
  lunarDate_->SetBookOfChanges(value);
}

std::unique_ptr<TLunarDate> TTransDate::SetLunarDate(std::unique_ptr<TLunarDate> value) {
  if (!value) return nullptr;
  if (value.get() == lunarDate_.get()) {
    // The same object handed over again: it is owned here already.
    static_cast<void>(value.release());
    return nullptr;
  }
  std::unique_ptr<TLunarDate> previous = std::move(lunarDate_);
  previous->SetOnChange(nullptr);
  lunarDate_ = std::move(value);
  AttachLunarDate();
  const DayNumber day = LunarToSolar(*lunarDate_);
  date_ = day;
  const CivilDate civil = DecodeDate(day);
  maxMonthDays_ = DaysInMonth(civil.year, civil.month);
  lunarDate_->Recalculate();
  UpdateWeek();
  UpdateFeast();
  DoChange();
  return previous;
}

std::string_view TTransDate::Constellation() const {
  const CivilDate date = DecodeDate(WholeDay(date_));
  const int v = date.month * 100 + date.day;
  static constexpr struct {
    int from;
    int to;
    int sign;
  } kRanges[] = {{321, 419, 0},  {420, 520, 1},   {521, 620, 2},   {621, 722, 3},  {723, 822, 4}, {823, 922, 5},
                 {923, 1022, 6}, {1023, 1121, 7}, {1122, 1221, 8}, {120, 218, 10}, {219, 320, 11}};
  for (const auto& range : kRanges) {
    if (v >= range.from && v <= range.to) return ConstellationName(range.sign);
  }
  return ConstellationName(9);  // 摩羯座: 1222..1231 and 101..119
}

void TTransDate::SetISO8601(bool value) {
  iso8601_ = value;
  UpdateWeek();
}

void TTransDate::SetDate(double value) {
  if (value == date_) return;
  date_ = value;
  SolarToLunar(value, *lunarDate_);
  lunarDate_->Recalculate();
  const CivilDate civil = DecodeDate(WholeDay(date_));
  maxMonthDays_ = DaysInMonth(civil.year, civil.month);
  UpdateWeek();
  UpdateFeast();
  DoChange();
}

void TTransDate::SetLeapMonth(bool value) {
  leapMonth_ = value;
  TLunarDate& lunar = *lunarDate_;
  if (LeapMonthOf(lunar.lYear()) == lunar.lMonth() && lunar.FlagLeapMonth() != value) {
    lunar.SetFlagLeapMonth(value);
    SetDate(LunarToSolar(lunar));
  }
}

void TTransDate::DoChange() {
  if (onChange_) onChange_(*this);
}

void TTransDate::LunarDateChanged(TLunarDate& LD) {
  date_ = LunarToSolar(LD);
  UpdateWeek();
  UpdateFeast();
  DoChange();
}

void TTransDate::UpdateWeek() {
  const DayNumber day = WholeDay(date_);
  week_ = iso8601_ ? DayOfTheWeek(day) : DayOfWeek(day);
}

std::optional<DayNumber> TTransDate::EasterSunday(int year) {
  if (year == easterYear_) return easter_;
  easterYear_ = year;
  easter_.reset();
  const std::optional<DayNumber> first = EncodeDate(year, 3, 16);
  if (!first) return easter_;
  for (DayNumber e = *first; e < *first + 36; ++e) {
    if (SolarTermIndex(e) != 5) continue;  // 春分, the spring equinox
    TLunarDate scratch(today_);
    SolarToLunar(e, scratch);
    const int day = scratch.lDay();
    // The lunar 15th (the full moon) of this month, or of the next one.
    const DayNumber fullMoon = day <= 15 ? e + 15 - day : e + scratch.CurrentMonthDays() - day + 15;
    const int weekday = DayOfWeek(fullMoon);  // Sunday = 1
    easter_ = weekday == 1 ? fullMoon + 7 : fullMoon + 8 - weekday;
    break;
  }
  return easter_;
}

void TTransDate::UpdateFeast() {
  feast_.clear();
  const DayNumber day = WholeDay(date_);
  const CivilDate date = DecodeDate(day);

  if ((date.month == 3 && date.day >= 21) || (date.month == 4 && date.day <= 25)) {
    const std::optional<DayNumber> easter = EasterSunday(date.year);
    if (easter && *easter == day) feast_.assign(EasterText());
  }

  const int weekday = DayOfTheWeek(day);  // Monday = 1
  if (date.month == 11 && weekday == 4 && WeekOfTheMonth(day) == 4) feast_.append(UsThanksgivingText());

  const int nth = (date.day - 1) / 7 + 1;
  for (const DynamicFeast& feast : DynamicFeasts()) {
    if (feast.month == date.month && feast.n == nth && feast.weekday == weekday) {
      feast_.append(feast.text);
      feast_.push_back(' ');
    }
  }

  if (date.day > DaysInMonth(date.year, date.month) - 7) {
    for (const LastWeekFeast& feast : LastWeekFeasts()) {
      if (feast.month == date.month && feast.weekday == weekday) {
        feast_.append(feast.text);
        feast_.push_back(' ');
      }
    }
  }

  const auto fixed = FixedFeasts();
  const std::uint16_t key = static_cast<std::uint16_t>(date.month * 256 + date.day);
  const auto found = std::lower_bound(fixed.begin(), fixed.end(), key,
                                      [](const FixedFeast& feast, std::uint16_t k) { return feast.key < k; });
  if (found != fixed.end() && found->key == key) feast_.append(found->text);
}

void LoadMainWindowTransDate(TTransDate& transDate) {
  transDate.SetBookOfChanges(true);
  transDate.SetMaxMonthDays(31);
  TLunarDate& lunar = transDate.LunarDate();
  lunar.SetMaxMonthDays(30);
  lunar.SetLYear(2011);
  lunar.SetLMonth(11);
  lunar.SetLDay(8);
  lunar.SetFlagLeapMonth(false);
  transDate.SetISO8601(false);
  transDate.SetDate(40879);  // 2011-12-02
  transDate.SetLeapMonth(false);
}

}  // namespace tavrin
