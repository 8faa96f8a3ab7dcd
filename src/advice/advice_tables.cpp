
#include <array>
#include <sstream>

#include "advice/advice_data.h"
#include "chars/gbk.h"
#include "chars/tone_marks.h"

namespace tavrin::advice {

std::vector<std::vector<std::string_view>> Rows(std::string_view text) {
  std::vector<std::vector<std::string_view>> rows;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    std::vector<std::string_view> fields;
    while (true) {
      const std::size_t tab = line.find('\t');
      fields.push_back(line.substr(0, tab));
      if (tab == std::string_view::npos) break;
      line.remove_prefix(tab + 1);
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

namespace {

constexpr std::size_t kCodeSpace = 1 << 16;

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  if (text.empty() || text == "-") return parts;
  while (true) {
    const std::size_t at = text.find(separator);
    if (at != 0) parts.emplace_back(text.substr(0, at));
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  return parts;
}

int Number(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::uint8_t Flags(std::string_view text) {
  std::uint8_t flags = 0;
  for (char c : text) {
    switch (c) {
      case 'M':
        flags |= kInBoysChars;
        break;
      case 'F':
        flags |= kInGirlsChars;
        break;
      case 'm':
        flags |= kLeansBoy;
        break;
      case 'f':
        flags |= kLeansGirl;
        break;
      case 'b':
        flags |= kDatedForBoys;
        break;
      case 'g':
        flags |= kDatedForGirls;
        break;
      case 'p':
        flags |= kFunctionChar;
        break;
      case 'k':
        flags |= kLinkChar;
        break;
      default:
        break;
    }
  }
  return flags;
}

int SeverityRank(FamousTag tag) { return tag == FamousTag::kNotorious ? 0 : 1; }

// Adds the key unless a person of a more serious tag holds it already.
void AddFamousKey(std::unordered_map<SoundKey, std::int32_t>& map, SoundKey key, std::int32_t index,
                  const std::vector<FamousPerson>& famous) {
  auto [it, added] = map.emplace(key, index);
  if (!added && SeverityRank(famous[index].tag) < SeverityRank(famous[it->second].tag)) it->second = index;
}

}  // namespace

std::uint64_t PackedText(std::string_view text) {
  if (text.empty() || text.size() > 8) return 0;
  std::uint64_t key = 0;
  for (char c : text) key = key << 8 | static_cast<unsigned char>(c);
  return key;
}

namespace {

// The key of the syllables' ids of one kind (toned or toneless): the count in
// the low four bits, then twelve bits a syllable.
bool KeyOf(std::uint16_t Syllable::* id, const Syllable* syllables, std::size_t count, SoundKey& key) {
  if (count == 0 || count > kMaxKeySyllables) return false;
  key = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (syllables[i].*id == 0) return false;
    key |= static_cast<SoundKey>(syllables[i].*id) << (4 + 12 * i);
  }
  return true;
}

}  // namespace

bool TonedKey(const Syllable* syllables, std::size_t count, SoundKey& key) {
  return KeyOf(&Syllable::toned, syllables, count, key);
}

bool TonelessKey(const Syllable* syllables, std::size_t count, SoundKey& key) {
  return KeyOf(&Syllable::toneless, syllables, count, key);
}

const CharFacts* AdviceTables::Data::FactsOf(std::string_view ch) const {
  if (!IsDoubleByteChar(ch) || charIndex.empty()) return nullptr;
  const std::int32_t index = charIndex[Code(ch)];
  return index < 0 ? nullptr : &chars[static_cast<std::size_t>(index)];
}

Syllable AdviceTables::Data::ReadingOf(std::string_view ch) const {
  if (!IsDoubleByteChar(ch) || charIndex.empty()) return {};
  const std::int32_t index = charIndex[Code(ch)];
  if (index < 0 || charSyllables[static_cast<std::size_t>(index)].empty()) return {};
  return charSyllables[static_cast<std::size_t>(index)].front();
}

Syllable AdviceTables::Data::Intern(std::string_view numbered) {
  Syllable syllable;
  if (numbered.empty()) return syllable;
  const char last = numbered.back();
  std::string_view bare = numbered;
  if (last >= '0' && last <= '5') {
    syllable.tone = last == '0' ? 5 : last - '0';
    bare.remove_suffix(1);
  }
  std::string toned = std::string(bare) + static_cast<char>('0' + syllable.tone);
  const auto [tonedAt, tonedNew] = tonedIds.emplace(toned, static_cast<std::uint16_t>(tonedTexts.size()));
  if (tonedNew) tonedTexts.push_back(toned);
  syllable.toned = tonedAt->second;
  const auto [bareAt, bareNew] =
      tonelessIds.emplace(std::string(bare), static_cast<std::uint16_t>(tonelessTexts.size()));
  if (bareNew) tonelessTexts.emplace_back(bare);
  syllable.toneless = bareAt->second;
  return syllable;
}

std::vector<Syllable> AdviceTables::Data::ReadName(const std::vector<std::string>& chars, int surnameLength) const {
  std::vector<Syllable> syllables;
  syllables.reserve(chars.size());
  std::size_t start = 0;
  if (surnameLength >= 1 && static_cast<std::size_t>(surnameLength) <= chars.size()) {
    std::string surname;
    for (int i = 0; i < surnameLength; ++i) surname += chars[static_cast<std::size_t>(i)];
    const auto found = surnameReadings.find(surname);
    if (found != surnameReadings.end() && found->second.size() == static_cast<std::size_t>(surnameLength)) {
      syllables = found->second;
      start = static_cast<std::size_t>(surnameLength);
    }
  }
  for (std::size_t i = start; i < chars.size(); ++i) syllables.push_back(ReadingOf(chars[i]));
  return syllables;
}

std::vector<SoundKey> AdviceTables::Data::NeutralVariantKeys(const Syllable* syllables, std::size_t count) const {
  std::vector<SoundKey> keys;
  if (count == 0 || count > kMaxKeySyllables) return keys;
  std::array<Syllable, kMaxKeySyllables> variant{};
  for (unsigned mask = 0; mask < (1u << count); ++mask) {
    bool known = true;
    for (std::size_t i = 0; i < count; ++i) {
      variant[i] = syllables[i];
      if ((mask >> i & 1u) == 0) continue;
      // Read neutral: a syllable no word has in the neutral tone gives no key.
      const std::uint16_t toned = syllables[i].toned;
      known = known && syllables[i].tone != 5 && toned < neutralOf.size() && neutralOf[toned] != 0;
      if (known) variant[i].toned = neutralOf[toned];
    }
    SoundKey key = 0;
    if (known && TonedKey(variant.data(), count, key)) keys.push_back(key);
  }
  return keys;
}

AdviceTables::AdviceTables() : data_(std::make_unique<Data>()) {}
AdviceTables::~AdviceTables() = default;
AdviceTables::AdviceTables(AdviceTables&&) noexcept = default;
AdviceTables& AdviceTables::operator=(AdviceTables&&) noexcept = default;

namespace {

// 字 level readings boys girls flags gloss words boysAt girlsAt meaning
CharFacts ReadCharFacts(const std::vector<std::string_view>& row) {
  CharFacts facts;
  facts.ch = std::string(row[0]);
  facts.level = Number(row[1]);
  const std::size_t semicolon = row[2].find(';');
  facts.readings = Split(row[2].substr(0, semicolon), ',');
  if (semicolon != std::string_view::npos) facts.rareReadings = Split(row[2].substr(semicolon + 1), ',');
  facts.boys = Number(row[3]);
  facts.girls = Number(row[4]);
  facts.flags = Flags(row[5]);
  facts.gloss = row[6] == "-" ? std::string() : std::string(row[6]);
  facts.words = Split(row[7], ' ');
  if (row.size() >= 11 && row[10] != "-") facts.meaning = std::string(row[10]);
  if (row.size() >= 10) {
    const std::vector<std::string> boysAt = Split(row[8], ',');
    const std::vector<std::string> girlsAt = Split(row[9], ',');
    if (boysAt.size() == 2 && girlsAt.size() == 2) {
      facts.boysFirst = Number(boysAt[0]);
      facts.boysLast = Number(boysAt[1]);
      facts.girlsFirst = Number(girlsAt[0]);
      facts.girlsLast = Number(girlsAt[1]);
    }
  }
  return facts;
}

void LoadChars(AdviceTables::Data& d, std::string_view text, NameReadings& nameReadings) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 8 || !IsDoubleByteChar(row[0]) || d.charIndex[AdviceTables::Data::Code(row[0])] >= 0) continue;
    CharFacts facts = ReadCharFacts(row);
    std::vector<Syllable> syllables;
    for (const std::string& reading : facts.readings) syllables.push_back(d.Intern(reading));
    std::string marked;
    for (std::size_t i = 0; facts.readings.size() > 1 && i < facts.readings.size(); ++i) {
      // Lower-case pinyin with tone marks is GBK too.
      bool exact = false;
      const std::string gbk = PinyinWithToneMarksGbk(facts.readings[i], &exact);
      marked += (i ? "\xA1\xA2" : "") + (exact ? gbk : facts.readings[i]);  // 、
    }
    d.markedReadings.push_back(std::move(marked));
    if (!syllables.empty()) nameReadings.AddUsual(row[0], d.tonedTexts[syllables.front().toned]);
    d.charIndex[AdviceTables::Data::Code(row[0])] = static_cast<std::int32_t>(d.chars.size());
    d.chars.push_back(std::move(facts));
    d.charSyllables.push_back(std::move(syllables));
  }
}

// surname  pinyin
void LoadSurnames(AdviceTables::Data& d, std::string_view text, NameReadings& nameReadings) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 2) continue;
    const std::string surname(row[0]);
    const std::vector<std::string> readings = Split(row[1], ' ');
    if (DoubleByteChars(surname).size() != readings.size()) continue;
    std::vector<Syllable> syllables;
    std::vector<std::string> texts;
    for (const std::string& reading : readings) {
      syllables.push_back(d.Intern(reading));
      texts.push_back(d.tonedTexts[syllables.back().toned]);
    }
    if (readings.size() == 2) d.compoundSurnames.insert(surname);
    if (d.surnameReadings.emplace(surname, std::move(syllables)).second) {
      nameReadings.AddSurname(surname, std::move(texts));
    }
  }
}

