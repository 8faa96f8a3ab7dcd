#include "base/options.h"

#include <algorithm>

namespace tavrin::cli {

bool ReadOptions(const std::vector<std::string>& args, std::initializer_list<Option> options,
                 const Positionals& positionals, std::size_t first) {
  std::vector<std::string_view> given;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& argument = args[i];
    const auto option =
        std::find_if(options.begin(), options.end(), [&](const Option& each) { return each.name == argument; });
    if (option == options.end()) {
      const bool dashed = argument.starts_with("--") && !positionals.dashedArePositional;
      if (dashed || !positionals.take || !positionals.take(argument)) return false;
      continue;
    }
    if (option->kind == Option::kFlag) {
      option->take(std::string());
      continue;
    }
    if (i + 1 == args.size()) return false;
    if (option->kind == Option::kValueOnce) {
      if (std::find(given.begin(), given.end(), option->name) != given.end()) return false;
      given.push_back(option->name);
    }
    option->take(args[++i]);
  }
  return true;
}

}  // namespace tavrin::cli
