// The shipped data files the conventions read, from the source tree.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "advice/advice.h"
#include "chars/linelist.h"
#include "core/startup.h"

namespace tavrin::conventions::test {

// The lines of data/NAME, without their CR LF; empty (and a failure) when
// TAVRIN_SOURCE_DIR is not set or the file cannot be read.
inline LineList DataLines(const std::string& name) {
  const char* root = std::getenv("TAVRIN_SOURCE_DIR");
  if (root == nullptr) {
    ADD_FAILURE() << "TAVRIN_SOURCE_DIR is not set";
    return {};
  }
  std::ifstream in(std::string(root) + "/data/" + name, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot read data/" << name;
  LineList lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The surname length the program uses: compound surnames by the advice tables.
inline int SurnameLength(std::string_view name) {
  static const advice::AdviceTables tables = tavrin::LoadAdviceTables(tavrin::ExecutableDir());
  return tables.SurnameLength(name);
}

}  // namespace tavrin::conventions::test
