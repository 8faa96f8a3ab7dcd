
#include <sstream>

#include "advice/advice_data.h"
#include "chars/encoding.h"
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
      case 'M': flags |= kInBoysChars; break;
      case 'F': flags |= kInGirlsChars; break;
      case 'm': flags |= kLeansBoy; break;
      case 'f': flags |= kLeansGirl; break;
      case 'b': flags |= kDatedForBoys; break;
      case 'g': flags |= kDatedForGirls; break;
      default: break;
    }
  }
  return flags;
}

bool IsDoubleByteChar(std::string_view text) {
  return text.size() == 2 && static_cast<unsigned char>(text[0]) >= 0x81;
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

std::vector<std::string> SplitChars(std::string_view text) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x81 && static_cast<unsigned char>(text[i]) != 0xFF &&
        i + 1 < text.size()) {
      chars.emplace_back(text.substr(i, 2));
      ++i;
    }
  }
  return chars;
}

bool TonedKey(const Syllable* syllables, std::size_t count, SoundKey& key) {
  if (count == 0 || count > kMaxKeySyllables) return false;
  key = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (syllables[i].toned == 0) return false;
    key |= static_cast<SoundKey>(syllables[i].toned) << (4 + 12 * i);
  }
  return true;
}

bool TonelessKey(const Syllable* syllables, std::size_t count, SoundKey& key) {
  if (count == 0 || count > kMaxKeySyllables) return false;
  key = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (syllables[i].toneless == 0) return false;
    key |= static_cast<SoundKey>(syllables[i].toneless) << (4 + 12 * i);
  }
  return true;
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

