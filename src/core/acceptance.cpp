// Candidate acceptance: the one way names reach the summary pane and the
// report.
#include "chars/strcon.h"
#include "core/naming_model.h"

namespace tavrin {

namespace {

// A summary line is written once the pending line is longer than this.
constexpr std::size_t kSummaryLineBytes = 80;
// Names scoring above this are collected for the summary.
constexpr int kSummaryScore = 70;

}  // namespace

std::string NamingModel::CandidateText(std::string_view name) const {
  std::string text(name);
  text += '(';
  text += std::to_string(Services().scorer.Score(name, session.birthElements));
  text += ')';
  return text;
}

ReportRow NamingModel::MakeReportRow(std::string_view name, std::string_view score) const {
  ReportRow row;
  row.name = std::string(name);
  row.score = std::string(score);
  row.birthElements = session.birthElements;
  row.nameElements = Services().elements.NameElements(name);
  row.combined = session.birthElements + row.nameElements;
  row.grids = Services().scorer.ScoreName(name, session.birthElements);
  return row;
}

std::string NamingModel::AcceptCandidate(std::string_view candidate) {
  Pump();
  const std::string scoreText = TextBefore(")", TextAfter("(", candidate));
  // A candidate text built by CandidateText always holds a whole number.
  const int score = ParseDecimalInteger(scoreText).value_or(0);
  std::string result(candidate);
  if (score > kSummaryScore) {
    session.pendingLine += candidate;
    session.pendingLine += "   ";
    if (session.pendingLine.size() > kSummaryLineBytes) {
      memo1.Append(std::move(session.pendingLine));
      session.pendingLine.clear();
      report.Append(MakeReportRow(TextBefore("(", candidate), scoreText));
    }
  }
  if (memo1.Contains(candidate)) result.clear();
  return result;
}

}  // namespace tavrin
