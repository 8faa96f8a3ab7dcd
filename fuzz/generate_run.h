// A whole naming run for the fuzz targets fuzz_generate and
// fuzz_generate_full: the settings page's inputs and the data files (some
// left out, and with fuzz_generate_full the small ones from the input) are
// written to a data directory of their own, loaded and sealed as at
// start-up, and one Generate command runs over them. The run
// must end without an exception escaping, with the buttons restored and
// "生成" usable again, and with a message whenever it was refused or failed;
// the sanitizers watch every read.
//
// Each run is kept short by the Stop button: the fake pump presses it after
// a fuzzed number of pumps, 1 to 8 (the model pumps at every accepted
// candidate and once per 256 draws, as the fake clock moves 20 ms at every
// reading), so a run makes at most some two thousand draws.
//
// Three things would make a run many times dearer; only the slower
// fuzz_generate_full does them: data files from the input, which are loaded anew
// for every new content (a load reads and splits every data file, and builds
// the advice tables, some milliseconds); a fuzzed element list or numerology
// table, over which the services are built anew as well (every double-byte
// code's forms, strokes and sounds); and long runs, 32 to 256 pumps, which
// reach the generators' caps on draws. fuzz_generate runs over the shipped
// data files, some of them left out; the loaders of the single files are
// fuzzed fast by fuzz_lines, fuzz_pinyin, fuzz_elements and fuzz_score.
//
// An input costs little beyond its run: the data directory is written only
// where a file differs from what the previous input left there, and the
// sealed stores of a recent set of data files, like the services of a recent
// pinyin index, element list and numerology table, are taken again instead
// of being loaded and built anew. A set of files seen for the first time is
// always loaded from the directory, as at start-up.
//
// Fields (fuzz_input.h):
//   0  flags: byte 0 bit 0 女, 1 限定第2个字, 2 限定第3个字, 3 whole-item sound,
//      4 a fuzzed dzwx.dat (else the shipped one), 5 a fuzzed 5ge.dat (else
//      the shipped one) (4 and 5 fuzz_generate_full only), 6 no yq.dat (else
//      the shipped one), 7 no 1600 lists;
//      byte 1: low nibble 1-4 leaves out tj.dat, 5ge.dat, 男.dat,
//      女.dat; bit 6 the count
//      field changes to field 16 during the run; bit 7 a second Generate on
//      the same model; byte 2: the pumps before Stop is pressed, 1 + its low
//      3 bits, times 32 when the byte is 0xF0 or more (fuzz_generate_full only)
//   1-8  surname, year, month, day, hour, count, fix-2 text, fix-3 text
//   9-15 男.dat, 女.dat, tj.dat, 5ge.dat, dzwx.dat, 1600nv.dat, 1600nan.dat
//        (fuzz_generate_full only)
//   16  the count text set during the run
// An input field that is absent keeps the settings page's default; an absent
// data file field is the shipped file.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/lines.h"
#include "core/services.h"
#include "core/startup.h"
#include "fuzz_input.h"
#include "generators/naming_fixture.h"

