// Runs tavrin-cli command lines in-process for the tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tavrin::cli::test {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline CliResult RunCommand(const std::vector<std::string>& args, const std::string& dataDir = ExecutableDir()) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, out, err, dataDir);
  return {status, out.str(), err.str()};
}

// A UTF-8 literal as the std::string the command line passes.
inline std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace tavrin::cli::test
