#include "core/candidate.h"

#include "core/report.h"

namespace tavrin {

std::string CandidateText(const Candidate& candidate) {
  if (!candidate.scored) return candidate.fullName;
  std::string text = candidate.fullName;
  text += '(';
  text += std::to_string(candidate.score);
  text += ')';
  return text;
}

std::string ReportRow::Cell(std::size_t column) const {
  switch (column) {
    case kName:
      return candidate.fullName;
    case kScore:
      return std::to_string(candidate.score);
    case kBirthElements:
      return birthElements;
    case kNameElements:
      return scored.nameElements;
    case kCombined:
      return birthElements + scored.nameElements;
    case kGrids:
      return FormatScoreText(scored);
    default:
      return {};
  }
}

}  // namespace tavrin
