// The date translator: one Gregorian date and its lunar date, kept in step in
// both directions, with the weekday, Western zodiac sign, days of the
// Gregorian month and the Gregorian festivals of the day.
//
// Writing Date converts it into the held lunar date; a change raised by the
// lunar date (its setters, its BookOfChanges) moves Date to match. Events are
// raised synchronously inside the write that caused them.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/gregorian.h"
#include "calendar/lunar_date.h"

namespace tavrin {

class TTransDate {
 public:
  using NotifyEvent = std::function<void(TTransDate& sender)>;

  // Holds a lunar date created for `today`, with ISO8601 clear, Date written
  // to today and BookOfChanges written clear (so the lunar date's change
  // handler runs once). OnChange is unassigned.
  TTransDate();  // today from the local clock
  explicit TTransDate(std::chrono::year_month_day today);
  virtual ~TTransDate();
  TTransDate(const TTransDate&) = delete;
  TTransDate& operator=(const TTransDate&) = delete;

  bool BookOfChanges() const { return bookOfChanges_; }
  // Stores the flag and passes it to the lunar date, which recomputes its
  // stem-branch texts and raises its change event.
  void SetBookOfChanges(bool value);

  // Days of the Gregorian month of Date.
  int MaxMonthDays() const { return maxMonthDays_; }
  void SetMaxMonthDays(int value) { maxMonthDays_ = value; }

  TLunarDate& LunarDate() { return *lunarDate_; }
  const TLunarDate& LunarDate() const { return *lunarDate_; }
  // Holds `value` from now on (and listens to its changes), moves Date to it
  // and returns the lunar date held before, detached, to its new owner.
  // Handing over the object already held (or none) changes nothing and
  // returns nothing; the object stays owned once.
  std::unique_ptr<TLunarDate> SetLunarDate(std::unique_ptr<TLunarDate> value);

  // The Western zodiac sign of Date (GBK), computed on each read.
  std::string_view Constellation() const;

  // Weekday numbering of Week: set, Monday = 1 .. Sunday = 7; clear,
  // Sunday = 1 .. Saturday = 7.
  bool ISO8601() const { return iso8601_; }
  void SetISO8601(bool value);
  int Week() const { return week_; }

  // The Gregorian date as a day number (1899-12-30 = 0); the fraction of a
  // day is a time of day, which the conversions drop.
  double Date() const { return date_; }
  // Nothing happens when the value equals Date exactly.
  void SetDate(double value);

  // Gregorian festivals of Date (GBK), or empty.
  const std::string& Feast() const { return feast_; }

  bool LeapMonth() const { return leapMonth_; }
  // Stores the value; when the lunar month has a leap month and the lunar
  // date's flag differs, moves the date to the same day of the other month.
  void SetLeapMonth(bool value);

  const NotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(NotifyEvent handler) { onChange_ = std::move(handler); }

  virtual void DoChange();
  // Runs whenever the held lunar date raises its change event.
  virtual void LunarDateChanged(TLunarDate& LD);

  // Easter Sunday of a Gregorian year by the calendar's own rule (the first
  // Sunday after the lunar 15th on or after the spring-equinox day), or
  // nullopt when the year has no solar-term data.
  std::optional<DayNumber> EasterSunday(int year);

 private:
  void AttachLunarDate();
  void UpdateWeek();
  void UpdateFeast();

  std::chrono::year_month_day today_;
  double date_ = 0;
  bool leapMonth_ = false;
  bool iso8601_ = false;
  int week_ = 0;
  NotifyEvent onChange_;
  std::unique_ptr<TLunarDate> lunarDate_;
  int maxMonthDays_ = 0;
  std::string feast_;
  bool bookOfChanges_ = false;

  int easterYear_ = 0;  // the year of the cached Easter, 0 for none
  std::optional<DayNumber> easter_;
};

// Applies the stored state of the main window's date translator, in its
// order, through the setters: BookOfChanges set (solar-term mode),
// MaxMonthDays 31, the lunar date 30 days a month, lunar 2011/11/8 not leap,
// ISO8601 clear, Date 2011-12-02 (day 40879), LeapMonth clear.
void LoadMainWindowTransDate(TTransDate& transDate);

}  // namespace tavrin
