// Why a page of the last run holds no names, so that each empty list can
// say why and what to do.
#pragma once

#include "core/naming_model.h"

namespace tavrin {

enum class EmptyPane {
  kBeforeRun,          // no run yet: the page says what it will hold
  kStopped,            // the run was stopped before the page's turn
  kGirlCharOfSurname,  // 系统推荐名 for a boy whose compound surname holds a girl's character
  kSoundsAvoided,      // every character near the surname's sounds was avoided up to the cap
};

// For the pane of a generator's page after the run (or before any).
EmptyPane WhyPaneEmpty(const NamingModel& model, Origin page, bool afterRun);

// Why the report holds no name of the last run beyond "none scored over 70".
struct EmptyReport {
  bool hourUnknown = false;      // six characters of the chart only
  bool compoundSurname = false;  // the grids count the first character only
};
EmptyReport WhyReportEmpty(const NamingSession& session);

}  // namespace tavrin
