// Fuzzes the command line: the input is the words of one command line
// (fuzz_input.h), run over the shipped data. Every command must end with
// status 0 or 2 (bad input) and write valid UTF-8 to its output, and its
// messages must be valid UTF-8 without a control character other than the
// line break, whatever bytes the arguments hold; status 70, an internal
// error, is a finding.
//
// To keep each run short, a naming run (generate, poetry) asks for at most
// two lines: "--count 1" is put first and a later count above 2 becomes 2;
// a lunar range may span at most two calendar years. A command line that
// holds --pdf is not run, as analyse would start another program.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "chars/strcon.h"
#include "cli/cli.h"
#include "core/startup.h"
#include "fuzz_input.h"

namespace {

int YearOf(const std::string& word) {
  if (word.size() != 10 || word[4] != '-') return -1;
  return std::atoi(word.substr(0, 4).c_str());
}

// False when the command line would run too long for fuzzing.
bool Bounded(std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (word == "--pdf") return false;
  }
  if (words.empty()) return true;
  if (words[0] == "generate" || words[0] == "poetry") {
    for (std::size_t i = 1; i + 1 < words.size(); ++i) {
      if (words[i] != "--count") continue;
      const auto count = tavrin::ParseDecimalInteger(words[i + 1]);
      if (count && *count > 2) words[i + 1] = "2";
    }
    words.insert(words.begin() + 1, {"--count", "1"});
  }
  if (words[0] == "lunar") {
    std::vector<int> years;
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (YearOf(words[i]) >= 0) years.push_back(YearOf(words[i]));
    }
    if (years.size() == 2 && years[1] - years[0] > 1) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words = tavrin::fuzz::Words(std::string_view(reinterpret_cast<const char*>(data), size));
  // A mutated command name would mostly end at "unknown command": a first
  // word that names no command is replaced by one chosen by its length,
  // unless the length picks none.
  const auto& commands = tavrin::cli::Commands();
  if (!words.empty() &&
      std::none_of(commands.begin(), commands.end(), [&](const auto& c) { return words[0] == c.name; })) {
    const std::size_t pick = words[0].size() % (commands.size() + 1);
    if (pick < commands.size()) words[0] = commands[pick].name;
  }
  if (!Bounded(words)) return 0;
  static const std::string dataDir = tavrin::ExecutableDir();
  std::ostringstream out;
  std::ostringstream err;
  const int status = tavrin::cli::RunCli(words, out, err, dataDir);
  static const bool show = std::getenv("TAVRIN_FUZZ_SHOW") != nullptr;  // for looking at a corpus
  if (show)
    std::fprintf(stderr, "status %d\n--- out:\n%s\n--- err:\n%s\n", status, out.str().c_str(), err.str().c_str());
  const std::string messages = err.str();
  const bool harmless = tavrin::fuzz::ValidUtf8(messages) && std::none_of(messages.begin(), messages.end(), [](char c) {
                          return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
                        });
  if ((status != 0 && status != 2) || !tavrin::fuzz::ValidUtf8(out.str()) || !harmless) {
    std::fprintf(stderr, "status %d\n--- out:\n%s\n--- err:\n%s\n", status, out.str().c_str(), err.str().c_str());
    std::abort();
  }
  return 0;
}
