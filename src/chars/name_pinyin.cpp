#include "chars/name_pinyin.h"

#include "chars/gbk.h"
#include "chars/pinyin.h"
#include "chars/tone_marks.h"

namespace tavrin {

namespace {

constexpr std::size_t kCodeSpace = 1 << 16;

std::uint16_t Code(std::string_view ch) {
  return GbkCode(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]));
}

}  // namespace

NameReadings::NameReadings() : usualIndex_(kCodeSpace, 0), usual_(1) {}

void NameReadings::AddUsual(std::string_view ch, std::string_view numbered) {
  if (!IsDoubleByteChar(ch) || numbered.empty() || usualIndex_[Code(ch)] != 0) return;
  if (usual_.size() > UINT16_MAX) return;
  usualIndex_[Code(ch)] = static_cast<std::uint16_t>(usual_.size());
  usual_.emplace_back(numbered);
}

void NameReadings::AddSurname(std::string_view surname, std::vector<std::string> numbered) {
  if (numbered.empty() || DoubleByteChars(surname).size() != numbered.size()) return;
  surnames_.emplace(std::string(surname), std::move(numbered));
}

const std::string* NameReadings::Usual(std::string_view ch) const {
  if (!IsDoubleByteChar(ch)) return nullptr;
  const std::uint16_t index = usualIndex_[Code(ch)];
  return index == 0 ? nullptr : &usual_[index];
}

const std::vector<std::string>* NameReadings::Surname(std::string_view surname) const {
  const auto found = surnames_.find(std::string(surname));
  return found == surnames_.end() ? nullptr : &found->second;
}

NamePinyin::NamePinyin() : readings_(std::make_shared<const NameReadings>()) {}

NamePinyin::NamePinyin(std::shared_ptr<const NameReadings> readings, const PinyinService* fallback)
    : readings_(readings ? std::move(readings) : std::make_shared<const NameReadings>()), fallback_(fallback) {}

std::string NamePinyin::ReadingOf(const std::string& ch) const {
  if (const std::string* usual = readings_->Usual(ch)) return *usual;
  // The pinyin index gives the character itself when it has no reading.
  return fallback_ ? AsciiLower(fallback_->PinyinOf(ch)) : ch;
}

std::vector<std::string> NamePinyin::Syllables(std::string_view fullName, int surnameLength) const {
  const std::vector<std::string> chars = DoubleByteChars(fullName);
  std::vector<std::string> syllables;
  syllables.reserve(chars.size());
  std::size_t start = 0;
  if (surnameLength >= 1 && static_cast<std::size_t>(surnameLength) <= chars.size()) {
    std::string surname;
    for (int i = 0; i < surnameLength; ++i) surname += chars[static_cast<std::size_t>(i)];
    if (const std::vector<std::string>* own = readings_->Surname(surname)) {
      syllables = *own;
      start = static_cast<std::size_t>(surnameLength);
    }
  }
  for (std::size_t i = start; i < chars.size(); ++i) syllables.push_back(ReadingOf(chars[i]));
  return syllables;
}

std::string NamePinyin::Numbered(std::string_view fullName, int surnameLength) const {
  const std::vector<std::string> syllables = Syllables(fullName, surnameLength);
  std::string text;
  for (std::size_t i = 0; i < syllables.size(); ++i) text += (i ? " " : "") + syllables[i];
  return text;
}

std::string NamePinyin::Marked(std::string_view fullName, int surnameLength) const {
  return PinyinWithToneMarks(Numbered(fullName, surnameLength));
}

}  // namespace tavrin
