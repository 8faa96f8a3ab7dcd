// The loaded advice tables, indexed for the lookups of one name. Internal to
// src/advice.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "advice/advice.h"
#include "chars/name_pinyin.h"

namespace tavrin::advice {

// A syllable sequence (up to four syllables) packed into one key: the count
// in the low 4 bits, then 12 bits per syllable id.
using SoundKey = std::uint64_t;
inline constexpr int kMaxKeySyllables = 4;

struct Syllable {
  std::uint16_t toned = 0;     // id of the numbered syllable (zhang1); 0: none
  std::uint16_t toneless = 0;  // id of the syllable without its tone (zhang)
  int tone = 0;                // 1..4, 5 neutral, 0 none
};

struct UnfortunateWord {
  std::string word;
  std::string category;
  Severity severity = Severity::kSerious;  // kMild: a hint even in the same tones (红尘)
  std::vector<Syllable> syllables;
};

// A phrase the surname's sound makes with the first given characters:
// 无慧心 for 吴慧欣, 狗熊 for 苟雄.
struct SurnamePhrase {
  std::string phrase;
  std::string surnames;  // the one-character surnames that read so (GBK, concatenated)
  Severity severity;     // in the same tones; a hint without them
  bool good = false;     // reads well (无忧): no warning, no 不宜 for its characters
  std::vector<Syllable> syllables;
  bool graveNear = false;  // serious also a tone off (黄吟 and 荒淫)
};

enum class FamousTag { kNotorious, kFictional, kHistorical, kCelebrity };

struct FamousPerson {
  std::string name;
  FamousTag tag;
  std::string note;
  // So well known that a name beginning with it reads as theirs: in the
  // same characters (begin, start) or the same sound (start).
  bool begin = false;
  bool start = false;
};

struct Unsuitable {
  Severity severity;
  std::string reason;
};

struct AdviceTables::Data {
  std::vector<CharFacts> chars;
  std::vector<std::vector<Syllable>> charSyllables;  // per char: its readings' syllables
  std::vector<std::string> markedReadings;           // per char of several readings: "níng、nìng" (GBK)
  std::vector<std::int32_t> charIndex;               // by GBK code: index into chars, -1
  std::vector<std::int16_t> unsuitableIndex;         // by GBK code: index into unsuitable, -1
  std::vector<Unsuitable> unsuitable;

  std::unordered_map<std::string, std::uint16_t> tonedIds;
  std::unordered_map<std::string, std::uint16_t> tonelessIds;
  std::vector<std::string> tonedTexts{std::string()};     // by id
  std::vector<std::string> tonelessTexts{std::string()};  // by id

  std::vector<UnfortunateWord> unfortunate;
  std::vector<std::uint16_t> neutralOf;  // by toned id: the same syllable in the neutral tone, 0 when none is known
  std::unordered_map<SoundKey, std::int32_t> unfortunateToned;  // by the word's own tones (NeutralVariantKeys)
  std::unordered_map<SoundKey, std::int32_t> unfortunateToneless;

  std::vector<FamousPerson> famous;
  std::unordered_map<std::string, std::int32_t> famousByName;
  std::unordered_map<SoundKey, std::int32_t> famousToned;  // the most serious person of a sound
  std::unordered_map<SoundKey, std::int32_t> famousToneless;
  std::unordered_map<SoundKey, std::int32_t> famousStartToned;  // the start names only

  std::vector<SurnamePhrase> surnamePhrases;
  std::unordered_map<SoundKey, std::vector<std::int32_t>> surnamePhraseToned;  // by the phrase's own tones
  std::unordered_map<SoundKey, std::vector<std::int32_t>> surnamePhraseToneless;

  // By GBK code: the radical of a character whose radical few name
  // characters share (韵 韶: 180), else 0.
  std::vector<std::uint8_t> shapeRadical;
  // Celebrities of a surname and two given characters, by their name with
  // one given character written "**" (张**涵, 张韶**).
  std::unordered_map<std::string, std::vector<std::int32_t>> celebrityByOthers;

  std::unordered_map<std::string, std::vector<Syllable>> surnameReadings;  // compound and polyphonic
  // The same readings as texts, the surnames' and each character's usual
  // one: how the name is read to a parent (Advice::pinyin and every page).
  NamePinyin namePinyin;
  std::unordered_set<std::string> compoundSurnames;
  // Short texts (up to eight bytes) as packed keys: the everyday words and
  // the given names of the two name lists.
  std::unordered_set<std::uint64_t> everydayWords;
  std::unordered_set<std::uint64_t> boyGivenNames, girlGivenNames;
  std::unordered_map<std::uint64_t, std::string> wordMeanings;  // by the packed word

  std::vector<Theme> themes;
  // A few texts that many characters share, and each character's by GBK
  // code (0: none).
  struct CharClass {
    std::vector<std::uint8_t> index;
    std::vector<std::string> texts{std::string()};
    std::string_view Of(std::string_view ch) const;
  };
  CharClass radicals;    // the radical as it is written in the character
  CharClass structures;  // 左右, 上下, 独体 …

  std::vector<BankName> bank;
  std::unordered_map<std::string, std::int32_t> bankByGiven;
  std::vector<std::string> negativeLineWords;

  static unsigned Code(std::string_view ch) {
    return static_cast<unsigned char>(ch[0]) << 8 | static_cast<unsigned char>(ch[1]);
  }
  const CharFacts* FactsOf(std::string_view ch) const;
  bool NegativeLine(std::string_view line) const;
  // 2 when a name of these characters has at least three and begins with a
  // compound surname, else 1: SurnameLength.
  int SurnameLength(const std::vector<std::string>& chars) const;
  // The usual reading of a character (none when the table does not know it).
  Syllable ReadingOf(std::string_view ch) const;
  Syllable Intern(std::string_view numbered);
  // The syllables of a name read as a name: the surname's own reading when
  // the table has one, then each character's usual reading.
  std::vector<Syllable> ReadName(const std::vector<std::string>& chars, int surnameLength) const;
  // The toned keys under which a word may be kept that sounds like these
  // syllables: a word's neutral syllable stands for the same syllable in
  // every tone, so the keys are the syllables' own and those with any of them
  // read neutral (at most 2^kMaxKeySyllables). Words are kept under their own
  // key alone, so a table of words with many neutral syllables costs no more
  // than any other.
  std::vector<SoundKey> NeutralVariantKeys(const Syllable* syllables, std::size_t count) const;
};

// Keys of a syllable sequence; false when it is too long or a syllable is unknown.
bool TonedKey(const Syllable* syllables, std::size_t count, SoundKey& key);
bool TonelessKey(const Syllable* syllables, std::size_t count, SoundKey& key);

// The lines of a table, each split at tabs; CR LF or LF ends a line; empty
// lines are skipped.
std::vector<std::vector<std::string_view>> Rows(std::string_view text);

// Reads the name bank and the negative line words into `d`.
void LoadBank(AdviceTables::Data& d, const AdviceTables::Texts& texts);

// Reads the themes, the radicals and the structures into `d`.
void LoadWishTables(AdviceTables::Data& d, const AdviceTables::Texts& texts);

// A text of up to eight bytes as one number (0 for a longer text).
std::uint64_t PackedText(std::string_view text);

}  // namespace tavrin::advice
