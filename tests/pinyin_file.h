// Writes small pinyin index files ("yq.dat") for the tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "chars/pinyin.h"

namespace tavrin::test {

// The 32-bit little-endian table entry `entry` of a pinyin index.
inline void SetPinyinEntry(std::string& bytes, int entry, std::uint32_t position) {
  for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(entry * 4 + i)] = static_cast<char>(position >> (8 * i));
}

inline std::uint32_t PinyinEntry(const std::string& bytes, int entry) {
  std::uint32_t position = 0;
  for (int i = 3; i >= 0; --i) position = position << 8 | static_cast<unsigned char>(bytes[entry * 4 + i]);
  return position;
}

// A pinyin index with the given records, keyed by the GBK character, each
// record the separator `separator` followed by its text; every other cell gets
// an empty record. The file ends with the separator of the record behind the
// last one.
inline std::string PinyinFile(const std::map<std::string, std::string>& records, char separator = ' ') {
  std::string bytes((kPinyinCellCount + 1) * 4, '\0');
  for (int cell = 0; cell < kPinyinCellCount; ++cell) {
    SetPinyinEntry(bytes, cell, static_cast<std::uint32_t>(bytes.size()));
    bytes += separator;
    const std::string ch = {static_cast<char>(0xA1 + cell / 94), static_cast<char>(0xA1 + cell % 94)};
    if (const auto found = records.find(ch); found != records.end()) bytes += found->second;
  }
  SetPinyinEntry(bytes, kPinyinCellCount, static_cast<std::uint32_t>(bytes.size()));
  bytes += separator;
  return bytes;
}

// The cell of a GBK character of the table.
inline int CellOfChar(const std::string& ch) {
  return PinyinCell(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]));
}

}  // namespace tavrin::test
