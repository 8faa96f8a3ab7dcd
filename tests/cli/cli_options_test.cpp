// The option reader every command uses: which command lines fit a table, and
// the order the options' actions see their values in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/options.h"

namespace tavrin::cli {
namespace {

struct Case {
  std::vector<std::string> args;
  bool dashedArePositional;
  std::size_t first;
  bool fits;
  std::string seen;  // each action's name and value, in the order called
};

TEST(CliOptions, ReadsTheArgumentsInOrderAndRefusesWhatDoesNotFit) {
  const Case cases[] = {
      {{"--json", "A", "--date", "D"}, false, 0, true, "json= pos=A date=D "},
      // A value is the next argument whatever it looks like.
      {{"--date", "--json"}, false, 0, true, "date=--json "},
      {{"--json", "--date"}, false, 0, false, "json= "},
      // Given twice: the last value of a kValue counts, a kValueOnce is a fault.
      {{"--date", "1", "--date", "2"}, false, 0, true, "date=1 date=2 "},
      {{"--store", "1", "--store", "2"}, false, 0, false, "store=1 "},
      {{"--store"}, false, 0, false, ""},
      // Unknown options: a fault, or positional when the command takes them so.
      {{"A", "--bogus"}, false, 0, false, "pos=A "},
      {{"--bogus", "A"}, true, 0, true, "pos=--bogus pos=A "},
      {{"-x"}, false, 0, true, "pos=-x "},
      // The positional action answers when it takes no more.
      {{"A", "B", "C"}, false, 0, false, "pos=A pos=B "},
      {{"list", "--store", "S"}, false, 1, true, "store=S "},
      {{}, false, 0, true, ""},
  };
  for (const Case& c : cases) {
    std::string seen;
    int positionals = 0;
    const auto log = [&](const char* name) {
      return [&seen, name](const std::string& value) { seen += std::string(name) + "=" + value + " "; };
    };
    const bool fits = ReadOptions(c.args,
                                  {{"--json", Option::kFlag, log("json")},
                                   {"--date", Option::kValue, log("date")},
                                   {"--store", Option::kValueOnce, log("store")}},
                                  {[&](const std::string& argument) {
                                     if (++positionals > 2) return false;
                                     seen += "pos=" + argument + " ";
                                     return true;
                                   },
                                   c.dashedArePositional},
                                  c.first);
    std::string shown;
    for (const std::string& arg : c.args) shown += arg + " ";
    EXPECT_EQ(fits, c.fits) << shown;
    EXPECT_EQ(seen, c.seen) << shown;
  }
}

TEST(CliOptions, WithoutAPositionalActionEveryPlainArgumentIsAFault) {
  bool json = false;
  EXPECT_FALSE(ReadOptions({"--json", "A"}, {{"--json", Option::kFlag, [&](const std::string&) { json = true; }}}));
  EXPECT_TRUE(json);
}

}  // namespace
}  // namespace tavrin::cli
