// Fuzzes a short naming run over the shipped element list and numerology
// table (generate_run.h).
#include <cstdint>

#include "generate_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tavrin::fuzz::RunGenerate(data, size, false);
}

// AFL++'s driver calls this once before it forks the processes that run the
// inputs: the shipped stores and services are made here, not in each of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) { return tavrin::fuzz::RunGenerate(nullptr, 0, false); }
