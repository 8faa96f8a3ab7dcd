#include "core/best_names.h"

#include "core/naming_model.h"
#include "core/pane.h"
#include "core/report.h"

namespace tavrin {

namespace {

// The caption a candidate of the poetry page carries as its generator.
constexpr std::string_view kPoetryGenerator = "诗歌取名";

}  // namespace

bool BestNames::Add(const Candidate& candidate, advice::Sex sex) {
  if (candidate.Given().empty()) return false;
  std::string key(1, sex == advice::Sex::kFemale ? 'F' : 'M');
  key += candidate.fullName;
  if (!keys_.insert(std::move(key)).second) return false;
  const int surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  if (tables_) {
    advice_.push_back(tables_->Advise(candidate.fullName, surnameLength, sex));
  } else {
    advice::Advice empty;
    empty.name = candidate.fullName;
    empty.surnameLength = surnameLength;
    empty.sex = sex;
    advice_.push_back(std::move(empty));
  }
  scores_.push_back(candidate.scored ? candidate.score : kNoScore);
  candidates_.push_back(candidate);
  return true;
}

void BestNames::AddPane(const Pane& pane, advice::Sex sex) {
  for (std::size_t line = 0; line < pane.Lines().size(); ++line) {
    for (const PaneEntry& entry : pane.EntriesOf(line)) Add(entry.candidate, sex);
  }
}

void BestNames::AddReport(const ReportList& report, advice::Sex runSex, advice::Sex poetrySex) {
  const std::vector<ReportRow>& rows = report.Rows();
  for (; reportRowsAdded_ < rows.size(); ++reportRowsAdded_) {
    const Candidate& candidate = rows[reportRowsAdded_].candidate;
    Add(candidate, candidate.generator == kPoetryGenerator ? poetrySex : runSex);
  }
}

void BestNames::AddRuns(const NamingRunState& state, advice::Sex poetrySex) {
  const advice::Sex runSex = SexOf(state.session.female);
  AddReport(state.report, runSex, poetrySex);
  for (const auto& page : state.ResultPages()) AddPane(*page.pane, runSex);
  AddPane(state.poetryPane, poetrySex);
}

}  // namespace tavrin
