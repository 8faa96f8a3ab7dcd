// The advice on one name: the reading runs the warnings, then the 推荐度.
#include "advice/advice.h"

#include <algorithm>

#include "advice/adviser.h"

namespace tavrin::advice {

namespace detail {

Advice Adviser::Run() {
  Pinyin();
  for (std::size_t i = surname_; i < chars_.size(); ++i) advice_.given.push_back({chars_[i], d_.FactsOf(chars_[i])});
  if (advice_.given.empty()) return std::move(advice_);
  if (advice_.given.size() == 2) {
    const auto found = d_.wordMeanings.find(PackedText(advice_.given[0].ch + advice_.given[1].ch));
    if (found != d_.wordMeanings.end()) advice_.pairMeaning = found->second;
  }
  Homophones();
  Famous();
  for (const GivenChar& given : advice_.given) CharWarnings(given);
  Readings();
  std::stable_sort(advice_.warnings.begin(), advice_.warnings.end(),
                   [](const Warning& a, const Warning& b) { return a.severity < b.severity; });
  Recommend();
  return std::move(advice_);
}

}  // namespace detail

const char* KindKey(WarningKind kind) {
  switch (kind) {
    case WarningKind::kHomophone:
      return "homophone";
    case WarningKind::kFamous:
      return "famous";
    case WarningKind::kRare:
      return "rare";
    case WarningKind::kUnsuitable:
      return "unsuitable";
    case WarningKind::kSex:
      return "sex";
    case WarningKind::kReading:
      return "reading";
  }
  return "";
}

const char* SeverityKey(Severity severity) { return severity == Severity::kSerious ? "serious" : "mild"; }

bool Advice::HasSerious() const {
  return std::any_of(warnings.begin(), warnings.end(),
                     [](const Warning& w) { return w.severity == Severity::kSerious; });
}

Advice AdviceTables::Advise(std::string_view fullName, int surnameLength, Sex sex,
                            const ClassicalSource* source) const {
  return detail::Adviser(*data_, fullName, surnameLength, sex, source).Run();
}

}  // namespace tavrin::advice
