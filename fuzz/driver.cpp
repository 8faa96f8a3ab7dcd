// Driver for the fuzz targets: `fuzz_x FILE...` replays inputs; `fuzz_x
// --seconds N [--seed S]` feeds random inputs, biased towards GBK lead and
// trail bytes and line ends, and mutations of earlier inputs.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::uint8_t InterestingByte(std::mt19937& rng) {
  static const std::uint8_t bytes[] = {0x00, 0x0A, 0x0D, 0x28, 0x29, 0x2C, 0x40, 0x41, 0x7F,
                                       0x80, 0x81, 0xA1, 0xB0, 0xD5, 0xC5, 0xF7, 0xFE, 0xFF};
  if (rng() % 2) return bytes[rng() % sizeof bytes];
  return static_cast<std::uint8_t>(rng());
}

void Run(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 0;
  unsigned seed = 1;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
      seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      files.emplace_back(argv[i]);
    }
  }
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    Run(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  }
  if (seconds <= 0) return 0;

  std::mt19937 rng(seed);
  std::vector<std::string> pool = {""};
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long runs = 0;
  while (std::chrono::steady_clock::now() < end) {
    std::string input = pool[rng() % pool.size()];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = input.empty() ? 0 : rng() % (input.size() + 1);
      switch (rng() % 3) {
        case 0:
          input.insert(input.begin() + static_cast<long>(at), static_cast<char>(InterestingByte(rng)));
          break;
        case 1:
          if (at < input.size()) input.erase(at, 1);
          break;
        default:
          if (at < input.size()) input[at] = static_cast<char>(InterestingByte(rng));
          break;
      }
    }
    if (input.size() > 4096) input.resize(4096);
    Run(input);
    if (pool.size() < 1024)
      pool.push_back(input);
    else
      pool[rng() % pool.size()] = input;
    ++runs;
  }
  std::printf("%ld inputs, no failure\n", runs);
  return 0;
}
