// The report of accepted names: one row for every line written to the
// summary pane, appended and never removed while the program runs.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/candidate.h"
#include "scoring/score.h"

namespace tavrin {

struct ReportRow {
  Candidate candidate;        // the name that completed its summary line, with its score
  std::string birthElements;  // the elements of the run's birth chart
  NameScore scored;           // the name scored again for the row, with its matched lines
  // The 通行评分 of the name against the run's birth chart; nullopt when the
  // name has no common grids (a surname or given name of more than two).
  std::optional<int> conventionsScore;

  enum Column { kName, kScore, kBirthElements, kNameElements, kCombined, kGrids };
  static constexpr std::size_t kColumnCount = 6;
  // The text of a column (GBK): 姓名, 分数, 出生日五行, 姓名五行, 综合五行 (birth
  // elements, then the name's) and 五格 (the whole score text, grid lines
  // ended by CR).
  std::string Cell(std::size_t column) const;
};

class ReportList {
 public:
  // Called after a row was appended; the new row is Rows().back().
  using Listener = std::function<void(const ReportList& report)>;

  const std::vector<ReportRow>& Rows() const { return rows_; }
  void Append(ReportRow row) {
    rows_.push_back(std::move(row));
    if (listener_) listener_(*this);
  }
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  std::vector<ReportRow> rows_;
  Listener listener_;
};

}  // namespace tavrin
