// Keeping and changing one favourite, each a whole transaction committed to
// disk as the window and the command line do it, reading back a store of
// 1,000, and importing 300,000 favourites (reading the file, then merging it
// into a new store in one transaction). Each runs on a store in the temporary directory (TMPDIR), where the
// commit waits for the disk, and on one in memory (/dev/shm), where it does
// not: the difference is the disk's flush.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "favourites/exchange.h"
#include "favourites/store.h"

namespace {

namespace fs = std::filesystem;

// A directory of its own under `base`, removed at the end.
class BenchDir {
 public:
  explicit BenchDir(const fs::path& base) {
    std::string pattern = (base / "tavrin-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~BenchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  std::string Store() const { return path_ + "/favourites.db"; }

 private:
  std::string path_;
};

fs::path Base(int onDisk) { return onDisk ? fs::temp_directory_path() : fs::path("/dev/shm"); }

// Distinct full names: 张 and two characters of GB2312's first rows.
std::string NameNumber(int n) {
  std::string name = "张";
  for (int i = 0; i < 2; ++i) {
    const int code = n % (94 * 39);
    n /= 94 * 39;
    name += static_cast<char>(0xB0 + code / 94);
    name += static_cast<char>(0xA1 + code % 94);
  }
  return name;
}

tavrin::Favourite Favourite(int n) {
  tavrin::Favourite f;
  f.name = tavrin::GbkText(NameNumber(n));
  f.score = 88;
  f.note = tavrin::GbkText("家里都说好听");
  f.origin = tavrin::GbkText("二字名");
  return f;
}

void BM_AddFavourite(benchmark::State& state) {
  BenchDir dir(Base(static_cast<int>(state.range(0))));
  tavrin::FavouritesStore store(dir.Store());
  int n = 0;
  for (auto _ : state) store.Save(Favourite(n++));
}
BENCHMARK(BM_AddFavourite)->ArgName("disk")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChangeNote(benchmark::State& state) {
  BenchDir dir(Base(static_cast<int>(state.range(0))));
  tavrin::FavouritesStore store(dir.Store());
  for (int i = 0; i < 100; ++i) store.Save(Favourite(i));
  const tavrin::GbkText name(NameNumber(50));
  int n = 0;
  for (auto _ : state) store.SetNote(name, tavrin::Sex::kMale, tavrin::GbkText("备注" + std::to_string(n++)));
}
BENCHMARK(BM_ChangeNote)->ArgName("disk")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_List1000(benchmark::State& state) {
  BenchDir dir(Base(1));
  tavrin::FavouritesStore store(dir.Store());
  std::vector<tavrin::Favourite> thousand;
  for (int i = 0; i < 1000; ++i) thousand.push_back(Favourite(i));
  store.Merge(thousand);
  for (auto _ : state) benchmark::DoNotOptimize(store.List());
}
BENCHMARK(BM_List1000)->Unit(benchmark::kMillisecond);

// Deleting every one of 100,000 favourites kept on disk, as 收藏 does when all are selected.
void BM_Remove100000(benchmark::State& state) {
  std::vector<tavrin::Favourite> all;
  for (int i = 0; i < 100000; ++i) all.push_back(Favourite(i));
  for (auto _ : state) {
    state.PauseTiming();
    BenchDir dir(Base(1));
    tavrin::FavouritesStore store(dir.Store());
    store.Merge(all);
    state.ResumeTiming();
    benchmark::DoNotOptimize(store.Remove(all));
  }
}
BENCHMARK(BM_Remove100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// An export of `count` favourites, as the program writes it.
std::string ExportOf(int count) {
  std::vector<tavrin::Favourite> favourites;
  for (int i = 0; i < count; ++i) {
    favourites.push_back(Favourite(i));
    favourites.back().added = favourites.back().changed = 1796807700;
  }
  return tavrin::FavouritesToJson(favourites, 1796807700).Bytes();
}

void BM_ReadImport300000(benchmark::State& state) {
  const std::string text = ExportOf(300000);
  const tavrin::Utf8Text json(text);
  for (auto _ : state) benchmark::DoNotOptimize(tavrin::FavouritesFromJson(json));
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReadImport300000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Import300000(benchmark::State& state) {
  const tavrin::Utf8Text text(ExportOf(300000));
  for (auto _ : state) {
    state.PauseTiming();
    BenchDir dir(Base(static_cast<int>(state.range(0))));
    tavrin::FavouritesStore store(dir.Store());
    state.ResumeTiming();
    store.Merge(tavrin::FavouritesFromJson(text));
  }
}
BENCHMARK(BM_Import300000)
    ->ArgName("disk")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
