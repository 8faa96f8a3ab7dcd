#include "core/empty_pages.h"

#include "chars/gbk.h"

namespace tavrin {

EmptyPane WhyPaneEmpty(const NamingModel& model, Origin page, bool afterRun) {
  const NamingSession& session = model.Session();
  if (!afterRun) return EmptyPane::kBeforeRun;
  if (session.stopRequested) return EmptyPane::kStopped;
  // A boy's name with a girl's character is left out of 系统推荐名, and the
  // characters of a compound surname after the first count as given.
  if (page == Origin::kRecommended && !session.female && CharCount(session.surname) > 1 &&
      model.GirlCharTest(session.surname)) {
    return EmptyPane::kGirlCharOfSurname;
  }
  return EmptyPane::kSoundsAvoided;
}

EmptyReport WhyReportEmpty(const NamingSession& session) {
  return {CharCount(session.chart.birthElements) != 8, CharCount(session.surname) > 1};
}

}  // namespace tavrin
