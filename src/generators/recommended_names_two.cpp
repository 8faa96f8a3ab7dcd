// Recommended names two: the surname before every given name of the list of
// the child's sex ("1600nv.dat" / "1600nan.dat"), in the pane 系统推荐名二
// (Memo8), which no run clears.
#include "chars/gbk.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

void GenerateRecommendedNamesTwo(NamingModel& model) {
  NamingSession& session = model.session;
  // The stores are sealed, so the list cannot change under the walk and
  // needs no private copy.
  const LineList& lines = model.Inputs().Female() ? model.Stores().girlCharList : model.Stores().boyCharList;
  const std::string& surname = session.surname;
  model.SetProgress(0);
  std::string paneLine;
  for (const std::string& line : lines) {
    model.Pump();
    if (session.stopRequested) return;
    const std::string name = surname + line;
    if (!model.SoundsApart(surname, CharAt(name, 1))) continue;
    AddEntry(paneLine, model.AcceptCandidate(model.CandidateText(name)));
    if (CharCount(paneLine) >= kPaneLineChars) FlushPaneLine(paneLine, model.memo8);
  }
  FlushPaneLine(paneLine, model.memo8);
  model.memo1.Append("推荐名字二分析完成");
}

}  // namespace tavrin
