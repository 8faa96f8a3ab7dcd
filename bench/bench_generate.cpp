// The naming run: the whole default Generate command, the draw rate of the
// three-character generator, the longest stretch between two pumps, and the
// names the program proposes itself for 精选 after a run (target 100 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "core/best_names.h"
#include "core/naming_model.h"
#include "generators/generate_command.h"
#include "generators/generators.h"

namespace {

using tavrin::NamingModel;

const tavrin::SharedStores& Stores() {
  static const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  return stores;
}

// Records the longest time between two pumps (and from the start to the
// first, and from the last to the end of the run).
class StretchPump final : public tavrin::MessagePump {
 public:
  void Start() { last_ = std::chrono::steady_clock::now(); }
  void Pump() override {
    const auto now = std::chrono::steady_clock::now();
    longest = std::max(longest, now - last_);
    last_ = now;
    ++pumps;
  }
  std::chrono::steady_clock::duration longest{};
  long long pumps = 0;

 private:
  std::chrono::steady_clock::time_point last_;
};

struct Fixture {
  explicit Fixture(tavrin::MessagePump* pump) {
    tavrin::NamingEnvironment environment;
    environment.inputs = &inputs;
    environment.pump = pump;  // none: nothing to pump
    environment.today =
        std::chrono::year_month_day(std::chrono::year(2026), std::chrono::month(12), std::chrono::day(9));
    model = std::make_unique<NamingModel>(Stores(), 20121, environment);
  }
  tavrin::SettingsInputs inputs;
  std::unique_ptr<NamingModel> model;
};

void BM_DefaultGenerateRun(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Fixture fixture(nullptr);
    state.ResumeTiming();
    benchmark::DoNotOptimize(tavrin::GenerateCommand(*fixture.model));
  }
}
BENCHMARK(BM_DefaultGenerateRun)->Unit(benchmark::kMillisecond);

void BM_ThreeCharDraws(benchmark::State& state) {
  Fixture fixture(nullptr);
  NamingModel& model = *fixture.model;
  tavrin::GenerateCommand(model);  // leaves the session as a run does
  long long draws = 0;
  for (auto _ : state) {
    model.PaneOf(tavrin::Origin::kThreeChar).Clear();
    tavrin::GenerateThreeCharNames(model);
    draws += std::stoll(model.Presentation().Progress());
  }
  state.SetItemsProcessed(draws);
  state.counters["draws/s"] = benchmark::Counter(static_cast<double>(draws), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThreeCharDraws)->Unit(benchmark::kMillisecond);

void BM_LongestStretchBetweenPumps(benchmark::State& state) {
  StretchPump pump;
  for (auto _ : state) {
    Fixture fixture(&pump);
    pump.Start();
    tavrin::GenerateCommand(*fixture.model);
    pump.Pump();  // the end of the run closes the last stretch
  }
  state.counters["longest_ms"] = std::chrono::duration<double, std::milli>(pump.longest).count();
  state.counters["pumps"] = static_cast<double>(pump.pumps) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LongestStretchBetweenPumps)->Unit(benchmark::kMillisecond)->Iterations(5);

// The name bank's names for the run's surname, sex and chart, each checked
// against the run's sound rule, scored and advised (their lines are the
// bank's: no library lookup). After the default run (张, whose sound lets
// few first characters pass the byte-wise rule) and after the same run for
// 刘, which lets most of the bank pass.
void BM_ProposeNamesAfterARun(benchmark::State& state) {
  Fixture fixture(nullptr);
  if (state.range(0) == 1) fixture.inputs.surname = "刘";
  tavrin::GenerateCommand(*fixture.model);
  std::size_t added = 0;
  for (auto _ : state) {
    tavrin::BestNames names(Stores()->advice.get());
    added = names.AddProposals(fixture.model->Session(), fixture.model->Services());
    benchmark::DoNotOptimize(added);
  }
  state.counters["names"] = static_cast<double>(added);
  if (added == 0) state.SkipWithError("no name bank in the data directory");
}
BENCHMARK(BM_ProposeNamesAfterARun)->Arg(0)->Arg(1)->ArgName("liu")->Unit(benchmark::kMillisecond);

// The list of best names of the baby after a run, as 精选 and --best make it:
// the run's names and the bank's proposals, each advised and judged for the
// baby's chart (the element fit and the naming books' numerology), then the
// best 20. After the default run, after the same run for 刘, and (2) for 刘
// with the family's wishes: a theme, which reaches beyond the baby's share
// of the bank, an avoided character by its sound and the sibling's name.
void BM_BestNamesOfTheBabyAfterARun(benchmark::State& state) {
  Fixture fixture(nullptr);
  if (state.range(0) >= 1) fixture.inputs.surname = "刘";
  if (state.range(0) == 2) {
    fixture.inputs.wishes = {.theme = "书香", .avoided = "建", .avoidSounds = true, .sibling = "子涵"};
  }
  tavrin::GenerateCommand(*fixture.model);
  std::size_t names = 0;
  for (auto _ : state) {
    tavrin::BestNames best(Stores()->advice.get());
    best.FollowRun(fixture.model->Session(), fixture.model->Services());
    best.AddRuns(fixture.model->RunState(), tavrin::Sex::kMale);
    best.AddProposals(fixture.model->Session(), fixture.model->Services());
    benchmark::DoNotOptimize(best.Best(20));
    names = best.Size();
  }
  state.counters["names"] = static_cast<double>(names);
}
BENCHMARK(BM_BestNamesOfTheBabyAfterARun)->Arg(0)->Arg(1)->Arg(2)->ArgName("liu")->Unit(benchmark::kMillisecond);

}  // namespace
