// The stores read at start-up: every data file and the built-in character
// tables. They are loaded once and sealed: afterwards they are only read,
// through a shared pointer to const, together with the services built from
// them, so no service can fall out of step with the data it was built from.
// The running state of a naming run lives in the naming session instead.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/text.h"
#include "core/lines.h"

namespace tavrin::advice {
class AdviceTables;
}

namespace tavrin {

struct NamingServices;

// Data file names. The two lists of name characters carry Chinese file
// names, which on this system are UTF-8 (their contents are GBK like every
// file). The 1,600 commonest given names of each sex:
inline constexpr const char* kGirlNamesFile = "1600nv.dat";
inline constexpr const char* kBoyNamesFile = "1600nan.dat";
inline constexpr const char* kPinyinFile = "yq.dat";
inline constexpr const char* kCharElementFile = "dzwx.dat";
inline constexpr const char* kRecommendedFile = "tj.dat";
inline constexpr const char* kNumerologyFile = "5ge.dat";
inline constexpr const char* kSancaiFile = "sancai.dat";
// The characters of boys' and of girls' given names:
extern const char* const kMaleCharsFile;    // 男.dat
extern const char* const kFemaleCharsFile;  // 女.dat

// A required data file that could not be read, with the system's reason, or
// an optional one that is there but too big or has too long a line.
struct LoadFailure {
  std::string fileName;   // as given to the loader (UTF-8, one of the names above)
  Utf8Text path;          // the full path that was tried
  Utf8Text reason;        // the system's error text, or why the file was refused
  bool optional = false;  // an optional file, skipped: only named at start-up
  bool refused = false;   // there, but no regular file, too big or with too long a line (core/data_file.h)
  // "无法打开文件“<path>”:<reason>", for the command line, like every
  // message of the core (a path character that GBK lacks becomes "?"). The
  // window says the same through its own translatable text.
  GbkText Message() const;
  GbkText GbkFileName() const;
};

struct DataStores {
  std::string dataDir;  // with its trailing separator

  LineList girlGivenNames;    // 1600nv.dat, optional
  LineList boyGivenNames;     // 1600nan.dat, optional
  std::string girlNameChars;  // built in, 254 characters
  std::string pinyinIndex;    // yq.dat, raw bytes, optional
  LineList initialGroups;     // built in, 4 lines
  LineList finalGroups;       // built in, 4 lines
  LineList charElementList;   // dzwx.dat, optional
  LineList recommendedList;   // tj.dat, required
  LineList numerologyTable;   // 5ge.dat, required
  LineList sancaiTable;       // sancai.dat, optional: without it (or when it is malformed) there are no 三才 verdicts
  LineList maleGivenChars;    // 男.dat, required
  LineList femaleGivenChars;  // 女.dat, required
  std::string metalChars, woodChars, waterChars, fireChars, earthChars;  // built in

  // The advice on names (data/advice_*.dat); a missing table gives no
  // advice of its kind. Never null after LoadStores.
  std::shared_ptr<const advice::AdviceTables> advice;

  // The files that could not be loaded, in loading order.
  std::vector<LoadFailure> failures;

  // Pinyin, sound rules, elements and scoring precomputed from the stores
  // above (core/services.h); built by SealStores, null before.
  std::shared_ptr<const NamingServices> services;

  bool Failed(const std::string& fileName) const;
  // True when every one of the given required files loaded.
  bool HasAll(std::initializer_list<const char*> fileNames) const;
  // The message that refuses a command needing the given required files,
  // "缺少数据文件<names>,<consequence>" with the names of those that failed
  // (GBK, joined by "、"); nullopt when all of them loaded.
  std::optional<std::string> MissingDataMessage(std::initializer_list<const char*> fileNames,
                                                std::string_view consequence) const;
};

using SharedStores = std::shared_ptr<const DataStores>;

// Loads every store from `dataDir` (which ends with a separator). A missing
// optional file leaves its store empty; a required file that cannot be read
// is recorded in `failures` and loading goes on with the next file, so the
// built-in tables are always set up. The services are not built yet.
DataStores LoadStores(const std::string& dataDir);

// The advice tables of `dataDir`, each file read as the other optional data
// files are (without blocking on a FIFO, within size limits); one that is
// missing or cannot be read stays empty. LoadStores reads them into `advice`
// and records a table that is there but too big as an optional failure.
advice::AdviceTables LoadAdviceTables(const std::string& dataDir);

// Builds the services over the stores and hands them out read-only.
SharedStores SealStores(DataStores stores);

// LoadStores, then SealStores: what the program runs once when it starts.
SharedStores StartUp(const std::string& dataDir);

// The directory of the running executable, with a trailing separator.
std::string ExecutableDir();

// Where the data files are, the first of these that holds them:
//   the executable's directory (a built program, every test),
//   `exeDir` + `fromExeDir` (an installed program, wherever its prefix is:
//   bin/../share/tavrin/),
//   the data directory configured at build time;
// else the executable's directory, whose failures then name the files.
// `fromExeDir` and `installedDir` end with a separator or are empty.
std::string FindDataDir();
std::string FindDataDir(const std::string& exeDir, const std::string& fromExeDir, const std::string& installedDir);

}  // namespace tavrin
