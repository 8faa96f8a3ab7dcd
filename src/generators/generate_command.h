// The Generate command ("生成"): checks the inputs, clears the result panes,
// writes the birth analysis and runs the generators one after another.
#pragma once

namespace tavrin {

class NamingModel;

enum class GenerateOutcome {
  kCompleted,  // the run went through (a stop included)
  kRefused,    // an input or a data file was refused; nothing changed
  kFailed,     // the run ended early with a message; what was written stays
  kIgnored,    // a stopped run was still returning
};

// Messages go to the model's message boxes. Any exception other than the
// run's own failures restores the buttons and passes on to the caller.
GenerateOutcome GenerateCommand(NamingModel& model);

}  // namespace tavrin