// word  pinyin  category  [severity]
void LoadUnfortunate(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 2) continue;
    const std::vector<std::string> readings = Split(row[1], ' ');
    if (readings.empty() || readings.size() > kMaxKeySyllables) continue;
    std::vector<Syllable> syllables;
    for (const std::string& reading : readings) syllables.push_back(d.Intern(reading));
    const auto index = static_cast<std::int32_t>(d.unfortunate.size());
    d.unfortunate.push_back({std::string(row[0]), row.size() > 2 ? std::string(row[2]) : std::string(),
                             row.size() > 3 && row[3] == "mild" ? Severity::kMild : Severity::kSerious, syllables});
    SoundKey key = 0;
    if (TonelessKey(syllables.data(), syllables.size(), key)) d.unfortunateToneless.emplace(key, index);
    // A neutral syllable of the word matches a name's syllable of any tone
    // (NeutralVariantKeys, when a name is read).
    if (TonedKey(syllables.data(), syllables.size(), key)) d.unfortunateToned.emplace(key, index);
  }
}

FamousTag TagOf(std::string_view tag) {
  if (tag == "notorious") return FamousTag::kNotorious;
  if (tag == "fictional") return FamousTag::kFictional;
  if (tag == "historical") return FamousTag::kHistorical;
  return FamousTag::kCelebrity;
}

