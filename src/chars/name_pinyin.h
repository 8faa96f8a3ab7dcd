// How a full name is read aloud, for every place that shows a name's pinyin:
// the surname with its own reading (曾 zēng, 单 shàn, 万俟 mòqí), then each
// given character with its usual reading (乐 lè). One reader, so that a name
// reads the same on every page, in the printout and on the command line.
//
// It knows the readings it is given when it is built (the advice tables hand
// over their surname table and the usual reading of each character); for a
// character it has no reading of, it can ask the pinyin index (yq.dat). The
// sound rules of the naming run read the given characters from yq.dat
// through PinyinService; only the surname's own reading is taken from here
// (NamingServices::SurnamePinyin), so that a surname is heard as it is said.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavrin {

class PinyinService;

// The readings a NamePinyin knows. Filled once, then shared read-only by
// every reader built over it. Readings are numbered pinyin in lower case
// (zeng1, le4, a neutral tone as 5 or 0); characters and surnames are GBK.
class NameReadings {
 public:
  NameReadings();

  // The usual reading of a double-byte character; the first one given stays.
  void AddUsual(std::string_view ch, std::string_view numbered);
  // A surname's own reading, one syllable per character; a reading whose
  // count of syllables differs from the surname's characters is ignored.
  void AddSurname(std::string_view surname, std::vector<std::string> numbered);

  // Null when the table has none.
  const std::string* Usual(std::string_view ch) const;
  const std::vector<std::string>* Surname(std::string_view surname) const;

  std::size_t UsualCount() const { return usual_.size() - 1; }
  std::size_t SurnameCount() const { return surnames_.size(); }

 private:
  std::vector<std::uint16_t> usualIndex_;  // by GBK code: index into usual_, 0 for none
  std::vector<std::string> usual_;         // usual_[0] is unused
  std::unordered_map<std::string, std::vector<std::string>> surnames_;
};

class NamePinyin {
 public:
  // Knows no reading: every character stands for itself.
  NamePinyin();
  // `fallback`, when given, reads the characters `readings` does not know
  // (lower-cased); it must outlive the reader.
  explicit NamePinyin(std::shared_ptr<const NameReadings> readings, const PinyinService* fallback = nullptr);

  // The same readings, with `fallback` for the characters they lack.
  NamePinyin WithFallback(const PinyinService& fallback) const { return NamePinyin(readings_, &fallback); }
  const NameReadings& Readings() const { return *readings_; }

  // The syllables of a full name (GBK) whose first `surnameLength`
  // characters are the surname: the surname's own reading when the table
  // has one for exactly those characters, else each character's usual
  // reading; a character without a reading stands for itself. Bytes that do
  // not begin a double-byte character are skipped.
  std::vector<std::string> Syllables(std::string_view fullName, int surnameLength) const;
  // The syllables separated by blanks: "zeng1 le4".
  std::string Numbered(std::string_view fullName, int surnameLength) const;
  // With tone marks, UTF-8: "zēng lè".
  std::string Marked(std::string_view fullName, int surnameLength) const;

 private:
  std::string ReadingOf(const std::string& ch) const;

  std::shared_ptr<const NameReadings> readings_;
  const PinyinService* fallback_ = nullptr;
};

}  // namespace tavrin