namespace tavrin::fuzz {
namespace generate_run {

inline void Write(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

// A data file of the run: absent, the shipped file, or fuzzed bytes.
struct DataFile {
  const char* name;
  std::optional<std::string_view> bytes;  // nullopt when the file is left out
  bool shipped = false;

  // Short, and the same for the same contents.
  std::string Tag() const {
    if (!bytes) return "A";
    if (shipped) return "S";
    return "F" + std::to_string(bytes->size()) + ':' + std::string(*bytes);
  }
};

inline std::string_view Shipped(const char* file) {
  static std::map<std::string, std::string> shipped;
  auto [it, added] = shipped.try_emplace(file);
  if (added) it->second = ShippedFile(file);
  return it->second;
}

// Makes a scratch directory hold these files and no other data file,
// writing or removing only those that differ from what it holds. The
// directory is the process's own: AFL++ forks the processes that run the
// inputs from one that has run an input already, and what a process wrote
// must not be taken for what the one it was forked from held.
inline const std::string& DataDirWith(const std::vector<DataFile>& files) {
  static pid_t owner = 0;
  static std::string dir;
  static std::map<std::string, std::string> held;  // file name -> tag of what the directory holds
  if (owner != ::getpid()) {
    owner = ::getpid();
    dir = ScratchDir() + std::to_string(owner) + '/';
    std::filesystem::create_directories(dir);
    held.clear();
  }
  for (const DataFile& file : files) {
    std::string tag = file.Tag();
    const auto it = held.find(file.name);
    if (it != held.end() ? it->second == tag : tag == "A") continue;
    if (file.bytes) {
      Write(dir + file.name, *file.bytes);
    } else {
      std::filesystem::remove(dir + file.name);
    }
    held[file.name] = std::move(tag);
  }
  return dir;
}

}  // namespace generate_run

// Runs the input; long runs and the data files of the input only with
// `full`.
inline int RunGenerate(const std::uint8_t* data, std::size_t size, bool full) {
  using namespace generate_run;
  const FuzzInput input(data, size);
  const std::string_view flagField = input.Field(0);
  const auto flag = [&](std::size_t at) {
    return at < flagField.size() ? static_cast<unsigned char>(flagField[at]) : 0u;
  };
  const unsigned flags = full ? flag(0) : flag(0) & ~0x30u;
  const unsigned more = flag(1);
  const int pumpsBeforeStop = (1 + static_cast<int>(flag(2) % 8)) * (full && flag(2) >= 0xF0 ? 32 : 1);

  // The data files.
  const auto shipped = [](const char* file) { return DataFile{file, Shipped(file), true}; };
  const auto fileField = [&](std::size_t index, const char* file) {
    return full && index < input.FieldCount() ? DataFile{file, input.Field(index)} : shipped(file);
  };
  const auto absentIf = [](bool absent, DataFile file) {
    if (absent) file.bytes.reset();
    return file;
  };
  const bool lists = !(flags & 0x80);
  const std::vector<DataFile> files = {
      absentIf(flags & 0x40, shipped(tavrin::kPinyinFile)),
      flags & 0x10 ? fileField(13, tavrin::kCharElementFile) : shipped(tavrin::kCharElementFile),
      absentIf((more & 0x0F) == 2,
               flags & 0x20 ? fileField(12, tavrin::kNumerologyFile) : shipped(tavrin::kNumerologyFile)),
      absentIf(!lists, fileField(14, tavrin::kGirlNamesFile)),
      absentIf(!lists, fileField(15, tavrin::kBoyNamesFile)),
      absentIf((more & 0x0F) == 1, fileField(11, tavrin::kRecommendedFile)),
      absentIf((more & 0x0F) == 3, fileField(9, tavrin::kMaleCharsFile)),
      absentIf((more & 0x0F) == 4, fileField(10, tavrin::kFemaleCharsFile)),
  };

  // Loading and sealing, as at start-up, for a set of files not seen
  // recently. The services depend only on the pinyin index, the element list
  // and the numerology table (the first three files).
  std::string storesKey, servicesKey;
  for (std::size_t i = 0; i < files.size(); ++i) {
    (i < 3 ? servicesKey : storesKey) += files[i].Tag() + '\xFF';
  }
  storesKey.insert(0, servicesKey);
  static RecentValues<tavrin::SharedStores> recentStores(64);
  static RecentValues<std::shared_ptr<const tavrin::NamingServices>> recentServices(16);
  const tavrin::SharedStores stores = recentStores.Get(storesKey, [&] {
    tavrin::DataStores loaded = tavrin::LoadStores(DataDirWith(files));
    loaded.services = recentServices.Get(servicesKey, [&] { return tavrin::BuildServices(loaded); });
    return std::make_shared<const tavrin::DataStores>(std::move(loaded));
  });

  std::uint64_t seed = 0;
  for (const char c : input.Bytes()) seed = seed * 131 + static_cast<unsigned char>(c);
  tavrin::test::NamingFixture fixture(stores, seed);
  tavrin::SettingsInputs& inputs = fixture.inputs;
  inputs.female = flags & 1;
  inputs.fixSecondChecked = flags & 2;
  inputs.fixThirdChecked = flags & 4;
  inputs.wholeItemSound = flags & 8;
  inputs.count = "1";
  std::string* const fields[] = {&inputs.surname,   &inputs.year,  &inputs.month,     &inputs.day,
                                 &inputs.hour.text, &inputs.count, &inputs.fixSecond, &inputs.fixThird};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    if (i + 1 < input.FieldCount()) *fields[i] = input.Field(i + 1);
  }
  fixture.clock.step = std::chrono::milliseconds(20);
  int pumps = 0;
  fixture.pump.onPump = [&] {
    ++pumps;
    if ((more & 0x40) && pumps == (pumpsBeforeStop + 1) / 2) inputs.count = input.Field(16);
    if (pumps == pumpsBeforeStop) fixture.model->StopCommand();
  };

  for (int run = 0; run < (more & 0x80 ? 2 : 1); ++run) {
    pumps = 0;
    fixture.messages.texts.clear();
    const tavrin::GenerateOutcome outcome = fixture.Generate();
    Check(outcome != tavrin::GenerateOutcome::kIgnored);
    Check(!fixture.model->Running());
    Check(fixture.model->Presentation().Buttons().generateEnabled);
    if (outcome == tavrin::GenerateOutcome::kRefused || outcome == tavrin::GenerateOutcome::kFailed) {
      Check(!fixture.messages.texts.empty());
    }
    static const bool show = std::getenv("TAVRIN_FUZZ_SHOW") != nullptr;  // for looking at a corpus
    if (show) {
      std::fprintf(stderr, "outcome %d after %d pumps, %zu summary lines, %zu report rows\n", static_cast<int>(outcome),
                   pumps, fixture.model->PaneOf(tavrin::Origin::kSettings).Lines().size(),
                   fixture.model->Report().Rows().size());
      for (const std::string& text : fixture.messages.texts) std::fprintf(stderr, "  message: %s\n", text.c_str());
    }
    (void)DrawCapSummary(fixture.model->Session());
    (void)fixture.Snapshot();
  }
  return 0;
}

}  // namespace tavrin::fuzz
