// Advice on one full name for a parent: what each given-name character means
// and how it is used, the warnings a parent should hear (unfortunate sound,
// famous namesake, rare or unsuitable character, the other sex's character,
// reading) and a 推荐度 from 0 to 100 with the reasons that made it.
//
// Everything comes from the advice tables (data/advice_*.dat, written by
// tools/advice/gen_advice.py); a table that is missing gives no advice of its
// kind. Texts are GBK like every text of the core. The rules are written
// down in docs/advice.md.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/name_pinyin.h"
#include "chars/sex.h"

namespace tavrin::advice {

enum class WarningKind { kHomophone, kFamous, kRare, kUnsuitable, kSex, kReading };
enum class Severity { kSerious, kMild };

// Ascii keys of the kinds and severities, for machine-readable output:
// homophone famous rare unsuitable sex reading; serious mild.
const char* KindKey(WarningKind kind);
const char* SeverityKey(Severity severity);

struct Warning {
  WarningKind kind;
  Severity severity;
  std::string text;  // one line of Chinese a parent understands (GBK)
  int points;        // what it takes off the 推荐度 (negative)
};

// One line of the character table.
struct CharFacts {
  std::string ch;                         // the character (GBK)
  int level = 0;                          // 通用规范汉字表 level 1..3; 0 outside it
  std::vector<std::string> readings;      // numbered pinyin (le4), the usual reading first
  std::vector<std::string> rareReadings;  // attested too, but rare: no warning is made of them
  int boys = 0;                           // given names of the boys' list holding it
  int girls = 0;                          // given names of the girls' list holding it
  // Of the two-character given names: those holding it first and last.
  int boysFirst = 0, boysLast = 0, girlsFirst = 0, girlsLast = 0;
  std::string gloss;               // English (ASCII)
  std::string meaning;             // Chinese, in the sense a name uses (GBK); empty when none
  std::vector<std::string> words;  // up to five common words holding it
  std::uint8_t flags = 0;          // CharFlag bits
  // How readily the team's blind readers shortlist names holding it, per
  // mille of the average (advice_appeal.dat); 1000 when it was read too
  // little to tell.
  int appeal = 1000;
};

enum CharFlag : std::uint8_t {
  kInBoysChars = 1,   // a character of 男.dat
  kInGirlsChars = 2,  // a character of 女.dat
  kLeansBoy = 4,      // no list holds it, but it reads as a boys' character
  kLeansGirl = 8,
  kDatedForBoys = 16,  // the register of the 1950s–80s
  kDatedForGirls = 32,
  // The grammar of a verse line (tools/advice/line_grammar.txt): a function
  // character (之 于 不 曰) makes no name with the character beside it but
  // in a name of the bank or the lists; a line is read across a link
  // character (其 之) for its phrases (灼灼其华: 灼华).
  kFunctionChar = 64,
  kLinkChar = 128,
};

// What a parent reads of a character's meaning: the Chinese one, else the
// English gloss (empty when the table has neither).
const std::string& MeaningOrGloss(const CharFacts& facts);

struct GivenChar {
  std::string ch;
  const CharFacts* facts = nullptr;  // null: the table does not know it
};

// A line of the rule that raised or lowered the 推荐度.
struct Reason {
  int points;
  std::string text;  // GBK
};

struct BankName;

// A theme of meaning (聪慧, 温润 …): the characters and the two-character
// words that carry it (GBK). A word counts whole, also when a character of
// it is not one of the theme's.
struct Theme {
  std::string name;
  std::string chars;  // concatenated
  std::vector<std::string> words;

