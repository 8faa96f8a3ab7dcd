#include "core/services.h"

#include "core/startup.h"

namespace tavrin {

NamingServices::NamingServices(const DataStores& stores)
    : pinyin(stores.pinyinIndex, stores.initialGroups, stores.finalGroups),
      elements(stores.charElementList),
      scorer(stores.numerologyTable, elements) {}

std::shared_ptr<const NamingServices> BuildServices(const DataStores& stores) {
  return std::make_shared<const NamingServices>(stores);
}

}  // namespace tavrin
