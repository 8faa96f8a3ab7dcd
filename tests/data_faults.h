// The fault matrix over the data files, shared by the window's and the command
// line's tests: every shipped data file and the poem database, each broken in
// one of six ways in a copy of the data directory.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace tavrin::test {

enum class DataFault { kMissing, kEmpty, kTruncated, kRandomBytes, kDirectory, kUnreadable };

inline constexpr DataFault kAllDataFaults[] = {DataFault::kMissing,     DataFault::kEmpty,     DataFault::kTruncated,
                                               DataFault::kRandomBytes, DataFault::kDirectory, DataFault::kUnreadable};

inline const char* FaultName(DataFault fault) {
  switch (fault) {
    case DataFault::kMissing:
      return "missing";
    case DataFault::kEmpty:
      return "empty";
    case DataFault::kTruncated:
      return "truncated";
    case DataFault::kRandomBytes:
      return "random bytes";
    case DataFault::kDirectory:
      return "directory";
    case DataFault::kUnreadable:
      return "mode 000";
  }
  return "?";
}

// How the program treats a file: the four required ones are reported when
// they cannot be read, the four optional ones are skipped silently, and the
// poem database is opened by the poetry page.
enum class DataRole { kRequired, kOptional, kPoems };

struct DataFile {
  const char* name;  // UTF-8, as on disk
  DataRole role;
  bool lineList;  // read as lines (else binary)
};

inline const std::vector<DataFile>& DataFiles() {
  static const std::vector<DataFile> files = {
      {"tj.dat", DataRole::kRequired, true},
      {"5ge.dat", DataRole::kRequired, true},
      {reinterpret_cast<const char*>(u8"男.dat"), DataRole::kRequired, true},
      {reinterpret_cast<const char*>(u8"女.dat"), DataRole::kRequired, true},
      {"1600nv.dat", DataRole::kOptional, true},
      {"1600nan.dat", DataRole::kOptional, true},
      {"yq.dat", DataRole::kOptional, false},
      {"dzwx.dat", DataRole::kOptional, true},
      {"poetry.db", DataRole::kPoems, false},
  };
  return files;
}

struct FaultCell {
  DataFile file;
  DataFault fault;
  std::string Label() const { return std::string(file.name) + " " + FaultName(fault); }
};

inline std::vector<FaultCell> AllFaultCells() {
  std::vector<FaultCell> cells;
  for (const DataFile& file : DataFiles()) {
    for (const DataFault fault : kAllDataFaults) cells.push_back({file, fault});
  }
  return cells;
}

// The file's name as a path (its UTF-8 name, whatever the locale).
inline std::filesystem::path FileName(const DataFile& file) {
  return std::filesystem::path(reinterpret_cast<const char8_t*>(file.name));
}

namespace detail {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A cut in the middle of a record: for a line list, inside the line that
// spans the middle of the file, right after the first byte of a double-byte
// character when the line has one (so the last character is cut in two);
// for a binary file, just past the middle.
inline std::size_t CutInARecord(const std::string& bytes, bool lineList) {
  const std::size_t middle = bytes.size() / 2;
  if (!lineList) return middle + 1;
  std::size_t lineStart = bytes.find_last_of("\r\n", middle);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  for (std::size_t pos = lineStart; pos < bytes.size() && bytes[pos] != '\r' && bytes[pos] != '\n';) {
    if (static_cast<unsigned char>(bytes[pos]) >= 0x81) {
      if (pos >= middle) return pos + 1;
      pos += 2;
    } else {
      ++pos;
    }
  }
  return middle + 1;
}

}  // namespace detail

// Copies the shipped data files (and nothing else) from `from` into `to`.
inline void CopyShippedData(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const DataFile& file : DataFiles()) {
    std::filesystem::copy_file(from / FileName(file), to / FileName(file),
                               std::filesystem::copy_options::overwrite_existing);
  }
}

// Breaks the named file of `dir`.
inline void ApplyFault(const std::filesystem::path& dir, const DataFile& file, DataFault fault) {
  const std::filesystem::path path = dir / FileName(file);
  const std::string bytes = detail::ReadBytes(path);
  switch (fault) {
    case DataFault::kMissing:
      std::filesystem::remove(path);
      break;
    case DataFault::kEmpty:
      detail::WriteBytes(path, "");
      break;
    case DataFault::kTruncated:
      detail::WriteBytes(path, bytes.substr(0, detail::CutInARecord(bytes, file.lineList)));
      break;
    case DataFault::kRandomBytes: {
      std::mt19937 engine(20121209);  // the same bytes on every run
      std::string noise(bytes.size(), '\0');
      for (char& c : noise) c = static_cast<char>(engine() & 0xFF);
      detail::WriteBytes(path, noise);
      break;
    }
    case DataFault::kDirectory:
      std::filesystem::remove(path);
      std::filesystem::create_directory(path);
      break;
    case DataFault::kUnreadable:
      ::chmod(path.c_str(), 0);
      break;
  }
}

// True when mode 000 stops this process from reading the file; not so for
// root (as in CI), whose reads the mode does not stop.
inline bool Mode000StopsReads(const std::filesystem::path& path) { return ::access(path.c_str(), R_OK) != 0; }

// What the cell should do: the file cannot be read at all (and the program
// must say so for a required file), or it can be read, broken or not.
inline bool Unreadable(const std::filesystem::path& dir, const FaultCell& cell) {
  switch (cell.fault) {
    case DataFault::kMissing:
    case DataFault::kDirectory:
      return true;
    case DataFault::kUnreadable:
      return Mode000StopsReads(dir / FileName(cell.file));
    default:
      return false;
  }
}

// A temporary directory that is removed with everything in it (modes
// restored first, so a mode-000 file goes too).
class TempDataDir {
 public:
  TempDataDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-fault-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDataDir() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored)) {
      ::chmod(entry.path().c_str(), 0700);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // With the trailing separator the stores expect.
  std::string DirText() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace tavrin::test