std::vector<Syllable> AdviceTables::Data::ReadName(const std::vector<std::string>& chars,
                                                   int surnameLength) const {
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

std::vector<std::vector<Syllable>> AdviceTables::Data::ToneVariants(const std::vector<Syllable>& syllables) {
  std::vector<std::vector<Syllable>> variants{{}};
  for (const Syllable& syllable : syllables) {
    std::vector<std::vector<Syllable>> next;
    for (const auto& variant : variants) {
      if (syllable.tone != 5) {
        next.push_back(variant);
        next.back().push_back(syllable);
        continue;
      }
      const std::string bare = tonelessTexts[syllable.toneless];
      for (int tone = 1; tone <= 5; ++tone) {
        next.push_back(variant);
        next.back().push_back(Intern(bare + static_cast<char>('0' + tone)));
      }
    }
    variants = std::move(next);
  }
  return variants;
}

AdviceTables::AdviceTables() : data_(std::make_unique<Data>()) {}
AdviceTables::~AdviceTables() = default;
AdviceTables::AdviceTables(AdviceTables&&) noexcept = default;
AdviceTables& AdviceTables::operator=(AdviceTables&&) noexcept = default;

AdviceTables AdviceTables::FromTexts(const Texts& texts) {
  AdviceTables tables;
  Data& d = *tables.data_;
  d.charIndex.assign(kCodeSpace, -1);
  d.unsuitableIndex.assign(kCodeSpace, -1);
  auto nameReadings = std::make_shared<NameReadings>();

  // 字 level readings boys girls flags gloss words boysAt girlsAt meaning
  for (const auto& row : Rows(texts.chars)) {
    if (row.size() < 8 || !IsDoubleByteChar(row[0]) || d.charIndex[Data::Code(row[0])] >= 0) continue;
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
    std::vector<Syllable> syllables;
    for (const std::string& reading : facts.readings) syllables.push_back(d.Intern(reading));
    std::string marked;
    for (std::size_t i = 0; facts.readings.size() > 1 && i < facts.readings.size(); ++i) {
      // Lower-case pinyin with tone marks is GBK too.
      const auto gbk = Utf8ToGbk(PinyinWithToneMarks(facts.readings[i]));
      marked += (i ? "\xA1\xA2" : "") + gbk.value_or(facts.readings[i]);  // 、
    }
    d.markedReadings.push_back(std::move(marked));
    if (!syllables.empty()) nameReadings->AddUsual(row[0], d.tonedTexts[syllables.front().toned]);
    d.charIndex[Data::Code(row[0])] = static_cast<std::int32_t>(d.chars.size());
    d.chars.push_back(std::move(facts));
    d.charSyllables.push_back(std::move(syllables));
  }

  // surname  pinyin
  for (const auto& row : Rows(texts.surnames)) {
    if (row.size() < 2) continue;
    const std::string surname(row[0]);
    const std::vector<std::string> readings = Split(row[1], ' ');
    if (SplitChars(surname).size() != readings.size()) continue;
    std::vector<Syllable> syllables;
    std::vector<std::string> texts;
    for (const std::string& reading : readings) {
      syllables.push_back(d.Intern(reading));
      texts.push_back(d.tonedTexts[syllables.back().toned]);
    }
    if (readings.size() == 2) d.compoundSurnames.insert(surname);
    if (d.surnameReadings.emplace(surname, std::move(syllables)).second) {
      nameReadings->AddSurname(surname, std::move(texts));
    }
  }
  d.namePinyin = NamePinyin(std::move(nameReadings));

  // word  pinyin  category  [severity]
  for (const auto& row : Rows(texts.unfortunate)) {
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
    // A neutral syllable of the word matches a name's syllable of any tone.
    for (const auto& variant : d.ToneVariants(syllables)) {
      if (TonedKey(variant.data(), variant.size(), key)) d.unfortunateToned.emplace(key, index);
    }
  }

  // name  tag  note
  for (const auto& row : Rows(texts.famous)) {
    if (row.size() < 2) continue;
    FamousPerson person;
    person.name = std::string(row[0]);
    if (row[1] == "notorious") {
      person.tag = FamousTag::kNotorious;
    } else if (row[1] == "fictional") {
      person.tag = FamousTag::kFictional;
    } else if (row[1] == "historical") {
      person.tag = FamousTag::kHistorical;
    } else {
      person.tag = FamousTag::kCelebrity;
    }
    person.note = row.size() > 2 ? std::string(row[2]) : std::string();
    person.start = row.size() > 3 && row[3] == "start";
    person.begin = person.start || (row.size() > 3 && row[3] == "begin");
    const auto index = static_cast<std::int32_t>(d.famous.size());
    if (!d.famousByName.emplace(person.name, index).second) continue;
    d.famous.push_back(std::move(person));
  }
  // The sounds of the famous names, read as names (their surnames' readings
  // are known once every table is in).
  for (std::size_t i = 0; i < d.famous.size(); ++i) {
    const std::vector<std::string> chars = SplitChars(d.famous[i].name);
    const int surnameLength =
        chars.size() >= 3 && d.compoundSurnames.count(chars[0] + chars[1]) ? 2 : 1;
    const std::vector<Syllable> syllables = d.ReadName(chars, surnameLength);
    SoundKey key = 0;
    if (TonedKey(syllables.data(), syllables.size(), key)) {
      AddFamousKey(d.famousToned, key, static_cast<std::int32_t>(i), d.famous);
      if (d.famous[i].start) AddFamousKey(d.famousStartToned, key, static_cast<std::int32_t>(i), d.famous);
    }
    if (TonelessKey(syllables.data(), syllables.size(), key))
      AddFamousKey(d.famousToneless, key, static_cast<std::int32_t>(i), d.famous);
  }

  // phrase  pinyin  surnames  severity
  for (const auto& row : Rows(texts.surnameWords)) {
    if (row.size() < 4) continue;
    const std::vector<std::string> readings = Split(row[1], ' ');
    if (readings.size() < 2 || readings.size() > kMaxKeySyllables) continue;
    if (SplitChars(row[0]).size() != readings.size() || SplitChars(row[2]).empty()) continue;
    std::vector<Syllable> syllables;
    for (const std::string& reading : readings) syllables.push_back(d.Intern(reading));
    const auto index = static_cast<std::int32_t>(d.surnamePhrases.size());
    d.surnamePhrases.push_back({std::string(row[0]), std::string(row[2]),
                                row[3] == "mild" ? Severity::kMild : Severity::kSerious, row[3] == "good", syllables});
    SoundKey key = 0;
    if (TonelessKey(syllables.data(), syllables.size(), key)) d.surnamePhraseToneless[key].push_back(index);
    for (const auto& variant : d.ToneVariants(syllables)) {
      if (TonedKey(variant.data(), variant.size(), key)) d.surnamePhraseToned[key].push_back(index);
    }
  }

  // 字  radical
  for (const auto& row : Rows(texts.shapes)) {
    if (row.size() < 2 || !IsDoubleByteChar(row[0])) continue;
    if (d.shapeRadical.empty()) d.shapeRadical.assign(kCodeSpace, 0);
    const int radical = Number(row[1]);
    if (radical > 0 && radical < 256) d.shapeRadical[Data::Code(row[0])] = static_cast<std::uint8_t>(radical);
  }
  // The celebrities of a one-character surname and two given characters, by
  // their other characters: a name one given character off theirs finds them.
  for (std::size_t i = 0; i < d.famous.size(); ++i) {
    if (d.famous[i].tag != FamousTag::kCelebrity) continue;
    const std::vector<std::string> chars = SplitChars(d.famous[i].name);
    if (chars.size() != 3 || d.compoundSurnames.count(chars[0] + chars[1])) continue;
    d.celebrityByOthers[chars[0] + "**" + chars[2]].push_back(static_cast<std::int32_t>(i));
    d.celebrityByOthers[chars[0] + chars[1] + "**"].push_back(static_cast<std::int32_t>(i));
  }

  // 字  severity  reason
  for (const auto& row : Rows(texts.unsuitable)) {
    if (row.size() < 3 || !IsDoubleByteChar(row[0])) continue;
    d.unsuitableIndex[Data::Code(row[0])] = static_cast<std::int16_t>(d.unsuitable.size());
    d.unsuitable.push_back({row[1] == "serious" ? Severity::kSerious : Severity::kMild, std::string(row[2])});
  }

  // word  count
  for (const auto& row : Rows(texts.words)) {
    if (PackedText(row[0])) d.everydayWords.insert(PackedText(row[0]));
  }
  // word  meaning
  for (const auto& row : Rows(texts.wordMeanings)) {
    if (row.size() < 2 || row[1].empty() || SplitChars(row[0]).size() != 2 || row[0].size() != 4) continue;
    d.wordMeanings.emplace(PackedText(row[0]), std::string(row[1]));
  }
  for (const auto& row : Rows(texts.boyNames)) {
    if (PackedText(row[0])) d.boyGivenNames.insert(PackedText(row[0]));
  }
  for (const auto& row : Rows(texts.girlNames)) {
    if (PackedText(row[0])) d.girlGivenNames.insert(PackedText(row[0]));
  }
  LoadBank(d, texts);
  return tables;
}

int AdviceTables::SurnameLength(std::string_view fullName) const {
  const std::vector<std::string> chars = SplitChars(fullName);
  return chars.size() >= 3 && data_->compoundSurnames.count(chars[0] + chars[1]) ? 2 : 1;
}

const NamePinyin& AdviceTables::Pinyin() const { return data_->namePinyin; }

const CharFacts* AdviceTables::Facts(std::string_view ch) const { return data_->FactsOf(ch); }

const std::string* AdviceTables::WordMeaning(std::string_view word) const {
  if (word.size() != 4) return nullptr;
  const auto found = data_->wordMeanings.find(PackedText(word));
  return found == data_->wordMeanings.end() ? nullptr : &found->second;
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