  bool HasChar(std::string_view ch) const;
  bool HasWord(std::string_view word) const;
};

// How the given characters meet the elements the child needs, once the name
// is judged for a child: every character of a favourable element, some of
// them, none. Unjudged without a chart or when the family ignores it.
enum class ElementFit { kUnjudged, kAll, kSome, kNone };

struct Advice {
  std::string name;
  int surnameLength = 1;  // in characters
  Sex sex = Sex::kMale;
  // Numbered pinyin of the full name as Pinyin() reads it, syllables
  // separated by blanks ("zeng1 xiu1 lin2"); a character without a reading
  // stands for itself.
  std::string pinyin;
  std::vector<GivenChar> given;
  // A two-character given name that is a word of the dictionary: the word's
  // meaning (GBK); empty when it is none.
  std::string pairMeaning;
  std::vector<Warning> warnings;  // serious first
  int recommend = 0;              // 0..100
  // The sum the 推荐度 was held within 0..100 from: it orders names that
  // both show 100 (or 0).
  int unclamped = 0;
  // The name bank's entry of the given name (owned by the tables), or null.
  const BankName* bank = nullptr;
  std::vector<Reason> reasons;  // in the order the rule applies them
  // False for a two-character given name that is no word, no phrase of a
  // well-known text and no name (琨迈), or a fragment of a line (君不, 子曰):
  // its 推荐度 stays below 40.
  bool clearPair = true;
  ElementFit fit = ElementFit::kUnjudged;
  // Left out of every list by the family's wishes (an avoided character, a
  // kept one missing), once judged for a child.
  bool wishedOut = false;

  bool HasSerious() const;
};

// The best line of the classical library a given name comes from, as the
// 推荐度 weighs it (GBK texts). `collectionRank` orders the collections as
// the library does: 0 诗经, 1 楚辞, 2 the Four Books (论语, 大学, 中庸,
// 孟子), higher for the rest; the first three earn a bonus.
struct ClassicalSource {
  int collectionRank = -1;
  std::string collection;
  std::string title;
  std::string line;
  std::string author;
  // The given name's characters stand side by side and in order in the line
  // (a phrase of the text, not characters gathered from it).
  bool adjacent = false;
};

// Where a proposed name comes from: the run's own pages, the classical
// library (典籍: two characters side by side in a line of a well-known
// text) or the team's list of given names (名库).
enum class NameOrigin { kRun, kClassical, kCurated };

// A given name the program proposes itself (the name bank): its sex use, its
// meaning (Chinese, GBK; empty for a name mined from the library) and its
// line (collectionRank -1 when none).
struct BankName {
  std::string given;
  NameOrigin origin = NameOrigin::kCurated;
  bool forBoys = true;
  bool forGirls = true;
  std::string meaning;
  ClassicalSource source;
  // How likely the team's next blind reader is to put the name on a
  // shortlist, from its readings: 0, 1 ("one reader") or 2 ("both"); the
  // list keeps no name a reader found odd.
  int shortlisted = 0;
};

// The rank of a collection (GBK) among the sources of a name: 0 诗经, 1 楚辞,
// 2 the Four Books, 3 Tang poems, 4 Song ci, 5 the rest; and within a rank
// the best-known anthologies (唐诗三百首, 宋词三百首) first.
int CollectionRank(std::string_view collection);
bool WellKnown(std::string_view collection);

// True when two characters from the 1-based position `first` of a verse line
// of `length` characters stand within one beat of it: lines of four, five,
// six and seven characters are read 2+2, 2+3, 2+2+2 and 2+2+3; any other
// line (prose, the irregular lines of ci) has no beat to cross.
bool WithinBeat(int length, int first);

// Finds the best line a full name's given name comes from; none when no
// line holds it. The front ends give one over the classical library.
using SourceFinder = std::function<std::optional<ClassicalSource>(const std::string& fullName)>;

// The longest full name a front end hands the advice, in characters: a
// four-character surname and a given name of two fixed fields of four.
inline constexpr std::size_t kMaxAdvisedNameChars = 12;

class AdviceTables {
 public:
  AdviceTables();
  ~AdviceTables();
  AdviceTables(AdviceTables&&) noexcept;
  AdviceTables& operator=(AdviceTables&&) noexcept;

