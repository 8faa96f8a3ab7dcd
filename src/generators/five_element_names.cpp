// Five-element names: when the birth pillars lack exactly one element, names
// that carry a character of that element, in the pane 部首有五行 (Memo5).
#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kAttemptLimit = 10000;

// The built-in characters of an element ("金" ... "土"); empty for any other text.
const std::string& ElementChars(const DataStores& stores, std::string_view element) {
  static const std::string none;
  if (element == "金") return stores.metalChars;
  if (element == "木") return stores.woodChars;
  if (element == "水") return stores.waterChars;
  if (element == "火") return stores.fireChars;
  if (element == "土") return stores.earthChars;
  return none;
}

}  // namespace

void GenerateFiveElementNames(NamingModel& model) {
  NamingSession& session = model.session;
  const std::string& surname = session.surname;
  const std::string& missing = session.missingElements;
  const LineList& names = session.activeNameList;
  Pane& pane = model.memo5;

  pane.Clear();
  if (missing.empty()) {
    pane.Append("生辰八字中五行不缺,这项无须生成");
    return;
  }
  if (CharCount(missing) > 1) {
    model.memo1.Append("五行名字分析完成");
    return;
  }
  const std::vector<std::string> elementChars = SplitChars(ElementChars(model.Stores(), missing));
  pane.Append("五行缺" + missing);

  std::string paneLine;
  long long attempts = 0;
  while (true) {
    if (static_cast<long long>(pane.Rows()) >= model.ReadCount()) {
      model.memo1.Append("五行名字分析完成");
      return;
    }
    model.Tick();
    if (session.stopRequested) return;
    if (attempts > kAttemptLimit) {
      model.NoteDrawCap("部首有五行", pane.Rows());
      return;
    }
    model.SetProgress(++attempts);
    const std::uint64_t k = model.Random().Below(names.size());
    // With an empty list the drawn line is the empty text: no three-character
    // candidate, but the two-character entries are still written.
    const std::string drawn = names.empty() ? std::string() : names[k];
    const bool drawnIsChinese = IsChineseText(drawn);
    for (const std::string& element : elementChars) {
      model.Tick();
      if (!model.SoundsApart(surname, element)) continue;
      const std::string twoChar = surname + element + std::string(kEntrySeparator);
      // A new two-character entry restarts the buffer: the entries gathered
      // so far are dropped from the pane.
      if (!pane.Contains(twoChar)) paneLine = twoChar;
      if (!drawnIsChinese) continue;
      if (!model.SoundsApart(element, drawn)) continue;
      const std::string name = model.Random().Below(2) == 1 ? surname + element + drawn : surname + drawn + element;
      AddEntry(paneLine, model.AcceptCandidate(model.CandidateText(name)));
      if (paneLine.size() >= kPaneLineBytes) FlushPaneLine(paneLine, pane);
    }
    FlushPaneLine(paneLine, pane);
  }
}

}  // namespace tavrin
