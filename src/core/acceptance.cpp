// Candidate acceptance: the one way names reach the summary pane and the
// report.
#include "conventions/conventions_score.h"
#include "core/naming_model.h"
#include "core/services.h"

namespace tavrin {

namespace {

// A summary line is written once the pending line is longer than this.
constexpr std::size_t kSummaryLineBytes = 80;
// Names scoring above this are collected for the summary.
constexpr int kSummaryScore = 70;

}  // namespace

Candidate MakeCandidate(const NamingServices& services, std::string_view surname, std::string_view given, Origin origin,
                        std::string_view scoringElements) {
  Candidate candidate;
  candidate.fullName.reserve(surname.size() + given.size());
  candidate.fullName.append(surname).append(given);
  candidate.surnameBytes = surname.size();
  NameScore score = services.scorer.Evaluate(candidate.fullName, scoringElements, false);
  candidate.score = score.score;
  candidate.grids = score.grids;
  candidate.nameElements = std::move(score.nameElements);
  candidate.origin = origin;
  return candidate;
}

ReportRow NamingModel::MakeReportRow(const Candidate& candidate) const {
  const NamingSession& session = state_.session;
  ReportRow row;
  row.candidate = candidate;
  row.birthElements = session.chart.birthElements;
  row.scored = Services().scorer.Evaluate(candidate.fullName, session.chart.birthElements);
  row.conventionsScore = ConventionsScore(candidate);
  return row;
}

std::optional<int> NamingModel::ConventionsScore(const Candidate& candidate) const {
  const NamingSession& session = state_.session;
  const auto strength = conventions::AssessStrength(session.chart.pillars);
  // The family's own elements, when they chose them, count as the chart's.
  const auto choice = session.wish == ElementWish::kChosen && !session.chosenElements.empty()
                          ? std::optional(session.chosenElements)
                          : std::nullopt;
  const auto favourable = strength ? std::optional(conventions::FavourableOf(*strength, choice)) : std::nullopt;
  conventions::ConventionsInputs inputs;
  inputs.name = candidate.fullName;
  inputs.surnameLength = static_cast<int>(candidate.surnameBytes / 2);  // the surname is hanzi
  inputs.favourable = favourable ? &*favourable : nullptr;
  const auto reading = Services().ReadConventions(inputs);
  return reading ? std::optional(reading->score) : std::nullopt;
}

bool NamingModel::AcceptCandidate(Candidate& candidate) { return AcceptCandidate(candidate, CandidateText(candidate)); }

bool NamingModel::AcceptCandidate(Candidate& candidate, std::string_view text) {
  presentation_.Pump();
  NamingSession& session = state_.session;
  Pane& summaryPane = state_.summaryPane;
  candidate.acceptance = ++session.accepted;
  if (candidate.score > kSummaryScore) {
    session.pendingLine.Add(candidate, text);
    if (session.pendingLine.Size() > kSummaryLineBytes) {
      session.pendingLine.FlushTo(summaryPane);
      state_.report.Append(MakeReportRow(candidate));
    }
  }
  return !summaryPane.Contains(text);
}

}  // namespace tavrin
