// Fuzzes a whole naming run, long ones too, over an element list and a
// numerology table that may come from the input (generate_run.h).
#include <cstdint>

#include "generate_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tavrin::fuzz::RunGenerate(data, size, true);
}

// AFL++'s driver calls this once before it forks the processes that run the
// inputs: the shipped stores and services are made here, not in each of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) { return tavrin::fuzz::RunGenerate(nullptr, 0, true); }
