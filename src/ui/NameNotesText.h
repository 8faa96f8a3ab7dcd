// What the table pages (the report, 精选) show of a name's notes: the short
// source for a 出处 cell, the tooltip of a name (what each given character
// means, and its source) and the source as HTML with the name's characters
// marked in its line. Without notes there is nothing to show.
#pragma once

#include <QString>
#include <string>

namespace tavrin::sources {
class NameNotes;
struct NameSource;
}  // namespace tavrin::sources

namespace tavrin::ui {

// 《title》author：line, or empty when no line holds the given name.
QString SourceCellText(sources::NameNotes* notes, const std::string& fullName);
// One line a given character (its meaning and common words), then 出处：….
QString NameToolTip(sources::NameNotes* notes, const std::string& fullName);
// The line with the name's characters in bold and colour, then 《title》,
// author and collection.
QString SourceHtml(const sources::NameSource& found);

}  // namespace tavrin::ui
