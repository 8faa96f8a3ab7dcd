// The report of accepted names: one row for every line written to the
// summary pane, appended and never removed while the program runs.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tavrin {

struct ReportRow {
  std::string name;           // 姓名: the full name
  std::string score;          // 分数: the score digits
  std::string birthElements;  // 出生日五行
  std::string nameElements;   // 姓名五行
  std::string combined;       // 综合五行: birth elements, then the name's
  std::string grids;          // 五格: the whole score text, grid lines ended by CR

  static constexpr std::size_t kColumnCount = 6;
  // The texts in column order.
  std::array<const std::string*, kColumnCount> Columns() const {
    return {&name, &score, &birthElements, &nameElements, &combined, &grids};
  }
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
