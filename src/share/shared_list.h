// What a share shows the family: the shared names and the advice on each,
// and nothing else. The window and the command line build a SharedList from
// their favourites and hand it to the server; whatever is not in it cannot
// reach a phone. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::share {

struct SharedWarning {
  std::string text;
  bool serious = false;
};

struct SharedName {
  std::string name;    // the full name
  std::string sex;     // "male" or "female"; with the name, what a vote is about
  std::string pinyin;  // with tone marks
  int recommend = 0;   // 推荐度, 0 to 100
  // One line each: the given name's meaning as a word, then each character's.
  std::vector<std::string> meanings;
  std::string source;  // the line it comes from (《title》author：line), or empty
  std::vector<SharedWarning> warnings;
};

struct SharedList {
  std::vector<SharedName> names;
};

// {"listVersion": N, "names": [{"name", "sex", "pinyin", "recommend",
// "meanings": [...], "source", "warnings": [{"text", "serious"}]}]}; a text
// that is not UTF-8 has its bad bytes replaced.
std::string NamesJson(const SharedList& list, std::int64_t listVersion);

}  // namespace tavrin::share
