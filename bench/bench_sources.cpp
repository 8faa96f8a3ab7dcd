// The classical library: finding the source lines of 10,000 given names (one
// name per iteration, each once), opening the library, and searching it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/startup.h"
#include "sources/classical_library.h"
#include "sources/library_text.h"

namespace {

constexpr std::size_t kNames = 10000;

std::string LibraryPath() { return tavrin::FindDataDir() + tavrin::sources::kLibraryFile; }

tavrin::sources::ClassicalLibrary& Library() {
  static tavrin::sources::ClassicalLibrary library(LibraryPath());
  return library;
}

// The given names of the shipped lists (1600nan.dat, 1600nv.dat), then
// pairs of name characters (男.dat, 女.dat) drawn with a fixed seed.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    const tavrin::SharedStores stores = tavrin::StartUp(tavrin::FindDataDir());
    std::vector<std::string> list;
    for (const auto* source : {&stores->boyGivenNames, &stores->girlGivenNames}) {
      for (const std::string& name : *source) {
        if (!name.empty() && list.size() < kNames) list.push_back(name);
      }
    }
    std::vector<std::string> chars = stores->maleGivenChars;
    chars.insert(chars.end(), stores->femaleGivenChars.begin(), stores->femaleGivenChars.end());
    std::mt19937 random(20);
    std::uniform_int_distribution<std::size_t> pick(0, chars.size() - 1);
    while (list.size() < kNames) list.push_back(chars[pick(random)] + chars[pick(random)]);
    return list;
  }();
  return names;
}

void BM_FindSources(benchmark::State& state) {
  const auto& names = Names();
  auto& library = Library();
  std::size_t next = 0;
  std::size_t withSource = 0;
  for (auto _ : state) {
    const auto found = library.FindSources(tavrin::GbkText(names[next++ % names.size()]));
    withSource += found.empty() ? 0 : 1;
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["names with a source %"] = 100.0 * static_cast<double>(withSource) / static_cast<double>(next);
}
BENCHMARK(BM_FindSources)->Iterations(kNames)->Unit(benchmark::kMicrosecond);

void BM_OpenLibrary(benchmark::State& state) {
  const std::string path = LibraryPath();
  for (auto _ : state) {
    tavrin::sources::ClassicalLibrary library(path);
    benchmark::DoNotOptimize(&library);
  }
}
BENCHMARK(BM_OpenLibrary)->Unit(benchmark::kMicrosecond);

// Searches, as the poem page and `tavrin-cli poems` make them: a title, a
// common character, a poet, a line with its mark, a collection.
void BM_Search(benchmark::State& state) {
  static const struct {
    const char* text;
    const char* collection;
  } searches[] = {{"离骚", ""},   {"月", ""},        {"李白", ""}, {"青青子衿，悠悠我心", ""},
                  {"", "全宋词"}, {"春风", "全唐诗"}};
  const auto& search = searches[state.range(0)];
  auto& library = Library();
  std::size_t found = 0;
  for (auto _ : state) found = library.Search(tavrin::GbkText(search.text), tavrin::GbkText(search.collection)).size();
  state.counters["texts"] = static_cast<double>(found);
}
BENCHMARK(BM_Search)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
