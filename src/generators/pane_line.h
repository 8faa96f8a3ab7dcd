// What every generator shares: its pane with the line buffer it gathers shown
// candidates in, and the loop of draws that fills the pane.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/candidate.h"
#include "core/naming_model.h"
#include "core/pane.h"

namespace tavrin {

// A pane line is written once it holds this many bytes (the two- and
// three-character, five-element and poetry generators) or this many
// characters (the two recommended generators).
inline constexpr std::size_t kPaneLineBytes = 100;
inline constexpr std::size_t kPaneLineChars = 70;

// A generator's pane and its line buffer.
class GeneratorPane {
 public:
  enum class LineLimit { kBytes, kChars };

  // `origin` is the page of the pane written to; it names the generator in
  // its candidates and in a draw-cap note. Names are scored against
  // `scoringElements`, the elements of the birth chart the run is for.
  GeneratorPane(NamingModel& model, Origin origin, LineLimit limit, std::string_view scoringElements);

  Pane& Target() const { return pane_; }
  Origin PageOrigin() const { return origin_; }
  PaneLine& Line() { return line_; }

  // Scores the name `surname` + `given`, hands it to acceptance and, when it
  // comes back and `Hidden` (if set) does not object, adds it to the line,
  // which is written once full. Returns whether it was added.
  bool Offer(std::string_view surname, std::string_view given);
  // Writes the line when it is full.
  void FlushWhenFull();
  // Writes what the line holds.
  void Flush() { line_.FlushTo(pane_); }

  // A candidate acceptance returned that this generator still does not show.
  std::function<bool(const Candidate&)> Hidden;

 private:
  NamingModel& model_;
  Pane& pane_;
  Origin origin_;
  LineLimit limit_;
  std::string scoringElements_;
  PaneLine line_;
};

// The loop of attempts shared by the drawing generators. At the top of every
// attempt: when the pane holds the requested count of rows (re-read at every
// test), the line is written, then `completion` to `completionPane`, and the
// loop ends; the window is pumped when it is time (with `tick`); a stop ends
// the loop; so does the cap of `maxAttempts` attempts, with a draw-cap note;
// else the progress label shows the attempt's number and the attempt runs.
// An attempt returns false to end the generator there.
struct DrawLoop {
  long long maxAttempts = 0;
  std::string_view completion;
  Pane* completionPane = nullptr;  // the summary pane when null
  bool tick = true;
};

// The top of an attempt: true when the loop ends there.
inline bool DrawLoopEnds(NamingModel& model, GeneratorPane& output, const DrawLoop& loop, long long attempts) {
  if (static_cast<long long>(output.Target().Rows()) >= model.ReadCount()) {
    output.Flush();
    (loop.completionPane ? *loop.completionPane : model.PaneOf(Origin::kSettings)).Append(std::string(loop.completion));
    return true;
  }
  if (loop.tick) model.Presentation().Tick();
  if (model.StopRequested()) return true;
  if (attempts >= loop.maxAttempts) {
    model.NoteDrawCap(OriginCaption(output.PageOrigin()), output.Target().Rows());
    return true;
  }
  model.Presentation().SetProgress(attempts + 1);
  return false;
}

template <class Attempt>
void RunDrawLoop(NamingModel& model, GeneratorPane& output, const DrawLoop& loop, Attempt&& attempt) {
  // The attempt is a template parameter so that a draw, which most often ends
  // at its first test, costs no call through a function object.
  for (long long attempts = 0; !DrawLoopEnds(model, output, loop, attempts); ++attempts) {
    if (!attempt()) return;
  }
}

}  // namespace tavrin
