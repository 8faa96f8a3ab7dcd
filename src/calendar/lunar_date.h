// The lunar date object and the two conversions between Gregorian day numbers
// and dates of the Chinese lunisolar calendar.
//
// A TLunarDate holds a lunar year, month and day (and whether the month is a
// leap month) together with the values derived from them: the stem-branch
// names of the year, month and day, the zodiac animal, the solar term of the
// day and the lunar festival of the day. Writes through the setters recompute
// those values and raise OnChange synchronously, inside the write.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "calendar/gregorian.h"

namespace tavrin {

class TLunarDate {
 public:
  using ChangeEvent = std::function<void(TLunarDate& LD)>;

  // lYear, lMonth and lDay start as today's Gregorian year, month and day
  // (no conversion: the owner converts right after) and MaxMonthDays as the
  // days of that lunar month. Every other field starts empty, false or 0.
  TLunarDate();  // today from the local clock
  explicit TLunarDate(std::chrono::year_month_day today);
  virtual ~TLunarDate() = default;
  // The change event usually points at an owner, so the object is not copied.
  TLunarDate(const TLunarDate&) = delete;
  TLunarDate& operator=(const TLunarDate&) = delete;

  bool FlagLeapMonth() const { return flagLeapMonth_; }
  // Stores a different value and raises OnChange; does not recalculate.
  void SetFlagLeapMonth(bool value);

  int lYear() const { return lYear_; }
  int lMonth() const { return lMonth_; }
  int lDay() const { return lDay_; }
  // Ignores a value equal to the current one or outside the data years
  // (1900..2057); else stores it, recalculates and raises OnChange.
  void SetLYear(int value);
  // Ignores a value equal to the current one or outside 1..12; else stores
  // it, recalculates and raises OnChange.
  void SetLMonth(int value);
  // Stores the value only when it lies within 1..days of the current month;
  // recalculates and raises OnChange in every case.
  void SetLDay(int value);

  const std::string& cYear() const { return cYear_; }
  const std::string& cMonth() const { return cMonth_; }
  const std::string& cDay() const { return cDay_; }
  const std::string& AnimalYear() const { return animalYear_; }
  const std::string& SolarTerm() const { return solarTerm_; }
  const std::string& FeastOfLunar() const { return feastOfLunar_; }

  int MaxMonthDays() const { return maxMonthDays_; }
  void SetMaxMonthDays(int value) { maxMonthDays_ = value; }

  const ChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(ChangeEvent handler) { onChange_ = std::move(handler); }

  // Set: the year changes at 立春 and the months follow the solar terms that
  // open them; clear: the lunar year and month name them.
  bool BookOfChanges() const { return bookOfChanges_; }
  // Stores the flag, recomputes the stem-branch texts and raises OnChange,
  // whether or not the flag changed.
  void SetBookOfChanges(bool value);

  // Days of the current month: the leap month's when FlagLeapMonth is set
  // and the month has one, else the ordinary month's.
  int CurrentMonthDays() const;

  // MaxMonthDays from the current month, lDay held within it, then the
  // derived texts. Raises no event.
  void Recalculate();
  // The stem-branch texts, animal and solar term from the lunar fields.
  void UpdateCyclic();
  // The lunar festival of the day (needs SolarTerm and MaxMonthDays).
  void UpdateFeastOfLunar();

  // Calls OnChange with this object when it is assigned.
  virtual void DoChange();

 private:
  friend void SolarToLunar(double day, TLunarDate& target);

  bool flagLeapMonth_ = false;
  std::string cYear_;
  int lDay_ = 0;
  int lYear_ = 0;
  int lMonth_ = 0;
  std::string cMonth_;
  std::string cDay_;
  std::string solarTerm_;
  std::string animalYear_;
  int maxMonthDays_ = 0;
  ChangeEvent onChange_;
  std::string feastOfLunar_;
  bool bookOfChanges_ = false;
};

// Converts the whole day of a day number into the lunar fields of `target`.
// Days from 1900-01-01 to 1900-01-30 are lunar 1899, month 12 (written
// through the lDay setter, which recalculates and raises OnChange); an
// earlier day keeps lDay. Later days are stored straight into the fields,
// without recalculation or event: the caller runs Recalculate. After the data
// (lunar 2057, which ends on 2058-01-23) the count goes on in years of twelve
// 30-day months without leap months, the inverse of LunarToSolar there.
void SolarToLunar(double day, TLunarDate& target);

// The day number of a lunar date; the exact inverse of SolarToLunar from
// 1900-01-01 on. A leap-month flag counts only when the year's leap month is
// lMonth.
DayNumber LunarToSolar(const TLunarDate& date);

}  // namespace tavrin
