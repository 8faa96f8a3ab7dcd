// Driver for the fuzz targets.
//   fuzz_x PATH...                      replays the files given, and every file
//                                       of the directories given
//   fuzz_x --seconds N [--seed S] PATH... replays them, then for N seconds feeds
//                                       mutations of them (and of the inputs
//                                       made since): byte edits biased towards
//                                       GBK lead and trail bytes and line ends,
//                                       chunk copies, and splices of two inputs
// Options: --max-len L (default 4096) caps a made input; --timeout T (default
// 25) ends the run as a hang when one input takes longer than T seconds.
// When an input fails (a sanitizer report, an abort, a hang) it is written to
// crash-<hash> in the working directory before the process dies. At the end
// the driver prints how many inputs it ran.
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The input being run, kept for the death callback.
std::string current;

// FNV-1a, for the name of a crash file.
std::uint64_t Hash(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return h;
}

// Async-signal-safe enough: open, write, close.
void SaveCurrent() {
  static bool saved = false;
  if (saved) return;
  saved = true;
  char name[40];
  std::snprintf(name, sizeof name, "crash-%016llx", static_cast<unsigned long long>(Hash(current)));
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < current.size()) {
    const ssize_t n = ::write(fd, current.data() + done, current.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  const char note[] = "\nfuzz driver: the failing input is in ";
  (void)!::write(2, note, sizeof note - 1);
  (void)!::write(2, name, std::strlen(name));
  (void)!::write(2, "\n", 1);
}

void OnSignal(int signal) {
  if (signal == SIGALRM) {
    const char note[] = "\nfuzz driver: one input ran longer than the timeout\n";
    (void)!::write(2, note, sizeof note - 1);
  }
  SaveCurrent();
  ::signal(SIGABRT, SIG_DFL);
  std::abort();
}

void Run(const std::string& input, unsigned timeout) {
  current = input;
  ::alarm(timeout);
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(current.data()), current.size());
  ::alarm(0);
}

std::uint8_t InterestingByte(std::mt19937& rng) {
  static const std::uint8_t bytes[] = {0x00, 0x0A, 0x0D, 0x20, 0x28, 0x29, 0x2C, 0x2D, 0x30, 0x31, 0x39, 0x40,
                                       0x41, 0x7F, 0x80, 0x81, 0xA1, 0xB0, 0xD5, 0xC5, 0xF7, 0xFE, 0xFF};
  if (rng() % 2) return bytes[rng() % sizeof bytes];
  return static_cast<std::uint8_t>(rng());
}

// A chunk of `from`: up to 16 bytes, now and then up to 256.
std::string Chunk(const std::string& from, std::mt19937& rng) {
  if (from.empty()) return {};
  const std::size_t at = rng() % from.size();
  const std::size_t most = rng() % 4 ? 16 : 256;
  return from.substr(at, 1 + rng() % most);
}

void Mutate(std::string& input, const std::vector<std::string>& pool, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = input.empty() ? 0 : rng() % (input.size() + 1);
    switch (rng() % 8) {
      case 0:
      case 1:
        input.insert(input.begin() + static_cast<long>(at), static_cast<char>(InterestingByte(rng)));
        break;
      case 2:
        if (at < input.size()) input.erase(at, 1 + rng() % 4);
        break;
      case 3:
      case 4:
        if (at < input.size()) input[at] = static_cast<char>(InterestingByte(rng));
        break;
      case 5:  // a chunk of this input elsewhere in it
        input.insert(at, Chunk(input, rng));
        break;
      case 6:  // a chunk of another input
        input.insert(at, Chunk(pool[rng() % pool.size()], rng));
        break;
      default: {  // this input's head and another input's tail
        const std::string& other = pool[rng() % pool.size()];
        input = input.substr(0, at) + (other.empty() ? std::string() : other.substr(rng() % other.size()));
        break;
      }
    }
  }
}

std::vector<std::string> InputFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    if (std::filesystem::is_directory(path)) {
      std::vector<std::string> inside;
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) inside.push_back(entry.path().string());
      }
      std::sort(inside.begin(), inside.end());
      files.insert(files.end(), inside.begin(), inside.end());
    } else {
      files.push_back(path);
    }
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 0;
  unsigned seed = 1;
  std::size_t maxLength = 4096;
  unsigned timeout = 25;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
      seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (!std::strcmp(argv[i], "--max-len") && i + 1 < argc) {
      maxLength = std::strtoul(argv[++i], nullptr, 10);
    } else if (!std::strcmp(argv[i], "--timeout") && i + 1 < argc) {
      timeout = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      paths.emplace_back(argv[i]);
    }
  }
  __sanitizer_set_death_callback(SaveCurrent);
  ::signal(SIGABRT, OnSignal);
  ::signal(SIGALRM, OnSignal);

  const auto start = std::chrono::steady_clock::now();
  std::vector<std::string> pool = {""};
  long replayed = 0;
  for (const std::string& file : InputFiles(paths)) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    pool.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    Run(pool.back(), timeout);
    ++replayed;
  }

  long runs = 0;
  if (seconds > 0) {
    std::mt19937 rng(seed);
    const std::size_t seeds = pool.size();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      // Half of the inputs start from a seed, so the pool of made inputs
      // does not drift away from the shapes the target reads.
      std::string input = pool[rng() % 2 ? rng() % seeds : rng() % pool.size()];
      Mutate(input, pool, rng);
      if (input.size() > maxLength) input.resize(maxLength);
      Run(input, timeout);
      if (pool.size() < 4096) {
        pool.push_back(std::move(input));
      } else {
        pool[seeds + rng() % (pool.size() - seeds)] = std::move(input);
      }
      ++runs;
    }
  }
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%ld executions (%ld replayed, %ld made) in %.0f s, no failure\n", replayed + runs, replayed, runs, took);
  return 0;
}
