#include "generators/pane_line.h"

#include "chars/gbk.h"
#include "core/naming_model.h"

namespace tavrin {

GeneratorPane::GeneratorPane(NamingModel& model, Pane& pane, std::string_view caption, LineLimit limit,
                             std::string_view scoringElements)
    : model_(model), pane_(pane), caption_(caption), limit_(limit), scoringElements_(scoringElements) {}

bool GeneratorPane::Offer(std::string_view surname, std::string_view given) {
  Candidate candidate = model_.MakeCandidate(surname, given, caption_, scoringElements_);
  if (!model_.AcceptCandidate(candidate)) return false;
  if (Hidden && Hidden(candidate)) return false;
  line_.Add(std::move(candidate));
  FlushWhenFull();
  return true;
}

void GeneratorPane::FlushWhenFull() {
  const bool full =
      limit_ == LineLimit::kBytes ? line_.Size() >= kPaneLineBytes : CharCount(line_.Text()) >= kPaneLineChars;
  if (full) Flush();
}

void RunDrawLoop(NamingModel& model, GeneratorPane& output, const DrawLoop& loop,
                 const std::function<bool()>& attempt) {
  const NamingSession& session = model.session;
  long long attempts = 0;
  while (true) {
    if (static_cast<long long>(output.Target().Rows()) >= model.ReadCount()) {
      output.Flush();
      (loop.completionPane ? *loop.completionPane : model.summaryPane).Append(std::string(loop.completion));
      return;
    }
    if (loop.tick) model.Tick();
    if (session.stopRequested) return;
    if (attempts >= loop.maxAttempts) {
      model.NoteDrawCap(output.Caption(), output.Target().Rows());
      return;
    }
    model.SetProgress(++attempts);
    if (!attempt()) return;
  }
}

}  // namespace tavrin
