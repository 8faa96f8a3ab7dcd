// The date translator on its hot path: a Gregorian date written, the year,
// month and day pillars read back. Target: at least 4,000,000 days a second
// on one thread.
#include <benchmark/benchmark.h>

#include <chrono>

#include "calendar/gregorian.h"
#include "calendar/lunar_date.h"
#include "calendar/trans_date.h"

namespace {

constexpr std::chrono::year_month_day kToday{std::chrono::year(2024), std::chrono::month(6), std::chrono::day(15)};

// Every day of 1900..2056 written into TTransDate::Date, in the main
// window's solar-term mode, and cYear, cMonth, cDay read.
void BM_TransDateEveryDay(benchmark::State& state) {
  tavrin::TTransDate transDate(kToday);
  tavrin::LoadMainWindowTransDate(transDate);
  const tavrin::DayNumber first = *tavrin::EncodeDate(1900, 1, 1);
  const tavrin::DayNumber last = *tavrin::EncodeDate(2056, 12, 31);
  for (auto _ : state) {
    for (tavrin::DayNumber day = first; day <= last; ++day) {
      transDate.SetDate(day);
      const tavrin::TLunarDate& lunar = transDate.LunarDate();
      benchmark::DoNotOptimize(lunar.cYear().data());
      benchmark::DoNotOptimize(lunar.cMonth().data());
      benchmark::DoNotOptimize(lunar.cDay().data());
    }
  }
  state.SetItemsProcessed(state.iterations() * (last - first + 1));
  state.SetLabel("items = days");
}
BENCHMARK(BM_TransDateEveryDay)->Unit(benchmark::kMillisecond);

// The bare conversion of a day into a lunar date and its derived texts.
void BM_SolarToLunarRecalculate(benchmark::State& state) {
  tavrin::TLunarDate lunar(kToday);
  lunar.SetBookOfChanges(true);
  const tavrin::DayNumber first = *tavrin::EncodeDate(1900, 1, 31);
  const tavrin::DayNumber last = *tavrin::EncodeDate(2056, 12, 31);
  for (auto _ : state) {
    for (tavrin::DayNumber day = first; day <= last; ++day) {
      tavrin::SolarToLunar(day, lunar);
      lunar.Recalculate();
      benchmark::DoNotOptimize(lunar.cDay().data());
    }
  }
  state.SetItemsProcessed(state.iterations() * (last - first + 1));
}
BENCHMARK(BM_SolarToLunarRecalculate)->Unit(benchmark::kMillisecond);

}  // namespace
