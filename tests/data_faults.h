// The fault matrix over the data files, shared by the window's and the command
// line's tests: every shipped data file and the poem database, each broken in
// one of the ways below that apply to it, in a copy of the data directory.
#pragma once

#include <sqlite3.h>
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

// FaultName says what each is; the last three are for the poem database only.
// clang-format off
enum class DataFault {
  kMissing, kEmpty, kTruncated, kRandomBytes, kDirectory, kUnreadable, kFifo, kDevZero, kOversized, kOneLongLine,
  kWalMode, kLongPoem, kEndlessView
};
// clang-format on

inline constexpr DataFault kAllDataFaults[] = {DataFault::kMissing,     DataFault::kEmpty,     DataFault::kTruncated,
                                               DataFault::kRandomBytes, DataFault::kDirectory, DataFault::kUnreadable,
                                               DataFault::kFifo,        DataFault::kDevZero,   DataFault::kOversized,
                                               DataFault::kOneLongLine, DataFault::kWalMode,   DataFault::kLongPoem,
                                               DataFault::kEndlessView};

inline const char* FaultName(DataFault fault) {
  // clang-format off
  static const char* const kNames[] = {
      "missing", "empty", "truncated", "random bytes", "directory", "mode 000",
      "FIFO",               // no one writes to it: opening it for reading would wait for ever
      "link to /dev/zero",  // endless
      "2 GB",               // a sparse file
      "one 60,000-byte line",  // line files only, within the size limit
      "WAL mode", "a poem of 150,000 characters", "endless recursive view"};
  // clang-format on
  return kNames[static_cast<int>(fault)];
}

// How the program treats a file: the four required ones are reported when
// they cannot be read, the optional ones are skipped silently, and the
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
      {"sancai.dat", DataRole::kOptional, true},
      {"poetry.db", DataRole::kPoems, false},
  };
  return files;
}

struct FaultCell {
  DataFile file;
  DataFault fault;
  std::string Label() const { return std::string(file.name) + " " + FaultName(fault); }
};

// Whether a fault applies to a file: long lines only to line files, the
// database faults only to the database.
inline bool Applies(const DataFile& file, DataFault fault) {
  const bool databaseFault =
      fault == DataFault::kWalMode || fault == DataFault::kLongPoem || fault == DataFault::kEndlessView;
  if (databaseFault) return file.role == DataRole::kPoems;
  return fault != DataFault::kOneLongLine || file.lineList;
}

inline std::vector<FaultCell> AllFaultCells() {
  std::vector<FaultCell> cells;
  for (const DataFile& file : DataFiles()) {
    for (const DataFault fault : kAllDataFaults) {
      if (Applies(file, fault)) cells.push_back({file, fault});
    }
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

// Runs SQL on the database file (made when missing).
inline void RunSql(const std::filesystem::path& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// Replaces the database with a view `poetry` of the columns the program
// reads, the content (UTF-8 SQL) as given: `with ` select ... `from`.
inline void PoemView(const std::filesystem::path& path, const std::string& with, const std::string& content,
                     const std::string& from) {
  std::filesystem::remove(path);
  const std::string sql = "create view poetry as " + with +
                          "select 1 as id, 't' as a, 'u' as b, 'v' as c, 'title' as title, 'author' as author, "
                          "'collection' as collection, " +
                          content + " as content" + from;
  RunSql(path, sql.c_str());
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
    case DataFault::kFifo:
      std::filesystem::remove(path);
      ::mkfifo(path.c_str(), 0644);
      break;
    case DataFault::kDevZero:
      std::filesystem::remove(path);
      std::filesystem::create_symlink("/dev/zero", path);
      break;
    case DataFault::kOversized:
      std::filesystem::resize_file(path, std::uintmax_t{2} << 30);
      break;
    case DataFault::kOneLongLine: {
      std::string line;
      while (line.size() < 60'000) line += "\xD5\xC5";  // 张 in GBK
      detail::WriteBytes(path, line + "\r\n" + bytes);
      break;
    }
    case DataFault::kWalMode:
      detail::RunSql(path, "pragma journal_mode=wal");
      break;
    case DataFault::kLongPoem:
      detail::PoemView(path, "", "replace(printf('%.*c', 150000, 'x'), 'x', '\xE6\x98\xA5')", "");
      break;
    case DataFault::kEndlessView:
      detail::PoemView(path, "with recursive r(n) as (select 1 union all select n + 1 from r) ", "'\xE6\x98\xA5'",
                       " from r where n < 0");
      break;
  }
}

// True when mode 000 stops this process from reading the file; not so for
// root (as in CI), whose reads the mode does not stop.
inline bool Mode000StopsReads(const std::filesystem::path& path) { return ::access(path.c_str(), R_OK) != 0; }

// A file that is there but refused at start-up as no regular file, too big
// or with too long a line, and named with the reason (an optional one only
// when it is a regular file: a FIFO or a device there counts as missing).
inline bool NamedAtStartup(const FaultCell& cell) {
  if (cell.file.role == DataRole::kPoems) return false;
  switch (cell.fault) {
    case DataFault::kFifo:
    case DataFault::kDevZero:
      return cell.file.role == DataRole::kRequired;
    case DataFault::kOversized:
    case DataFault::kOneLongLine:
      return true;
    default:
      return false;
  }
}

// The poem database faults the database is read through as if intact.
inline bool PoemsReadable(const FaultCell& cell) {
  return cell.fault == DataFault::kWalMode || cell.fault == DataFault::kLongPoem;
}

// What the cell should do: the file cannot be read at all (and the program
// must say so for a required file), or it can be read, broken or not.
inline bool Unreadable(const std::filesystem::path& dir, const FaultCell& cell) {
  if (NamedAtStartup(cell)) return true;
  switch (cell.fault) {
    case DataFault::kMissing:
    case DataFault::kDirectory:
    case DataFault::kFifo:
    case DataFault::kDevZero:
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
      // Not through a link: that would change /dev/zero.
      if (!entry.is_symlink(ignored)) ::chmod(entry.path().c_str(), 0700);
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
