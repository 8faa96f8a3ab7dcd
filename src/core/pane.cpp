#include "core/pane.h"

#include <cstring>

namespace tavrin {

std::size_t DisplayedRows(std::string_view line, std::size_t columns) {
  std::size_t width = line.size();
  while (width > 0 && line[width - 1] == ' ') --width;
  const std::size_t rows = (width + columns - 1) / columns;
  return rows == 0 ? 1 : rows;
}

bool ContainsBytes(std::string_view haystack, std::string_view needle) {
  // memmem is far quicker than a first-byte scan here: every candidate
  // starts with the surname, whose lead byte stands in every entry.
  return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

namespace {

// The polynomial hash of a substring, taken from its last byte backwards.
constexpr std::uint64_t kHashBase = 0x100000001B3ULL;

}  // namespace

std::uint64_t ClosingSubstringIndex::Key(std::uint64_t hash, std::size_t length) {
  std::uint64_t key = (hash ^ (length * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
  key ^= key >> 31;
  return key == 0 ? 1 : key;
}

void ClosingSubstringIndex::Insert(std::uint64_t key, std::uint32_t end) {
  if ((used_ + 1) * 4 > slots_.size() * 3) Grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = key & mask;; i = (i + 1) & mask) {
    if (slots_[i].key == key) return;  // the first occurrence stays
    if (slots_[i].key == 0) {
      slots_[i] = {key, end};
      ++used_;
      return;
    }
  }
}

void ClosingSubstringIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.key != 0) Insert(slot.key, slot.end);
  }
}

void ClosingSubstringIndex::Extend(std::string_view text, std::size_t from) {
  for (std::size_t pos = from; pos < text.size(); ++pos) {
    if (text[pos] != ')') continue;
    std::uint64_t hash = 0;
    std::uint64_t power = 1;
    for (std::size_t length = 1; length <= kMaxLength && length <= pos + 1; ++length) {
      hash += static_cast<unsigned char>(text[pos + 1 - length]) * power;
      power *= kHashBase;
      Insert(Key(hash, length), static_cast<std::uint32_t>(pos + 1));
    }
  }
}

bool ClosingSubstringIndex::Contains(std::string_view text, std::string_view needle) const {
  if (needle.empty() || needle.back() != ')' || needle.size() > kMaxLength) return ContainsBytes(text, needle);
  if (slots_.empty()) return false;
  std::uint64_t hash = 0;
  std::uint64_t power = 1;
  for (std::size_t length = 1; length <= needle.size(); ++length) {
    hash += static_cast<unsigned char>(needle[needle.size() - length]) * power;
    power *= kHashBase;
  }
  const std::uint64_t key = Key(hash, needle.size());
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = key & mask; slots_[i].key != 0; i = (i + 1) & mask) {
    if (slots_[i].key != key) continue;
    const std::size_t end = slots_[i].end;
    if (text.substr(end - needle.size(), needle.size()) == needle) return true;
    // Another substring with the same key: search the plain way.
    return ContainsBytes(text, needle);
  }
  // Every substring of this length ending at ")" is indexed, so none equals it.
  return false;
}

void ClosingSubstringIndex::Clear() {
  slots_.clear();
  used_ = 0;
}

bool Pane::Contains(std::string_view needle) const {
  return indexed_ ? index_.Contains(text_, needle) : ContainsBytes(text_, needle);
}

void PaneLine::Add(Candidate candidate) {
  const std::string shown = CandidateText(candidate);
  Add(std::move(candidate), shown);
}

void PaneLine::Add(Candidate candidate, std::string_view shown) {
  // A line holds a handful of entries; one allocation takes them all.
  if (entries_.empty()) entries_.reserve(kTypicalEntries);
  entries_.push_back({text_.size(), shown.size(), std::move(candidate)});
  text_ += shown;
  text_ += "   ";
}

void PaneLine::Restart(Candidate candidate) {
  text_.clear();
  entries_.clear();
  Add(std::move(candidate));
}

void PaneLine::FlushTo(Pane& pane) {
  if (text_.empty()) return;
  pane.Append(std::move(text_), std::move(entries_));
  text_.clear();
  entries_.clear();
}

const Candidate* Pane::CandidateAt(std::size_t line, std::size_t at) const {
  if (line >= entries_.size()) return nullptr;
  for (const PaneEntry& entry : entries_[line]) {
    if (at >= entry.begin && at < entry.begin + entry.length) return &entry.candidate;
  }
  return nullptr;
}

const std::vector<PaneEntry>& Pane::EntriesOf(std::size_t line) const {
  static const std::vector<PaneEntry> kNone;
  return line < entries_.size() ? entries_[line] : kNone;
}

void Pane::Append(std::string line, std::vector<PaneEntry> entries) {
  rows_ += DisplayedRows(line, columns_);
  const std::size_t from = text_.size();
  text_ += line;
  text_ += "\r\n";
  if (indexed_) index_.Extend(text_, from);
  lines_.push_back(std::move(line));
  entries_.push_back(std::move(entries));
  Notify(Change::kAppended);
}

void Pane::Clear() {
  lines_.clear();
  entries_.clear();
  text_.clear();
  rows_ = 0;
  index_.Clear();
  Notify(Change::kCleared);
}

}  // namespace tavrin
