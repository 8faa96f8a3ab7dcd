// A fuzz target with a planted fault for the engine's test: a heap read one
// byte past a buffer, which only AddressSanitizer notices, behind a four-byte
// key that blind mutation would take billions of runs to hit and coverage
// guidance finds byte by byte. The literal is compiled to GBK as the core's
// are, so the build keeps GCC's character set option.
#include <cstdint>
#include <cstdlib>
#include <cstring>

static_assert(sizeof("张") == 3, "narrow literals are GBK");

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5 || data[0] != 0xD5 || data[1] != 0xC5) return 0;  // 张 in GBK
  if (data[2] != 'F' || data[3] != 'Z') return 0;
  char* copy = static_cast<char*>(std::malloc(4));
  std::memcpy(copy, data, 4);
  volatile char past = copy[data[4] & 4];  // out of bounds when bit 2 is set
  (void)past;
  std::free(copy);
  return 0;
}
