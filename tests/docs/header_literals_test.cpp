// The core libraries compile their string literals to GBK and the window to
// UTF-8. A header of the core is included by both, so a non-ASCII literal in
// it would mean different bytes in different places: such literals belong in
// source files only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Finding {
  int line;
  std::string literal;
};

// The string and character literals of a C++ text that hold a byte above
// 0x7F, comments skipped (raw strings included).
std::vector<Finding> NonAsciiLiterals(const std::string& text) {
  std::vector<Finding> findings;
  int line = 1;
  const std::size_t n = text.size();
  auto report = [&](std::size_t from, std::size_t to, int atLine) {
    const std::string literal = text.substr(from, to - from);
    for (const char c : literal) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        findings.push_back({atLine, literal});
        return;
      }
    }
  };
  for (std::size_t i = 0; i < n;) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
      while (i < n && text[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      i += 2;
      while (i + 1 < n && !(text[i] == '*' && text[i + 1] == '/')) line += text[i++] == '\n';
      i += 2;
    } else if (c == 'R' && i + 1 < n && text[i + 1] == '"') {
      const std::size_t open = text.find('(', i + 2);
      if (open == std::string::npos) break;
      const std::string close = ")" + text.substr(i + 2, open - i - 2) + "\"";
      const std::size_t end = text.find(close, open);
      const std::size_t stop = end == std::string::npos ? n : end + close.size();
      const int startLine = line;
      for (std::size_t k = i; k < stop; ++k) line += text[k] == '\n';
      report(i, stop, startLine);
      i = stop;
    } else if (c == '"' || (c == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(text[i - 1]))))) {
      // A quote after a hex digit is a digit separator (1'000), not a literal.
      std::size_t k = i + 1;
      while (k < n && text[k] != c && text[k] != '\n') k += text[k] == '\\' ? 2 : 1;
      report(i, std::min(k + 1, n), line);
      i = k + 1;
    } else {
      ++i;
    }
  }
  return findings;
}

TEST(HeaderLiterals, ScannerFindsOnlyLiterals) {
  const struct {
    const char* text;
    std::size_t found;
  } cases[] = {
      {"// \"张\"\n/* '张' */ int x = 1'000;", 0},
      {"const char* a = \"张\";", 1},
      {"const char* a = \"a\\\"张\";", 1},
      {"auto r = R\"x(张)x\"; auto s = \"b\";", 1},
      {"char c = '\\x80'; const char* d = \"plain\";", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NonAsciiLiterals(c.text).size(), c.found) << c.text;
}

TEST(HeaderLiterals, CoreHeadersHoldOnlyAsciiLiterals) {
  const char* root = std::getenv("TAVRIN_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "TAVRIN_SOURCE_DIR is not set";
  // The window's own headers are compiled only as UTF-8 and the command
  // line's only as GBK; every other folder is shared.
  const std::vector<std::string> ownEncoding = {"ui", "app", "cli"};
  int headers = 0;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(root) / "src")) {
    if (!entry.is_regular_file() || entry.path().extension() != ".h") continue;
    const std::string folder = entry.path().parent_path().filename().string();
    if (std::find(ownEncoding.begin(), ownEncoding.end(), folder) != ownEncoding.end()) continue;
    ++headers;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    for (const Finding& finding : NonAsciiLiterals(text.str())) {
      ADD_FAILURE() << entry.path().string() << ":" << finding.line << ": non-ASCII literal " << finding.literal;
    }
  }
  EXPECT_GT(headers, 10);
}

}  // namespace
