// Character services on the hot path of every scored name.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "chars/strcon.h"
#include "chars/strokes.h"

namespace {

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = {"张三丰", "陈龙", "李思雨", "王浩然", "谢婉清", "魏子轩"};
  return names;
}

void BM_StrokeCount(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tavrin::StrokeCount(Names()[i++ % Names().size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrokeCount);

void BM_ToTraditional(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tavrin::ToTraditional(Names()[i++ % Names().size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToTraditional);

void BM_TextBefore(benchmark::State& state) {
  const std::string candidate = "张三丰(85)";
  for (auto _ : state) benchmark::DoNotOptimize(tavrin::TextBefore("(", candidate));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextBefore);

}  // namespace
