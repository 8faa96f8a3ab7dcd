// A text pane of the naming run as the core sees it: the lines written to
// it, its whole text and the number of rows it takes on the screen. The
// window mirrors each pane in a widget through the pane's listener; the
// generators count a pane's rows, and acceptance searches its text, here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/linelist.h"
#include "core/candidate.h"

namespace tavrin {

// Half-width columns of one pane row: a pane 865 pixels wide shows 105
// half-width columns of a 16-pixel font, and each GBK byte takes one column.
inline constexpr std::size_t kPaneColumns = 105;

// The half-width columns of the poetry page's narrower result pane (425
// pixels wide).
inline constexpr std::size_t kNarrowPaneColumns = 50;

// The rows a written line takes when the pane wraps it at `columns`:
// max(1, ceil(w / columns)), w being its length in bytes without trailing
// blanks.
std::size_t DisplayedRows(std::string_view line, std::size_t columns = kPaneColumns);

// A plain byte-wise substring search; an empty needle is found in any text.
bool ContainsBytes(std::string_view haystack, std::string_view needle);

// An index of the substrings of a text that end at a ")", by length up to
// kMaxLength and a hash, so that a candidate text (which ends with ")") is
// looked up instead of searched for. Answers exactly what a byte-wise search
// answers: a hash hit is checked against the text, and a needle the index
// does not cover is searched for.
class ClosingSubstringIndex {
 public:
  static constexpr std::size_t kMaxLength = 32;
  // Indexes the bytes text[from, text.size()) of a text that grew from `from`.
  void Extend(std::string_view text, std::size_t from);
  bool Contains(std::string_view text, std::string_view needle) const;
  void Clear();

 private:
  struct Slot {
    std::uint64_t key = 0;  // 0: empty
    std::uint32_t end = 0;  // one past the last byte of the substring
  };
  static std::uint64_t Key(std::uint64_t hash, std::size_t length);
  void Insert(std::uint64_t key, std::uint32_t end);
  void Grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

// A candidate written in a pane line, by the bytes it takes there.
struct PaneEntry {
  std::size_t begin = 0;  // first byte in the line
  std::size_t length = 0;
  Candidate candidate;
};

class Pane;

// A line buffer of candidates: their texts, each followed by three blanks,
// and where each one stands. Written to a pane as one line.
class PaneLine {
 public:
  const std::string& Text() const { return text_; }
  const std::vector<PaneEntry>& Entries() const { return entries_; }
  bool Empty() const { return text_.empty(); }
  std::size_t Size() const { return text_.size(); }

  // Appends the candidate's text and the three blanks.
  void Add(Candidate candidate);
  // The same, with its text made already (CandidateText of the candidate).
  void Add(Candidate candidate, std::string_view shown);
  // Appends text that names no candidate.
  void AddText(std::string_view text) { text_ += text; }
  // Empties the buffer, then adds the candidate.
  void Restart(Candidate candidate);
  // Writes a line that is not empty to the pane, and empties the buffer.
  void FlushTo(Pane& pane);

 private:
  static constexpr std::size_t kTypicalEntries = 8;
  std::string text_;
  std::vector<PaneEntry> entries_;
};

class Pane {
 public:
  enum class Change { kAppended, kCleared };
  // Called after every change; for kAppended the new line is Lines().back().
  using Listener = std::function<void(const Pane& pane, Change change)>;

  // An indexed pane answers Contains for candidate texts by table lookup;
  // the summary pane, searched for every candidate of a run, is one.
  explicit Pane(std::string name, bool indexed = false, std::size_t columns = kPaneColumns)
      : name_(std::move(name)), indexed_(indexed), columns_(columns) {}
  Pane(const Pane&) = delete;
  Pane& operator=(const Pane&) = delete;

  // The component name ("Memo1" ...).
  const std::string& Name() const { return name_; }
  // The half-width columns of one row.
  std::size_t Columns() const { return columns_; }
  const LineList& Lines() const { return lines_; }
  // The written lines, each followed by CR LF.
  const std::string& Text() const { return text_; }
  // Displayed rows: DisplayedRows summed over the written lines.
  std::size_t Rows() const { return rows_; }
  // A plain byte-wise substring search of the whole text. An empty needle is
  // found in any text.
  bool Contains(std::string_view needle) const;

  // Appends a line; `entries` are the candidates it shows.
  void Append(std::string line, std::vector<PaneEntry> entries = {});
  void Clear();
  // The candidate whose text holds byte `at` of written line `line`, or null
  // (a blank, a line of plain text, a line or byte outside the pane).
  const Candidate* CandidateAt(std::size_t line, std::size_t at) const;
  // The candidates of written line `line` (none outside the pane).
  const std::vector<PaneEntry>& EntriesOf(std::size_t line) const;
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  void Notify(Change change) const {
    if (listener_) listener_(*this, change);
  }

  std::string name_;
  LineList lines_;
  std::vector<std::vector<PaneEntry>> entries_;  // by line
  std::string text_;
  std::size_t rows_ = 0;
  bool indexed_;
  std::size_t columns_;
  ClosingSubstringIndex index_;
  Listener listener_;
};

}  // namespace tavrin
