// What the naming run reads from and tells the window, as small interfaces:
// the live inputs of the settings page, the message pump, message boxes and
// the clock that paces extra pumps. The window implements them over its
// controls; the command line and the tests use the plain versions here or
// fakes of their own.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include <vector>

#include "core/birth_inputs.h"
#include "core/child.h"

namespace tavrin {

// The inputs of the settings page, read at the moment the run needs them (a
// change made during a run takes effect at the next read). Texts are GBK.
class NamingInputs {
 public:
  virtual ~NamingInputs() = default;
  virtual std::string Surname() const = 0;
  // The radio button 女 is checked (else 男 is).
  virtual bool Female() const = 0;
  virtual std::string YearText() const = 0;
  virtual std::string MonthText() const = 0;
  virtual std::string DayText() const = 0;
  virtual HourField Hour() const = 0;
  // The requested count of pane lines.
  virtual std::string CountText() const = 0;
  // "限定第2个字为:" and its field; "限定第3个字为:" and its field.
  virtual bool FixSecondChecked() const = 0;
  virtual std::string FixSecondText() const = 0;
  virtual bool FixThirdChecked() const = 0;
  virtual std::string FixThirdText() const = 0;
  // "声韵按整项比较": the sound check compares whole group items. Read once
  // at the start of a run.
  virtual bool WholeItemSound() const { return false; }
  // Which elements the names should bring (the chart's, the family's choice,
  // or none), and the family's elements for the choice. Read once at the
  // start of a run.
  virtual ElementWish Wish() const { return ElementWish::kChart; }
  virtual std::vector<Element> ChosenElements() const { return {}; }
  // The birthplace's longitude, the minute and the side of a solar term the
  // family chose, for the chart (none: clock time at the hour, as before).
  virtual BirthTimeOptions BirthTime() const { return {}; }
  // The family's wishes of the 家人心愿 row (the fixed characters are read
  // with the fields above: RunWishes). Read once at the start of a run.
  virtual FamilyWishes Wishes() const { return {}; }
};

// The wishes a run's names are judged by: the family's, with the checked
// 限定第2个字 and 限定第3个字 kept at the first and the second given place.
FamilyWishes RunWishes(const NamingInputs& inputs);

// Inputs held as plain fields, with the settings page's defaults; a test may
// change a field while a run is under way (from its fake pump, say).
struct SettingsInputs final : NamingInputs {
  SettingsInputs();

  std::string surname;
  bool female = false;
  std::string year, month, day;
  HourField hour;
  std::string count;
  bool fixSecondChecked = false;
  std::string fixSecond;
  bool fixThirdChecked = false;
  std::string fixThird;
  bool wholeItemSound = false;
  ElementWish wish = ElementWish::kChart;
  std::vector<Element> chosenElements;
  BirthTimeOptions birthTime;
  FamilyWishes wishes;

  std::string Surname() const override { return surname; }
  bool Female() const override { return female; }
  std::string YearText() const override { return year; }
  std::string MonthText() const override { return month; }
  std::string DayText() const override { return day; }
  HourField Hour() const override { return hour; }
  std::string CountText() const override { return count; }
  bool FixSecondChecked() const override { return fixSecondChecked; }
  std::string FixSecondText() const override { return fixSecond; }
  bool FixThirdChecked() const override { return fixThirdChecked; }
  std::string FixThirdText() const override { return fixThird; }
  bool WholeItemSound() const override { return wholeItemSound; }
  ElementWish Wish() const override { return wish; }
  std::vector<Element> ChosenElements() const override { return chosenElements; }
  BirthTimeOptions BirthTime() const override { return birthTime; }
  FamilyWishes Wishes() const override { return wishes; }
};

// Lets the window process its pending messages (clicks on Stop among them).
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void Pump() = 0;
};

// Shows a message to the user and waits for it to be read. GBK text.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(std::string_view text) = 0;
};

// A monotonic clock, injectable so that tests decide when time passes.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
};

// The real steady clock.
MonotonicClock& SteadyClock();

}  // namespace tavrin
