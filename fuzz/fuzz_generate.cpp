// Fuzzes a whole naming run over the shipped element list and numerology
// table (generate_run.h).
#include <cstdint>

#include "generate_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tavrin::fuzz::RunGenerate(data, size, false);
}
