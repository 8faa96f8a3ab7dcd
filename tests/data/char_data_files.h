// Helpers for the integrity tests of the shipped character data files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chars/encoding.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin::test {

// The bytes of a data file shipped beside the test executable; empty (and a
// test failure) when it cannot be read.
inline std::string ShippedFile(const char* name) {
  std::string error;
  auto bytes = ReadWholeFile(ExecutableDir() + name, error);
  EXPECT_TRUE(bytes.has_value()) << name << ": " << error;
  return bytes.value_or(std::string());
}

// A cell of the GB2312 hanzi area that holds a character (the five cells
// 0xD7FA..0xD7FE at the end of the first level are unassigned).
inline bool IsGb2312Hanzi(unsigned char lead, unsigned char trail) {
  return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE && !(lead == 0xD7 && trail >= 0xFA);
}

// Every cell of the GB2312 hanzi area that holds a character, as its two bytes.
inline std::vector<std::string> AllGb2312Hanzi() {
  std::vector<std::string> result;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (IsGb2312Hanzi(lead, trail)) result.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  return result;
}

// Checks that a text file is plain GB2312 text (printable ASCII and
// double-byte characters of the rows 0xA1..0xF7) with every line ended by
// CR LF, and returns its lines.
inline std::vector<std::string> CrLfGb2312Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == '\r') {
      EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
      lines.push_back(bytes.substr(start, i - start));
      i += 2;
      start = i;
    } else if (b >= 0x20 && b < 0x7F) {
      ++i;
    } else {
      const auto t = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
      if (!(b >= 0xA1 && b <= 0xF7 && t >= 0xA1 && t <= 0xFE)) {
        ADD_FAILURE() << "byte " << i << " (" << static_cast<int>(b) << ") is not GB2312 text";
        return lines;
      }
      i += 2;
    }
  }
  EXPECT_EQ(start, bytes.size()) << "the last line has no CR LF";
  return lines;
}

// The rows of a table in the source tree (UTF-8, tab-separated, # comments):
// the reviewed tables the generators in tools/ read, the cases in
// tests/cases/. The path is relative to the source tree; every field comes
// as GBK, empty ones at the end of a row kept. A missing file or a field GBK
// lacks is a test failure.
inline std::vector<std::vector<std::string>> TreeTable(const std::string& relative) {
  std::vector<std::vector<std::string>> rows;
  const char* root = std::getenv("TAVRIN_SOURCE_DIR");
  if (!root) {
    ADD_FAILURE() << "TAVRIN_SOURCE_DIR is not set";
    return rows;
  }
  std::ifstream in(std::string(root) + "/" + relative, std::ios::binary);
  EXPECT_TRUE(in.good()) << relative;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    for (std::size_t start = 0; start <= line.size();) {
      const std::size_t tab = std::min(line.find('\t', start), line.size());
      const auto gbk = Utf8ToGbk(line.substr(start, tab - start));
      EXPECT_TRUE(gbk.has_value()) << relative << ": " << line;
      fields.push_back(gbk.value_or(std::string()));
      start = tab + 1;
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

}  // namespace tavrin::test
