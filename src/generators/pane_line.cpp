#include "generators/pane_line.h"

#include "core/pane.h"

namespace tavrin {

void FlushPaneLine(std::string& paneLine, Pane& pane) {
  if (paneLine.empty()) return;
  pane.Append(std::move(paneLine));
  paneLine.clear();
}

}  // namespace tavrin
