// The classical library (library.db) broken in the ways a user's disk can
// break it, beside the shipped data files, for the command-line and window
// tests.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/startup.h"
#include "sources/library_text.h"
#include "testutil.h"

namespace tavrin::test {

enum class LibraryState { kDamagedPages, kFifo, kRandomBytes, kDirectory };

// A data directory of the shipped files with library.db in the given state.
class BrokenLibrary {
 public:
  explicit BrokenLibrary(LibraryState state) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(ExecutableDir())) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".dat") || name == "poetry.db") fs::create_symlink(entry.path(), fs::path(dir_.Dir()) / name);
    }
    const std::string library = dir_.Dir() + sources::kLibraryFile;
    switch (state) {
      case LibraryState::kDamagedPages: {
        // Every seventh page past the schema overwritten: SQLite opens the
        // file and finds the damage in the middle of a query.
        fs::copy_file(ExecutableDir() + sources::kLibraryFile, library);
        std::fstream file(library, std::ios::in | std::ios::out | std::ios::binary);
        const auto pages = static_cast<long>(fs::file_size(library) / 4096);
        const std::string garbage(512, '\xA5');
        for (long page = 16; page < pages; page += 7) {
          file.seekp(page * 4096 + 64);
          file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
        }
        break;
      }
      case LibraryState::kFifo:
        ::mkfifo(library.c_str(), 0600);
        break;
      case LibraryState::kRandomBytes:
        dir_.Write(sources::kLibraryFile, std::string(1 << 16, '\x5C'));
        break;
      case LibraryState::kDirectory:
        fs::create_directory(library);
        break;
    }
  }
  std::string Dir() const { return dir_.Dir(); }

 private:
  TempDir dir_;
};

}  // namespace tavrin::test
