// Fuzzes a whole naming run: the settings page's inputs and the small data
// files are taken from the input, written to a data directory of their own,
// loaded and sealed as at start-up, and one Generate command runs over them.
// The run must end without an exception escaping, with the buttons restored
// and "生成" usable again, and with a message whenever it was refused or
// failed; the sanitizers watch every read.
//
// Each run is kept short by the Stop button: the fake pump presses it after
// a fuzzed number of pumps (the model pumps at least once per 256 draws, as
// the fake clock moves 20 ms at every reading), so a run makes at most some
// tens of thousands of draws whatever the count and the caps of the
// generators.
//
// Fields (fuzz_input.h):
//   0  flags: byte 0 bit 0 女, 1 限定第2个字, 2 限定第3个字, 3 whole-item sound,
//      4 a fuzzed dzwx.dat (else the shipped one), 5 a fuzzed 5ge.dat (else
//      the shipped one), 6 no yq.dat (else the shipped one), 7 no 1600 lists;
//      byte 1: low nibble 1-4 leaves out tj.dat, 5ge.dat, 男.dat,
//      女.dat; bit 6 the count
//      field changes to field 16 during the run; bit 7 a second Generate on
//      the same model; byte 2: the pumps before Stop is pressed (8 + 8 × 0..63)
//   1-8  surname, year, month, day, hour, count, fix-2 text, fix-3 text
//   9-15 男.dat, 女.dat, tj.dat, 5ge.dat, dzwx.dat, 1600nv.dat, 1600nan.dat
//   16  the count text set during the run
// An input field that is absent keeps the settings page's default; an absent
// data file field is the shipped file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "core/lines.h"
#include "core/startup.h"
#include "fuzz_input.h"
#include "generators/naming_fixture.h"

namespace {

using tavrin::fuzz::Check;
using tavrin::fuzz::FuzzInput;
using tavrin::fuzz::ShippedFile;

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const FuzzInput input(data, size);
  const std::string_view flagField = input.Field(0);
  const auto flag = [&](std::size_t at) {
    return at < flagField.size() ? static_cast<unsigned char>(flagField[at]) : 0u;
  };
  const unsigned flags = flag(0);
  const unsigned more = flag(1);
  const int pumpsBeforeStop = 8 + 8 * static_cast<int>(flag(2) % 64);

  // The data directory.
  static const std::string dir = tavrin::fuzz::ScratchDir();
  static const std::string shippedYq = ShippedFile(tavrin::kPinyinFile);
  static const std::string shippedDzwx = ShippedFile(tavrin::kCharElementFile);
  static const std::string shippedTable = ShippedFile(tavrin::kNumerologyFile);
  const auto fileField = [&](std::size_t index, const char* file) {
    static std::map<std::string, std::string> shipped;
    if (index < input.FieldCount()) return std::string(input.Field(index));
    auto [it, added] = shipped.try_emplace(file);
    if (added) it->second = ShippedFile(file);
    return it->second;
  };
  std::filesystem::remove_all(dir);
  std::filesystem::create_directory(dir);
  const std::string dzwx = flags & 0x10 ? fileField(13, tavrin::kCharElementFile) : shippedDzwx;
  const std::string table = flags & 0x20 ? fileField(12, tavrin::kNumerologyFile) : shippedTable;
  if (!(flags & 0x40)) Write(dir + tavrin::kPinyinFile, shippedYq);
  Write(dir + tavrin::kCharElementFile, dzwx);
  if (!(flags & 0x80)) {
    Write(dir + tavrin::kGirlCharFile, fileField(14, tavrin::kGirlCharFile));
    Write(dir + tavrin::kBoyCharFile, fileField(15, tavrin::kBoyCharFile));
  }
  const char* required[] = {tavrin::kRecommendedFile, tavrin::kNumerologyFile, tavrin::kMaleNameFile,
                            tavrin::kFemaleNameFile};
  const std::string requiredBytes[] = {fileField(11, tavrin::kRecommendedFile), table,
                                       fileField(9, tavrin::kMaleNameFile), fileField(10, tavrin::kFemaleNameFile)};
  for (unsigned i = 0; i < 4; ++i) {
    if ((more & 0x0F) != i + 1) Write(dir + required[i], requiredBytes[i]);
  }

  // Loading and sealing, as at start-up. The services depend only on the
  // pinyin index, the element list and the numerology table: when those are
  // the ones of a recent input, its services are taken again instead of being
  // built anew (building them costs most of a short run).
  static std::map<std::string, std::shared_ptr<const tavrin::NamingServices>> recentServices;
  tavrin::DataStores loaded = tavrin::LoadStores(dir);
  const std::string key = loaded.pinyinIndex + '\xFF' + dzwx + '\xFF' + table;
  tavrin::SharedStores stores;
  const auto recent = recentServices.find(key);
  if (recent != recentServices.end() && !loaded.Failed(tavrin::kNumerologyFile)) {
    loaded.services = recent->second;
    stores = std::make_shared<const tavrin::DataStores>(std::move(loaded));
  } else {
    stores = tavrin::SealStores(std::move(loaded));
    if (recentServices.size() >= 16) recentServices.clear();
    if (!stores->Failed(tavrin::kNumerologyFile)) recentServices[key] = stores->services;
  }

  std::uint64_t seed = 0;
  for (const char c : input.Bytes()) seed = seed * 131 + static_cast<unsigned char>(c);
  tavrin::test::NamingFixture fixture(stores, seed);
  tavrin::SettingsInputs& inputs = fixture.inputs;
  inputs.female = flags & 1;
  inputs.fixSecondChecked = flags & 2;
  inputs.fixThirdChecked = flags & 4;
  inputs.wholeItemSound = flags & 8;
  inputs.count = "1";
  std::string* const fields[] = {&inputs.surname, &inputs.year,  &inputs.month,     &inputs.day,
                                 &inputs.hour,    &inputs.count, &inputs.fixSecond, &inputs.fixThird};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    if (i + 1 < input.FieldCount()) *fields[i] = input.Field(i + 1);
  }
  fixture.clock.step = std::chrono::milliseconds(20);
  int pumps = 0;
  fixture.pump.onPump = [&] {
    ++pumps;
    if ((more & 0x40) && pumps == pumpsBeforeStop / 2) inputs.count = input.Field(16);
    if (pumps == pumpsBeforeStop) fixture.model->StopCommand();
  };

  for (int run = 0; run < (more & 0x80 ? 2 : 1); ++run) {
    pumps = 0;
    fixture.messages.texts.clear();
    const tavrin::GenerateOutcome outcome = fixture.Generate();
    Check(outcome != tavrin::GenerateOutcome::kIgnored);
    Check(!fixture.model->Running());
    Check(fixture.model->Buttons().generateEnabled);
    if (outcome == tavrin::GenerateOutcome::kRefused || outcome == tavrin::GenerateOutcome::kFailed) {
      Check(!fixture.messages.texts.empty());
    }
    static const bool show = std::getenv("TAVRIN_FUZZ_SHOW") != nullptr;  // for looking at a corpus
    if (show) {
      std::fprintf(stderr, "outcome %d after %d pumps, %zu summary lines, %zu report rows\n", static_cast<int>(outcome),
                   pumps, fixture.model->summaryPane.Lines().size(), fixture.model->report.Rows().size());
      for (const std::string& text : fixture.messages.texts) std::fprintf(stderr, "  message: %s\n", text.c_str());
    }
    (void)fixture.model->DrawCapSummary();
    (void)fixture.Snapshot();
  }
  return 0;
}
