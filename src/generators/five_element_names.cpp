// Five-element names: when the birth pillars lack exactly one element, names
// that carry a character of that element, in the pane 部首有五行.
#include <optional>

#include "chars/elements.h"
#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kAttemptLimit = 10000;

// The built-in characters of an element; none for a text that names no element.
const std::string& ElementChars(const DataStores& stores, std::optional<Element> element) {
  static const std::string none;
  if (!element) return none;
  switch (*element) {
    case Element::kMetal:
      return stores.metalChars;
    case Element::kWood:
      return stores.woodChars;
    case Element::kWater:
      return stores.waterChars;
    case Element::kFire:
      return stores.fireChars;
    case Element::kEarth:
      return stores.earthChars;
  }
  return none;
}

}  // namespace

void GenerateFiveElementNames(NamingModel& model) {
  const NamingSession& session = model.Session();
  const std::string& surname = session.surname;
  const std::string& missing = session.chart.missingElements;
  const LineList& names = session.activeNameList;
  Pane& pane = model.PaneOf(Origin::kFiveElement);

  pane.Clear();
  if (missing.empty()) {
    pane.Append("生辰八字中五行不缺,这项无须生成");
    return;
  }
  if (CharCount(missing) > 1) {
    model.PaneOf(Origin::kSettings).Append("五行名字分析完成");
    return;
  }
  const std::vector<std::string> elementChars = SplitChars(ElementChars(model.Stores(), ElementOfChar(missing)));
  pane.Append("五行缺" + missing);

  GeneratorPane output(model, Origin::kFiveElement, GeneratorPane::LineLimit::kBytes, session.chart.birthElements);
  RunDrawLoop(model, output, {.maxAttempts = kAttemptLimit + 1, .completion = "五行名字分析完成"}, [&] {
    const std::uint64_t k = model.Random().Below(names.size());
    // With an empty list the drawn line is the empty text: no three-character
    // candidate, but the two-character entries are still written.
    const std::string drawn = names.empty() ? std::string() : names[k];
    const bool drawnIsChinese = IsChineseText(drawn);
    for (const std::string& element : elementChars) {
      model.Presentation().Tick();
      if (!model.SurnameSoundsApart(surname, element)) continue;
      // A new two-character entry restarts the buffer: the entries gathered
      // so far are dropped from the pane. It is shown without a score.
      const std::string twoChar = surname + element;
      if (!pane.Contains(twoChar + "   ")) {
        Candidate entry;
        entry.fullName = twoChar;
        entry.surnameBytes = surname.size();
        entry.scored = false;
        entry.origin = output.PageOrigin();
        output.Line().Restart(std::move(entry));
      }
      if (!drawnIsChinese) continue;
      if (!model.SoundsApart(element, drawn)) continue;
      const bool elementFirst = model.Random().Below(2) == 1;
      output.Offer(surname, elementFirst ? element + drawn : drawn + element);
    }
    output.Flush();
    return true;
  });
}

}  // namespace tavrin
