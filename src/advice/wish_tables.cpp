// The tables the family's wishes are read with: the themes of meaning and
// each character's radical as it is written in it.
#include <algorithm>

#include "advice/advice_data.h"
#include "chars/gbk.h"

namespace tavrin::advice {

namespace {

constexpr std::size_t kCodeSpace = 1 << 16;

// "01\t聪慧\t慧睿…\t睿哲 明哲 …": the order, the name, the characters, the
// words. The file is sorted by the order.
void LoadThemes(AdviceTables::Data& d, std::string_view text) {
  for (const auto& row : Rows(text)) {
    if (row.size() < 4 || row[1].empty()) continue;
    Theme theme;
    theme.name = std::string(row[1]);
    for (const std::string& ch : DoubleByteChars(row[2])) theme.chars += ch;
    std::string_view words = row[3];
    while (!words.empty()) {
      const std::size_t blank = words.find(' ');
      const std::string_view word = words.substr(0, blank);
      if (word.size() == 4 && IsDoubleByteChar(word.substr(0, 2)) && IsDoubleByteChar(word.substr(2))) {
        theme.words.emplace_back(word);
      }
      words = blank == std::string_view::npos ? std::string_view() : words.substr(blank + 1);
    }
    d.themes.push_back(std::move(theme));
  }
}

void LoadRadicals(AdviceTables::Data& d, std::string_view text) {
  std::vector<std::uint8_t> formOfCode;  // by the GBK code of a form: its index, 0 for none yet
  for (const auto& row : Rows(text)) {
    if (row.size() < 2 || !IsDoubleByteChar(row[0]) || !IsDoubleByteChar(row[1])) continue;
    if (d.radicalIndex.empty()) {
      d.radicalIndex.assign(kCodeSpace, 0);
      formOfCode.assign(kCodeSpace, 0);
    }
    std::uint8_t& form = formOfCode[AdviceTables::Data::Code(row[1])];
    if (form == 0) {
      if (d.radicalForms.size() > 255) continue;  // more forms than there are radicals: a broken table
      form = static_cast<std::uint8_t>(d.radicalForms.size());
      d.radicalForms.emplace_back(row[1]);
    }
    d.radicalIndex[AdviceTables::Data::Code(row[0])] = form;
  }
}

bool HoldsChar(std::string_view chars, std::string_view ch) {
  for (std::size_t i = 0; i + 1 < chars.size(); i += 2) {
    if (chars.compare(i, 2, ch) == 0) return true;
  }
  return false;
}

}  // namespace

bool Theme::HasChar(std::string_view ch) const { return ch.size() == 2 && HoldsChar(chars, ch); }

bool Theme::HasWord(std::string_view word) const { return std::find(words.begin(), words.end(), word) != words.end(); }

void LoadWishTables(AdviceTables::Data& d, const AdviceTables::Texts& texts) {
  LoadThemes(d, texts.themes);
  LoadRadicals(d, texts.radicals);
}

const std::vector<Theme>& AdviceTables::Themes() const { return data_->themes; }

std::size_t AdviceTables::ThemeCount() const { return data_->themes.size(); }

const Theme* AdviceTables::ThemeNamed(std::string_view name) const {
  for (const Theme& theme : data_->themes) {
    if (theme.name == name) return &theme;
  }
  return nullptr;
}

std::string_view AdviceTables::RadicalOf(std::string_view ch) const {
  if (data_->radicalIndex.empty() || !IsDoubleByteChar(ch)) return {};
  return data_->radicalForms[data_->radicalIndex[Data::Code(ch)]];
}

}  // namespace tavrin::advice
