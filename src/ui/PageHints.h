// What an empty list of the window says: before the first run what the page
// will hold, after a run why it holds nothing and what to do.
#pragma once

#include <QString>

#include <vector>

#include "core/empty_pages.h"

namespace tavrin::ui {

class PaneView;

// The hints of the result panes: 姓名设置's, the five generators' pages', 诗歌取名's.
void ExplainEmptyPanes(const NamingModel& model, const std::vector<PaneView*>& panes, bool afterRun);
// 姓名报表 after a run that put no name into it.
QString EmptyReportHint(const EmptyReport& why);

}  // namespace tavrin::ui