// name  tag  note
void LoadFamous(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 2) continue;
    FamousPerson person;
    person.name = std::string(row[0]);
    person.tag = TagOf(row[1]);
    person.note = row.size() > 2 ? std::string(row[2]) : std::string();
    person.start = row.size() > 3 && row[3] == "start";
    person.begin = person.start || (row.size() > 3 && row[3] == "begin");
    const auto index = static_cast<std::int32_t>(d.famous.size());
    if (!d.famousByName.emplace(person.name, index).second) continue;
    d.famous.push_back(std::move(person));
  }
}

// The sounds of the famous names, read as names (their surnames' readings
// are known once every table is in).
void KeyFamousSounds(AdviceTables::Data& d) {
  for (std::size_t i = 0; i < d.famous.size(); ++i) {
    const std::vector<std::string> chars = DoubleByteChars(d.famous[i].name);
    const std::vector<Syllable> syllables = d.ReadName(chars, d.SurnameLength(chars));
    SoundKey key = 0;
    if (TonedKey(syllables.data(), syllables.size(), key)) {
      AddFamousKey(d.famousToned, key, static_cast<std::int32_t>(i), d.famous);
      if (d.famous[i].start) AddFamousKey(d.famousStartToned, key, static_cast<std::int32_t>(i), d.famous);
    }
    if (TonelessKey(syllables.data(), syllables.size(), key))
      AddFamousKey(d.famousToneless, key, static_cast<std::int32_t>(i), d.famous);
  }
}

