#include "share/shared_list.h"

#include <nlohmann/json.hpp>

namespace tavrin::share {

std::string NamesJson(const SharedList& list, std::int64_t listVersion) {
  nlohmann::json names = nlohmann::json::array();
  for (const SharedName& n : list.names) {
    nlohmann::json warnings = nlohmann::json::array();
    for (const SharedWarning& w : n.warnings) warnings.push_back({{"text", w.text}, {"serious", w.serious}});
    names.push_back({{"name", n.name},
                     {"sex", n.sex},
                     {"pinyin", n.pinyin},
                     {"recommend", n.recommend},
                     {"meanings", n.meanings},
                     {"source", n.source},
                     {"warnings", std::move(warnings)}});
  }
  const nlohmann::json reply = {{"listVersion", listVersion}, {"names", std::move(names)}};
  return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace tavrin::share
