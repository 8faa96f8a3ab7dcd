// The one option reader of the command-line programs (tavrin-cli and
// tavrin-report): each command lists what it takes in a table and reads its
// arguments with it. The reader knows nothing of messages or encodings: it
// answers whether the arguments fit the table, and each front end words its
// own usage line; an option's own action may throw the front end's error
// for a value it refuses.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::cli {

struct Option {
  enum Kind {
    kFlag,       // no value; given again, it is taken again
    kValue,      // the next argument is its value, whatever it looks like; the last one given counts
    kValueOnce,  // as kValue, but given twice is a fault
  };
  std::string_view name;  // with its dashes: "--date"
  Kind kind;
  std::function<void(const std::string& value)> take;  // a flag's value is empty
};

// What becomes of an argument that is no option of the table: taken by
// `positional` (which answers false when it takes no more), or a fault.
// An argument that begins with "--" is an unknown option, a fault, unless
// `dashedArePositional` is set.
struct Positionals {
  std::function<bool(const std::string& argument)> take;
  bool dashedArePositional = false;
};

// Reads `args` from `first` on, in order, calling each option's action as it
// comes. False at the first fault: an unknown option, an option without its
// value, a kValueOnce given twice, a positional argument nobody takes.
bool ReadOptions(const std::vector<std::string>& args, std::initializer_list<Option> options,
                 const Positionals& positionals = {}, std::size_t first = 0);

}  // namespace tavrin::cli
