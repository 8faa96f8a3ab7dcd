// The name bank: the given names the program proposes itself, from the
// team's list (curated_names.dat) and from the classical library
// (classical_names.dat), and the words that make a line unfit as a name's
// source (line_negative.dat).
#include <algorithm>

#include "advice/advice_data.h"
#include "chars/gbk.h"

namespace tavrin::advice {

namespace {

// A given name of the bank: one or two Chinese characters.
bool IsBankGiven(std::string_view given) {
  if (given.size() != 2 && given.size() != 4) return false;
  for (std::size_t i = 0; i < given.size(); i += 2) {
    if (!IsHanzi(given.substr(i, 2))) return false;
  }
  return true;
}

// True when the given name's characters stand side by side in the line,
// within one of its beats (风流|云散 gives no 流云).
bool Adjacent(std::string_view line, std::string_view given) {
  for (std::size_t at = FindAligned(line, given); at != std::string_view::npos; at = FindAligned(line, given, at + 2)) {
    if (WithinBeat(static_cast<int>(CharCount(line)), static_cast<int>(CharCount(line.substr(0, at))) + 1)) return true;
  }
  return false;
}

BankName Entry(std::string_view given, std::string_view sex, NameOrigin origin) {
  BankName name;
  name.given = std::string(given);
  name.origin = origin;
  name.forBoys = sex != "f";
  name.forGirls = sex != "m";
  return name;
}

// The readers' count of a row, in the field after its line; 0 when absent.
int Shortlisted(const std::vector<std::string_view>& row, std::size_t field) {
  if (row.size() <= field || row[field].size() != 1) return 0;
  const char count = row[field][0];
  return count == '1' || count == '2' ? count - '0' : 0;
}

void SetSource(BankName& name, std::string_view collection, std::string_view title, std::string_view author,
               std::string_view line) {
  if (collection.empty() || line.empty()) return;
  name.source = {CollectionRank(collection), std::string(collection), std::string(title),
                 std::string(line),          std::string(author),     Adjacent(line, name.given)};
}

}  // namespace

int CollectionRank(std::string_view collection) {
  static constexpr std::pair<std::string_view, int> kRanks[] = {
      {"诗经", 0}, {"楚辞", 1},       {"论语", 2},   {"大学", 2},       {"中庸", 2},
      {"孟子", 2}, {"唐诗三百首", 3}, {"全唐诗", 3}, {"宋词三百首", 4}, {"全宋词", 4}};
  for (const auto& [name, rank] : kRanks) {
    if (collection == name) return rank;
  }
  return 5;
}

bool WithinBeat(int length, int first) {
  switch (length) {
    case 4:
      return first == 1 || first == 3;
    case 5:
      return first != 2;
    case 6:
      return first % 2 == 1;
    case 7:
      return first == 1 || first == 3 || first >= 5;
    default:
      return true;
  }
}

bool WellKnown(std::string_view collection) { return collection == "唐诗三百首" || collection == "宋词三百首"; }

void LoadBank(AdviceTables::Data& d, const AdviceTables::Texts& texts) {
  const auto add = [&d](BankName name) {
    const auto [at, added] = d.bankByGiven.emplace(name.given, static_cast<std::int32_t>(d.bank.size()));
    if (added) {
      d.bank.push_back(std::move(name));
      return;
    }
    // A curated name the library holds too keeps its meaning, and takes the
    // library's line when it has none.
    BankName& kept = d.bank[static_cast<std::size_t>(at->second)];
    if (kept.source.collectionRank < 0) kept.source = std::move(name.source);
  };
  // given  sex  meaning  collection  title  line  [shortlisted]
  for (const auto& row : Rows(texts.curatedNames)) {
    if (row.size() < 3 || !IsBankGiven(row[0])) continue;
    BankName name = Entry(row[0], row[1], NameOrigin::kCurated);
    name.meaning = std::string(row[2]);
    if (row.size() >= 6) SetSource(name, row[3], row[4], "", row[5]);
    name.shortlisted = Shortlisted(row, 6);
    add(std::move(name));
  }
  // given  sex  collection  title  author  line  [shortlisted]
  for (const auto& row : Rows(texts.classicalNames)) {
    if (row.size() < 6 || !IsBankGiven(row[0]) || !ContainsAligned(row[5], row[0])) continue;
    BankName name = Entry(row[0], row[1], NameOrigin::kClassical);
    SetSource(name, row[2], row[3], row[4], row[5]);
    name.shortlisted = Shortlisted(row, 6);
    add(std::move(name));
  }
  for (const auto& row : Rows(texts.lineNegative)) {
    if (!row[0].empty() && row[0].front() != '#') d.negativeLineWords.emplace_back(row[0]);
  }
}

const std::vector<BankName>& AdviceTables::Bank() const { return data_->bank; }

const BankName* AdviceTables::BankEntry(std::string_view given) const {
  const auto found = data_->bankByGiven.find(std::string(given));
  return found == data_->bankByGiven.end() ? nullptr : &data_->bank[static_cast<std::size_t>(found->second)];
}

bool AdviceTables::Data::NegativeLine(std::string_view line) const {
  return std::any_of(negativeLineWords.begin(), negativeLineWords.end(),
                     [line](const std::string& word) { return ContainsAligned(line, word); });
}

bool AdviceTables::NegativeLine(std::string_view line) const { return data_->NegativeLine(line); }

}  // namespace tavrin::advice
