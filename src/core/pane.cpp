#include "core/pane.h"

#include <cstring>

namespace tavrin {

std::size_t DisplayedRows(std::string_view line) {
  std::size_t width = line.size();
  while (width > 0 && line[width - 1] == ' ') --width;
  const std::size_t rows = (width + kPaneColumns - 1) / kPaneColumns;
  return rows == 0 ? 1 : rows;
}

bool ContainsBytes(std::string_view haystack, std::string_view needle) {
  // memmem is far quicker than a first-byte scan here: every candidate
  // starts with the surname, whose lead byte stands in every entry.
  return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

bool Pane::Contains(std::string_view needle) const { return ContainsBytes(text_, needle); }

void Pane::Append(std::string line) {
  rows_ += DisplayedRows(line);
  text_ += line;
  text_ += "\r\n";
  lines_.push_back(std::move(line));
  Notify(Change::kAppended);
}

void Pane::Clear() {
  lines_.clear();
  text_.clear();
  rows_ = 0;
  Notify(Change::kCleared);
}

}  // namespace tavrin
