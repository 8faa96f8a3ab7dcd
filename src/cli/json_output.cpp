#include "cli/json_output.h"

#include <ostream>

namespace tavrin::cli {

void PrintJson(CliContext& context, const Json& json) {
  context.out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace tavrin::cli
