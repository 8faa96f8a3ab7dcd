// Where a name comes from and what its characters mean, as the front ends
// show them beside a name: the classical library is opened on first use (a
// missing library gives no sources), the meanings come from the advice
// tables the data stores hold (empty tables give none), and the best line of
// each given name is remembered. Texts are GBK.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "sources/classical_library.h"

namespace tavrin::sources {

class NameNotes {
 public:
  // `dataDir` ends with a separator; library.db is looked for there.
  // `tables` may be null (no meanings; one-character surnames only).
  NameNotes(std::string dataDir, std::shared_ptr<const advice::AdviceTables> tables);
  ~NameNotes();
  NameNotes(const NameNotes&) = delete;
  NameNotes& operator=(const NameNotes&) = delete;

  // The library, opened now if it was not; null when it cannot be.
  ClassicalLibrary* Library();
  const advice::AdviceTables& Tables() const { return *tables_; }

  // The given name of a full name, after a one- or two-character surname.
  std::string GivenNameOf(const std::string& fullName);
  // The best lines of a given name, at most `limit`.
  std::vector<NameSource> Find(const std::string& givenName, std::size_t limit);
  // The best line of a full name's given name, remembered; null when no
  // line holds it.
  const NameSource* BestSource(const std::string& fullName);
  // What the given name means: first the meaning of the two characters
  // together when they make a word of the dictionary (修远：长远，辽远。),
  // then one line for each character: what it means and the common words
  // holding it (MeaningLine); none for a character the tables do not know.
  std::vector<std::string> Meanings(const std::string& fullName);

 private:
  std::string dataDir_;
  bool triedLibrary_ = false;
  std::unique_ptr<ClassicalLibrary> library_;
  std::shared_ptr<const advice::AdviceTables> tables_;
  std::map<std::string, std::optional<NameSource>> best_;
};

// 《title》author：line, the short form of a source for a cell or a line.
std::string ShortSource(const NameSource& source);

// 子（zǐ）孩子，也是对人的美称；常用词：孩子 儿子 电子. A character without
// a Chinese meaning has its English gloss.
std::string MeaningLine(const advice::GivenChar& given);

// The lines of a text (GBK) a given name (GBK) was drawn from: the line that
// holds all its characters best (adjacent and in order, then in order, then
// in any order; the first among equals); when no line holds them all, the
// first line holding each character, one a character (empty for a character
// no line holds).
std::vector<std::string> LinesOfName(const std::string& textGbk, const std::string& givenGbk);

// A source as the 推荐度 weighs it.
advice::ClassicalSource AsClassicalSource(const NameSource& source);

// The best source of a full name as the 推荐度 weighs it, through the notes'
// remembered lines (`notes` must outlive the finder).
advice::SourceFinder SourceFinderOf(NameNotes& notes);

}  // namespace tavrin::sources
