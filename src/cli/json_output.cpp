#include "cli/json_output.h"

#include <ostream>

#include "chars/encoding.h"

namespace tavrin::cli {

Json Utf8Lines(const std::vector<std::string>& gbkLines) {
  Json lines = Json::array();
  for (const std::string& line : gbkLines) lines.push_back(GbkToUtf8(line));
  return lines;
}

void PrintJson(CliContext& context, const Json& json) {
  context.out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace tavrin::cli
