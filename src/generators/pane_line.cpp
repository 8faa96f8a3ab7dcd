#include "generators/pane_line.h"

#include "chars/gbk.h"
#include "core/naming_model.h"

namespace tavrin {

GeneratorPane::GeneratorPane(NamingModel& model, Origin origin, LineLimit limit, std::string_view scoringElements)
    : model_(model), pane_(model.PaneOf(origin)), origin_(origin), limit_(limit), scoringElements_(scoringElements) {}

bool GeneratorPane::Offer(std::string_view surname, std::string_view given) {
  Candidate candidate = model_.MakeCandidate(surname, given, origin_, scoringElements_);
  const std::string text = CandidateText(candidate);
  if (!model_.AcceptCandidate(candidate, text)) return false;
  if (Hidden && Hidden(candidate)) return false;
  line_.Add(std::move(candidate), text);
  FlushWhenFull();
  return true;
}

void GeneratorPane::FlushWhenFull() {
  const bool full =
      limit_ == LineLimit::kBytes ? line_.Size() >= kPaneLineBytes : CharCount(line_.Text()) >= kPaneLineChars;
  if (full) Flush();
}

}  // namespace tavrin
