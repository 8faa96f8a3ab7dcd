// The per-candidate work of a naming run: the sound check of a pair of
// characters, the element of a character and the score of a full name, each
// with its plain scan for comparison. Reads the shipped data beside the
// program.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "core/random.h"
#include "core/services.h"
#include "core/startup.h"

namespace {

const tavrin::DataStores& Stores() {
  static const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
  return *stores;
}

const tavrin::NamingServices& Services() { return *Stores().services; }

// Given-name characters as a naming run draws them: from the male name list
// when it loaded, else from common characters.
const std::vector<std::string>& NameChars() {
  static const std::vector<std::string> chars = [] {
    std::vector<std::string> result;
    for (const std::string& line : Stores().maleGivenChars) {
      if (line.size() == 2) result.push_back(line);
    }
    if (result.empty()) result = tavrin::SplitChars("伟刚勇毅俊峰强军平保东文辉力明永健世广志义兴良海山仁波宁贵福生龙");
    return result;
  }();
  return chars;
}

// Three-character names: common surnames and two drawn given-name characters.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    const std::vector<std::string> surnames = tavrin::SplitChars("张王李赵陈刘杨黄周吴徐孙马朱胡郭何高林罗");
    std::mt19937 random(7);
    std::vector<std::string> result;
    for (int i = 0; i < 1024; ++i) {
      result.push_back(surnames[random() % surnames.size()] + NameChars()[random() % NameChars().size()] +
                       NameChars()[random() % NameChars().size()]);
    }
    return result;
  }();
  return names;
}

const std::string kBirthElements = "金木水火土金木水";

void BM_ScoreName(benchmark::State& state) {
  const auto& names = Names();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Services().scorer.ScoreName(names[i++ & 1023], kBirthElements));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreName);

void BM_ScoreOnly(benchmark::State& state) {
  const auto& names = Names();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Services().scorer.Score(names[i++ & 1023], kBirthElements));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreOnly);

void BM_ScoreNameScan(benchmark::State& state) {
  const auto& names = Names();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        tavrin::scan::ScoreName(Stores().numerologyTable, Stores().charElementList, kBirthElements, names[i++ & 1023]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScoreNameScan);

void BM_SoundCheck(benchmark::State& state) {
  const auto& chars = NameChars();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Services().pinyin.SoundCheck(chars[i % chars.size()], chars[(i * 7 + 3) % chars.size()]));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SoundCheck);

void BM_SoundCheckScan(benchmark::State& state) {
  const auto& chars = NameChars();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tavrin::scan::SoundCheck(Stores().pinyinIndex, Stores().initialGroups,
                                                      Stores().finalGroups, chars[i % chars.size()],
                                                      chars[(i * 7 + 3) % chars.size()]));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SoundCheckScan);

void BM_CharElement(benchmark::State& state) {
  const auto& chars = NameChars();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Services().elements.CharElement(chars[i++ % chars.size()]));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CharElement);

void BM_CharElementScan(benchmark::State& state) {
  const auto& chars = NameChars();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tavrin::scan::CharElement(Stores().charElementList, chars[i++ % chars.size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CharElementScan);

void BM_BuildServices(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tavrin::BuildServices(Stores()));
}
BENCHMARK(BM_BuildServices)->Unit(benchmark::kMillisecond);

}  // namespace
