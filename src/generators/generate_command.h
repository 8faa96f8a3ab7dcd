// The Generate command ("生成"): checks the inputs, clears the result panes,
// writes the birth analysis and runs the generators one after another.
#pragma once

#include "core/refusal.h"

namespace tavrin {

class NamingModel;

enum class GenerateOutcome {
  kCompleted,  // the run went through (a stop included)
  kRefused,    // an input or a data file was refused; nothing changed
  kFailed,     // the run ended early with a message; what was written stays
  kIgnored,    // a stopped run was still returning
};

// A refusal or a failure comes back with the outcome, for the front end to
// show once the buttons are restored. Any exception other than the run's own
// failures restores the buttons and passes on to the caller.
CommandResult<GenerateOutcome> GenerateCommand(NamingModel& model);

}  // namespace tavrin