// phrase  pinyin  surnames  severity
void LoadSurnamePhrases(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 4) continue;
    const std::vector<std::string> readings = Split(row[1], ' ');
    if (readings.size() < 2 || readings.size() > kMaxKeySyllables) continue;
    if (DoubleByteChars(row[0]).size() != readings.size() || DoubleByteChars(row[2]).empty()) continue;
    std::vector<Syllable> syllables;
    for (const std::string& reading : readings) syllables.push_back(d.Intern(reading));
    const auto index = static_cast<std::int32_t>(d.surnamePhrases.size());
    d.surnamePhrases.push_back({std::string(row[0]), std::string(row[2]),
                                row[3] == "mild" ? Severity::kMild : Severity::kSerious, row[3] == "good", syllables,
                                row[3] == "grave"});
    SoundKey key = 0;
    if (TonelessKey(syllables.data(), syllables.size(), key)) d.surnamePhraseToneless[key].push_back(index);
    if (TonedKey(syllables.data(), syllables.size(), key)) d.surnamePhraseToned[key].push_back(index);
  }
}

// 字  radical
void LoadShapes(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 2 || !IsDoubleByteChar(row[0])) continue;
    if (d.shapeRadical.empty()) d.shapeRadical.assign(kCodeSpace, 0);
    const int radical = Number(row[1]);
    if (radical > 0 && radical < 256)
      d.shapeRadical[AdviceTables::Data::Code(row[0])] = static_cast<std::uint8_t>(radical);
  }
}

// The celebrities of a one-character surname and two given characters, by
// their other characters: a name one given character off theirs finds them.
void KeyCelebrities(AdviceTables::Data& d) {
  for (std::size_t i = 0; i < d.famous.size(); ++i) {
    if (d.famous[i].tag != FamousTag::kCelebrity) continue;
    const std::vector<std::string> chars = DoubleByteChars(d.famous[i].name);
    if (chars.size() != 3 || d.SurnameLength(chars) != 1) continue;
    d.celebrityByOthers[chars[0] + "**" + chars[2]].push_back(static_cast<std::int32_t>(i));
    d.celebrityByOthers[chars[0] + chars[1] + "**"].push_back(static_cast<std::int32_t>(i));
  }
}

// 字  severity  reason
void LoadUnsuitable(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 3 || !IsDoubleByteChar(row[0])) continue;
    d.unsuitableIndex[AdviceTables::Data::Code(row[0])] = static_cast<std::int16_t>(d.unsuitable.size());
    d.unsuitable.push_back({row[1] == "serious" ? Severity::kSerious : Severity::kMild, std::string(row[2])});
  }
}

// The first column of each row, packed (a longer text is left out).
void LoadPacked(std::unordered_set<std::uint64_t>& set, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (PackedText(row[0])) set.insert(PackedText(row[0]));
  }
}

// word  meaning
void LoadWordMeanings(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 2 || row[1].empty() || DoubleByteChars(row[0]).size() != 2 || row[0].size() != 4) continue;
    d.wordMeanings.emplace(PackedText(row[0]), std::string(row[1]));
  }
}

