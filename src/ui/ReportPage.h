// The page 姓名报表: the report list as a table parents can sort (click a
// header; again to reverse), filter (a minimum score, characters a name must
// hold), copy (Ctrl+C) and export (CSV, JSON), and from which a name opens
// in the analysis. Sorting and filtering are a view: the core's rows keep
// their order of acceptance.
#pragma once

#include "ui/TablePage.h"

namespace tavrin {
class ReportList;
struct NamingServices;
}  // namespace tavrin

namespace tavrin::sources {
class NameNotes;
}

namespace tavrin::ui {

class ReportModel;

class ReportPage : public NameTablePage {
  Q_OBJECT

 public:
  ReportPage(ReportList& report, const NamingServices& services, QWidget* parent = nullptr);

  // Where the 出处 column and the names' tooltips come from (outlives the page).
  void SetNotes(sources::NameNotes* notes);
  const ReportModel& Model() const { return *model_; }
  // Why the report is still empty after the last run, shown in the empty
  // list; the empty text means no run has been made yet.
  void SetEmptyReason(const QString& reason);

 protected:
  QString EmptyText(bool filtered) const override;
  TableText Text() const override;

 private:
  ReportModel* model_ = nullptr;
  QString emptyReason_;
};

}  // namespace tavrin::ui
