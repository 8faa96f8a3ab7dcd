// The pieces of text the classical library is made of and searched by: its
// lines, the order of its collections, the index form of a text, and where a
// name's characters stand in a line. Library texts are UTF-8, as the database
// stores them; the given name of a full name is GBK, as the core's texts are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::sources {

inline constexpr const char* kLibraryFile = "library.db";

// The lines of a text: each run of Chinese characters between marks, line
// ends or other signs, in reading order.
std::vector<std::string> TextLines(std::string_view content);

// A text as the full-text index holds it: one token per Chinese character
// and "0" for each run of anything else, tokens separated by spaces
// ("青青子衿，悠悠我心。" -> "青 青 子 衿 0 悠 悠 我 心 0"). A search text in the
// same form is a phrase that matches where the text holds the search text.
std::string IndexForm(std::string_view utf8);

// The rank of a collection among the sources of a name: 诗经, 楚辞, the Four
// Books (论语, 大学, 中庸, 孟子), Tang poems, Song ci, then the rest; and
// within a rank the best-known anthologies (唐诗三百首, 宋词三百首) first.
int CollectionRank(std::string_view collection);
bool WellKnown(std::string_view collection);

// The key of a line in the line index. Keys order lines as sources are
// ranked: by collection rank, well-known anthologies first, then by text
// id and line number.
std::int64_t LineKey(std::string_view collection, std::int64_t textId, int lineNumber);
std::int64_t TextIdOfLineKey(std::int64_t key);
int LineNumberOfLineKey(std::int64_t key);

// How a name's characters stand in a line, best first.
enum class Fit { kAdjacent, kInOrder, kAnyOrder, kNone };

// Places each character of `name` on its own character of `line` as well
// as the line allows (adjacent and in order, else in order, else in any
// order; among equal fits the shortest span, then the earliest) and writes
// their positions (counted from 1, one per name character, in the name's
// order) into `positions`.
Fit PlaceName(const std::vector<std::string>& line, const std::vector<std::string>& name, std::vector<int>& positions);

}  // namespace tavrin::sources
