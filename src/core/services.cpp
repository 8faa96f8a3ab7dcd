#include "core/services.h"

#include "advice/advice.h"
#include "core/startup.h"

namespace tavrin {

NamingServices::NamingServices(const DataStores& stores)
    : pinyin(stores.pinyinIndex, stores.initialGroups, stores.finalGroups),
      namePinyin(stores.advice ? stores.advice->Pinyin().WithFallback(pinyin) : NamePinyin(nullptr, &pinyin)),
      elements(stores.charElementList),
      scorer(stores.numerologyTable, elements) {
  try {
    if (!stores.sancaiTable.empty()) sancai.emplace(stores.sancaiTable);
  } catch (const conventions::SancaiTableError&) {
    // A malformed table gives no 三才 verdicts, like a missing one.
  }
}

std::optional<conventions::ConventionsReading> NamingServices::ReadConventions(
    const conventions::ConventionsInputs& inputs) const {
  return conventions::ReadConventions(inputs, scorer, sancai ? &*sancai : nullptr,
                                      [this](std::string_view ch) { return elements.CharElement(ch); });
}

std::shared_ptr<const NamingServices> BuildServices(const DataStores& stores) {
  return std::make_shared<const NamingServices>(stores);
}

}  // namespace tavrin
