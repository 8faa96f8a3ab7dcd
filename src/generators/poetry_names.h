// Names from a poem (page 诗歌取名): the surname and two characters drawn from
// the Chinese characters of the poem, in the page's pane. Started from its own
// page, not by the Generate command.
#pragma once

#include <string>
#include <string_view>

#include "core/refusal.h"

namespace tavrin {

class NamingModel;

enum class PoetryOutcome {
  kCompleted,  // the run went through (a stop or the attempt cap included)
  kRefused,    // no poem, 5ge.dat failed to load, or a count that is no whole number: nothing changed
  kFailed,     // the count stopped being a whole number during the run
};

// "开 始": takes the poem text of the middle pane (GBK), fills the session's
// PoemCharList with its Chinese characters and runs GeneratePoetryNames,
// scoring names against `scoringElements` (the window gives the elements of
// the last Generate run's chart).
// Outside a Generate run a stop left from an earlier run is cleared first;
// inside one (through its pump) the flag is left alone, so one Stop ends both.
// A refusal or a failure comes back with the outcome, for the front end to show.
CommandResult<PoetryOutcome> StartPoetryNaming(NamingModel& model, const std::string& poemText,
                                               std::string_view scoringElements);

// The generator over the session's PoemCharList.
void GeneratePoetryNames(NamingModel& model, std::string_view scoringElements);

}  // namespace tavrin
