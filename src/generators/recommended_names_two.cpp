// Recommended names two: the surname before every given name of the list of
// the child's sex ("1600nv.dat" / "1600nan.dat"), in the pane 系统推荐名二
//, which no run clears.
#include "chars/gbk.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

void GenerateRecommendedNamesTwo(NamingModel& model) {
  const NamingSession& session = model.Session();
  // The stores are sealed, so the list cannot change under the walk and
  // needs no private copy.
  const LineList& lines = model.Inputs().Female() ? model.Stores().girlGivenNames : model.Stores().boyGivenNames;
  const std::string& surname = session.surname;
  model.Presentation().SetProgress(0);
  GeneratorPane output(model, Origin::kRecommendedTwo, GeneratorPane::LineLimit::kChars, session.chart.birthElements);
  for (const std::string& line : lines) {
    model.Presentation().Pump();
    if (session.stopRequested) return;
    if (!model.SurnameSoundsApart(surname, CharAt(surname + line, 1))) continue;
    output.Offer(surname, line);
  }
  output.Flush();
  model.PaneOf(Origin::kSettings).Append("推荐名字二分析完成");
}

}  // namespace tavrin
