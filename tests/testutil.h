// Helpers shared by the core tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tavrin::test {

// A fresh temporary directory, removed with the object.
class TempDir {
 public:
  TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
  explicit TempDir(const std::filesystem::path& base) {
    std::string pattern = (base / "tavrin-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with a trailing separator, as the loader expects.
  std::string Dir() const { return path_.string() + "/"; }
  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tavrin::test
