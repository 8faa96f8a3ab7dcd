// The tables the family's wishes are read with: the themes of meaning and
// each character's radical as it is written in it and its structure.
#include <algorithm>
#include <unordered_map>

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

// The radicals and the structures of the characters, "海\t氵\t左右": either
// may be empty.
void LoadRadicals(AdviceTables::Data& d, std::string_view text) {
  std::unordered_map<std::string_view, std::uint8_t> radicalAt, structureAt;  // a text's index
  const auto add = [](AdviceTables::Data::CharClass& to, std::unordered_map<std::string_view, std::uint8_t>& at,
                      std::string_view ch, std::string_view text) {
    if (!IsDoubleByteChar(text.substr(0, 2))) return;
    auto known = at.find(text);
    if (known == at.end()) {
      if (to.texts.size() > 255) return;  // more than there are radicals: a broken table
      known = at.emplace(text, static_cast<std::uint8_t>(to.texts.size())).first;
      to.texts.emplace_back(text);
    }
    if (to.index.empty()) to.index.assign(kCodeSpace, 0);
    to.index[AdviceTables::Data::Code(ch)] = known->second;
  };
  for (const auto& row : Rows(text)) {
    if (row.size() < 2 || !IsDoubleByteChar(row[0])) continue;
    add(d.radicals, radicalAt, row[0], row[1]);
    if (row.size() > 2) add(d.structures, structureAt, row[0], row[2]);
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

std::string_view AdviceTables::Data::CharClass::Of(std::string_view ch) const {
  if (index.empty() || !IsDoubleByteChar(ch)) return {};
  return texts[index[Code(ch)]];
}

std::string_view AdviceTables::RadicalOf(std::string_view ch) const { return data_->radicals.Of(ch); }

std::string_view AdviceTables::StructureOf(std::string_view ch) const { return data_->structures.Of(ch); }

}  // namespace tavrin::advice
