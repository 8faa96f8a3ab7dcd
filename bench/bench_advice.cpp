// Advice on 10,000 names, as the 精选 page and `generate --best` ask for it
// after a run: target 20 ms for the whole batch.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "advice/advice.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin::advice {
namespace {

struct Named {
  std::string name;
  Sex sex;
};

// 10,000 full names: common surnames with the given names of the shipped
// boys' and girls' lists, alternately.
std::vector<Named> Batch() {
  std::string error;
  const LineList boys = SplitLines(ReadWholeFile(ExecutableDir() + kBoyNamesFile, error).value_or(""));
  const LineList girls = SplitLines(ReadWholeFile(ExecutableDir() + kGirlNamesFile, error).value_or(""));
  const char* const surnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "欧阳"};
  std::vector<Named> batch;
  for (std::size_t i = 0; batch.size() < 10000 && !boys.empty() && !girls.empty(); ++i) {
    const bool girl = i % 2 == 1;
    const LineList& given = girl ? girls : boys;
    batch.push_back(
        {surnames[i % std::size(surnames)] + given[(i / 2) % given.size()], girl ? Sex::kFemale : Sex::kMale});
  }
  return batch;
}

void BM_Advise10000Names(benchmark::State& state) {
  const AdviceTables tables = tavrin::LoadAdviceTables(ExecutableDir());
  const std::vector<Named> batch = Batch();
  if (batch.size() != 10000 || tables.CharCount() == 0) {
    state.SkipWithError("the shipped name lists or advice tables are missing");
    return;
  }
  for (auto _ : state) {
    int sum = 0;
    for (const Named& n : batch) sum += tables.Advise(n.name, tables.SurnameLength(n.name), n.sex).recommend;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}
BENCHMARK(BM_Advise10000Names)->Unit(benchmark::kMillisecond);

void BM_LoadAdviceTables(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tavrin::LoadAdviceTables(ExecutableDir()).CharCount());
}
BENCHMARK(BM_LoadAdviceTables)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin::advice