  // The table files (the data directory's are read by LoadAdviceTables of
  // core/startup.h).
  struct Texts {
    std::string chars, unfortunate, famous, unsuitable, surnames, words;
    std::string wordMeanings;  // two-character words and their meanings
    // Phrases a surname makes with the given name (吴 + 慧心 = 无慧心), and
    // the radicals few name characters share (韵 韶: 音).
    std::string surnameWords, shapes;
    std::string boyNames, girlNames;  // the given names of 1600nan.dat and 1600nv.dat
    // The name bank (curated_names.dat, classical_names.dat) and the words
    // that make a line unfit to name a child from (line_negative.dat).
    std::string curatedNames, classicalNames, lineNegative;
    // The themes of meaning a family may wish a name to carry, and each
    // character's radical as it is seen in the character and its structure
    // (the family's wishes: core/wishes.h).
    std::string themes, radicals;
    // How readily the blind readers shortlist names holding each character.
    std::string appeal;
  };
  static AdviceTables FromTexts(const Texts& texts);

  // 2 when the name has at least three characters and begins with a compound
  // surname (欧阳, 诸葛 …), else 1.
  int SurnameLength(std::string_view fullName) const;
  // The given name after that surname (GivenName), empty when nothing follows it.
  std::string GivenName(std::string_view fullName) const;

  // The advice on a full name whose first `surnameLength` characters are the
  // surname. Bytes that do not begin a double-byte character are skipped.
  // `source`, when given, is the best line the given name comes from.
  Advice Advise(std::string_view fullName, int surnameLength, Sex sex, const ClassicalSource* source = nullptr) const;

  // How a name is read to a parent: the surname table's readings and each
  // character's usual one (the readings' texts are shared with every copy).
  const NamePinyin& Pinyin() const;

  // The facts of one character, or null.
  const CharFacts* Facts(std::string_view ch) const;
  // True when the given name is one of the given names of the two name
  // lists (1600nan.dat, 1600nv.dat).
  bool ListedName(std::string_view given) const;
  // True when the given name is an everyday word of the dictionary (如今, 知道).
  bool EverydayWord(std::string_view given) const;
  // The meaning of a two-character word (GBK), or null.
  const std::string* WordMeaning(std::string_view word) const;

  // The names the program proposes itself, curated ones first; a given name
  // stands once (a curated name mined too keeps its meaning and the better
  // line).
  const std::vector<BankName>& Bank() const;
  // The bank's entry of a given name, or null.
  const BankName* BankEntry(std::string_view given) const;
  // True when the line holds a word of death, grief, illness, displeasure …
  // that makes it unfit as the source of a child's name.
  bool NegativeLine(std::string_view line) const;

  // The themes of meaning, in the order they are offered.
  const std::vector<Theme>& Themes() const;
  // The theme of this name (GBK), or null.
  const Theme* ThemeNamed(std::string_view name) const;
  // The radical of a character as it is written in it (氵 for 海, 水 for
  // 泉, 灬 for 熙; GBK); empty when the table has none, as for a character
  // whose radical is no part one sees (一 丨 丶).
  std::string_view RadicalOf(std::string_view ch) const;
  // How the character is built (GBK): 左右, 上下, 独体, 半包围, 全包围, 品字,
  // 上中下 or 左中右; empty when the table does not know it.
  std::string_view StructureOf(std::string_view ch) const;

  // Entries read per table (for the integrity tests and the report).
  std::size_t CharCount() const;
  std::size_t UnfortunateCount() const;
  std::size_t FamousCount() const;
  std::size_t WordMeaningCount() const;
  std::size_t SurnameWordCount() const;
  std::size_t ThemeCount() const;

  // The indexed tables (advice/advice_data.h, internal to src/advice).
  struct Data;

 private:
  std::unique_ptr<Data> data_;
};

// The surname's length as the tables read the name; 1 without tables.
int SurnameLength(const AdviceTables* tables, std::string_view fullName);

}  // namespace tavrin::advice
