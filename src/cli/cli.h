// The command-line front end over the core: UTF-8 in and out, one result per
// line, exit status 2 with a message on bad input.
#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/options.h"
#include "chars/sex.h"
#include "core/naming_io.h"
#include "core/startup.h"

namespace tavrin::cli {

// Exit status of a command that failed through a fault of the program itself
// (any exception other than CliError).
inline constexpr int kInternalErrorStatus = 70;

// Bad input or missing data: the message goes to stderr, the exit status is 2.
// Its text is UTF-8, as everything the command line prints; texts taken from
// the core (GBK) are converted before they are put into it.
class CliError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Standard output could not be written (a full disk, a closed pipe): the
// command ends with kOutputErrorStatus (base/output_text.h) and a message.
struct OutputError {};

class CliContext {
 public:
  CliContext(std::ostream& out, std::ostream& err, std::string dataDir);
  ~CliContext();

  std::ostream& out;
  std::ostream& err;

  // The data stores, loaded on first use.
  const DataStores& Stores();
  const SharedStores& SharedData();
  // The stores, after checking that the given required files loaded; throws
  // CliError naming every one that did not.
  const DataStores& RequireData(std::initializer_list<const char*> fileNames);

  // An hour argument as an hour field (TypedHourField): "unknown" is the hour
  // not known (no hour pillar), anything else is its text as GBK.
  static HourField HourArgument(std::string_view utf8Argument);
  // A --sex argument: "male" or "female"; throws CliError for anything else.
  static Sex SexArgument(std::string_view utf8Argument);
  // Writes a GBK text as one UTF-8 line, its control characters but tabs as
  // escapes (\e, \n, \xNN); throws OutputError when it cannot.
  void PrintLine(std::string_view gbkText);
  // Writes a GBK text as UTF-8 as it is: a part of a line whose other parts
  // are UTF-8 already (pinyin with tone marks, a file name).
  void Print(std::string_view gbkText);
  // The folder the data files are read from.
  const std::string& DataDir() const { return dataDir_; }

 private:
  std::string dataDir_;
  SharedStores stores_;
  std::string line_;  // the line PrintLine writes
};

using CommandFunction = int (*)(CliContext& context, const std::vector<std::string>& args);

struct Command {
  const char* name;
  const char* usage;    // arguments, e.g. "TEXT"
  const char* summary;  // one line for --help (GBK)
  CommandFunction run;
};

// Each command file registers its commands with a static Registrar.
struct Registrar {
  explicit Registrar(const Command& command);
};

const std::vector<Command>& Commands();

// Runs one command line (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const std::string& dataDir);

// The value of a --seed option; throws CliError when it is not an unsigned
// 64-bit decimal number.
std::uint64_t ParseSeedOption(const std::string& text);

// Reads a command's arguments with its table of options (options.h); throws
// the usage message of `synopsis` ("generate [--seed U64] …") when they do
// not fit it.
void ReadArguments(const std::vector<std::string>& args, std::string_view synopsis,
                   std::initializer_list<Option> options, const Positionals& positionals = {}, std::size_t first = 0);

// Option actions: a flag that sets `flag`; a value kept as it was given
// (UTF-8). Those that keep a value as GBK are in cli_text.h.
std::function<void(const std::string&)> SetTrue(bool& flag);
std::function<void(const std::string&)> Keep(std::optional<std::string>& value);
// Every argument that is no option kept in `into` as given; those beginning
// with "--" too, unless `dashedToo` is false (they are unknown options then).
Positionals EveryArgument(std::vector<std::string>& into, bool dashedToo = true);

// The message of a command given the wrong arguments: "用法: tavrin-cli " and
// the synopsis.
std::string UsageMessage(std::string_view synopsis);

// Throws CliError unless there are exactly `count` arguments.
void ExpectArgs(const std::vector<std::string>& args, std::size_t count, const char* usage);

}  // namespace tavrin::cli
