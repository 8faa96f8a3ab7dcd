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

std::string NamingServices::SurnamePinyin(std::string_view surname) const {
  const std::vector<std::string>* own = namePinyin.Readings().Surname(surname);
  if (!own) return pinyin.PinyinOf(surname);
  std::string shown;
  for (const std::string& syllable : *own) {
    if (!shown.empty()) shown += ' ';
    shown += pinyin_rules::ShownSyllable(syllable);
  }
  return shown;
}

PinyinService::Sounds NamingServices::SurnameSounds(std::string_view surname) const {
  return pinyin.SoundsOf(surname, SurnamePinyin(surname));
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