// Each syllable's neutral form, for NeutralVariantKeys.
void LinkNeutralSyllables(AdviceTables::Data& d) {
  d.neutralOf.assign(d.tonedTexts.size(), 0);
  for (std::size_t id = 1; id < d.tonedTexts.size(); ++id) {
    const std::string& toned = d.tonedTexts[id];
    const auto neutral = d.tonedIds.find(toned.substr(0, toned.size() - 1) + '5');
    if (neutral != d.tonedIds.end()) d.neutralOf[id] = neutral->second;
  }
}

// 字  readings  shortlisting readings  appeal: for the characters of the
// character table.
void LoadAppeal(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 4 || !IsDoubleByteChar(row[0])) continue;
    const std::int32_t index = d.charIndex[AdviceTables::Data::Code(row[0])];
    const int appeal = Number(row[3]);  // 0: not a number, and never an appeal the table writes
    if (index >= 0 && appeal > 0) d.chars[static_cast<std::size_t>(index)].appeal = appeal;
  }
}

}  // namespace

AdviceTables AdviceTables::FromTexts(const Texts& texts) {
  AdviceTables tables;
  Data& d = *tables.data_;
  d.charIndex.assign(kCodeSpace, -1);
  d.unsuitableIndex.assign(kCodeSpace, -1);
  auto nameReadings = std::make_shared<NameReadings>();
  LoadChars(d, texts.chars, *nameReadings);
  LoadAppeal(d, texts.appeal);
  LoadSurnames(d, texts.surnames, *nameReadings);
  d.namePinyin = NamePinyin(std::move(nameReadings));
  LoadUnfortunate(d, texts.unfortunate);
  LoadFamous(d, texts.famous);
  KeyFamousSounds(d);
  LoadSurnamePhrases(d, texts.surnameWords);
  LoadShapes(d, texts.shapes);
  KeyCelebrities(d);
  LoadUnsuitable(d, texts.unsuitable);
  LoadPacked(d.everydayWords, texts.words);
  LoadWordMeanings(d, texts.wordMeanings);
  LoadPacked(d.boyGivenNames, texts.boyNames);
  LoadPacked(d.girlGivenNames, texts.girlNames);
  LoadBank(d, texts);
  LoadWishTables(d, texts);
  LinkNeutralSyllables(d);
  return tables;
}

int AdviceTables::Data::SurnameLength(const std::vector<std::string>& chars) const {
  return chars.size() >= 3 && compoundSurnames.count(chars[0] + chars[1]) ? 2 : 1;
}

int AdviceTables::SurnameLength(std::string_view fullName) const {
  return data_->SurnameLength(DoubleByteChars(fullName));
}

int SurnameLength(const AdviceTables* tables, std::string_view fullName) {
  return tables ? tables->SurnameLength(fullName) : 1;
}

std::string AdviceTables::GivenName(std::string_view fullName) const {
  return tavrin::GivenName(fullName, SurnameLength(fullName));
}

const NamePinyin& AdviceTables::Pinyin() const { return data_->namePinyin; }

const CharFacts* AdviceTables::Facts(std::string_view ch) const { return data_->FactsOf(ch); }

const std::string* AdviceTables::WordMeaning(std::string_view word) const {
  if (word.size() != 4) return nullptr;
  const auto found = data_->wordMeanings.find(PackedText(word));
  return found == data_->wordMeanings.end() ? nullptr : &found->second;
}

bool AdviceTables::ListedName(std::string_view given) const {
  const std::uint64_t key = PackedText(given);
  return key != 0 && (data_->boyGivenNames.count(key) || data_->girlGivenNames.count(key));
}

bool AdviceTables::EverydayWord(std::string_view given) const {
  const std::uint64_t key = PackedText(given);
  return key != 0 && data_->everydayWords.count(key);
}

const std::string& MeaningOrGloss(const CharFacts& facts) {
  return facts.meaning.empty() ? facts.gloss : facts.meaning;
}

std::size_t AdviceTables::CharCount() const { return data_->chars.size(); }
std::size_t AdviceTables::UnfortunateCount() const { return data_->unfortunate.size(); }
std::size_t AdviceTables::FamousCount() const { return data_->famous.size(); }
std::size_t AdviceTables::WordMeaningCount() const { return data_->wordMeanings.size(); }
std::size_t AdviceTables::SurnameWordCount() const { return data_->surnamePhrases.size(); }

}  // namespace tavrin::advice
