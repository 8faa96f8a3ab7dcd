#include "core/judgement.h"

#include <algorithm>
#include <cmath>

#include "conventions/common_grids.h"
#include "core/naming_session.h"
#include "core/services.h"

namespace tavrin {

namespace {

constexpr int kBase = 60;
// Per given character of a favourable / an unfavourable element, averaged
// over the given name and scaled to two characters.
constexpr int kFavourableChar = 6;
constexpr int kUnfavourableChar = -6;
// A name that brings none of the favourable elements, over its characters'.
constexpr int kNoFit = -30;
constexpr int kBadGrid = -4;
constexpr int kBadSancai = -3;
constexpr int kVeryBadSancai = -6;

// 人格, 地格 and 总格 in the order 天 人 地 外 总 of the readings.
constexpr std::size_t kJudgedGrids[] = {1, 2, 4};
constexpr const char* kJudgedGridNames[] = {"天格", "人格", "地格", "外格", "总格"};

}  // namespace

NameJudge::ChildLines NameJudge::Lines(const advice::Advice& own) const {
  ChildLines lines;
  if (own.given.empty()) return lines;
  if (services_ && needs_) {
    ElementLines(own, lines);
    NumerologyLines(own, lines);
  }
  if (!wishes_.Empty()) {
    std::vector<std::string> given;
    for (const advice::GivenChar& ch : own.given) given.push_back(ch.ch);
    WishReading::Verdict verdict = wishes_.Judge(given);
    lines.wishes = std::move(verdict.reasons);
    lines.wishedOut = verdict.out;
  }
  return lines;
}

advice::Advice NameJudge::Apply(advice::Advice own, const ChildLines& lines) {
  if (lines.reasons.empty() && lines.wishes.empty()) return own;
  if (!lines.reasons.empty()) own.fit = lines.fit;
  own.wishedOut = lines.wishedOut;
  own.reasons.insert(own.reasons.end(), lines.reasons.begin(), lines.reasons.end());
  own.reasons.insert(own.reasons.end(), lines.wishes.begin(), lines.wishes.end());
  int score = kBase;
  for (const advice::Reason& reason : own.reasons) score += reason.points;
  own.unclamped = score;
  own.recommend = std::clamp(score, 0, 100);
  return own;
}

void NameJudge::ElementLines(const advice::Advice& advice, ChildLines& lines) const {
  if (!needs_->reading) return;
  std::string shown;
  int favourable = 0;
  int unfavourable = 0;
  for (const advice::GivenChar& given : advice.given) {
    const std::string element = services_->elements.CharElement(given.ch);
    const std::optional<Element> e = ElementOfChar(element);
    if (!shown.empty()) shown += " ";
    shown += given.ch + "（" + element + "）";
    if (!e) continue;
    (*needs_->Favours(*e) ? favourable : unfavourable) += 1;
  }
  const int judged = favourable + unfavourable;
  if (judged == 0) return;
  lines.fit = favourable == judged ? advice::ElementFit::kAll
              : favourable > 0     ? advice::ElementFit::kSome
                                   : advice::ElementFit::kNone;
  const double perChar = 2.0 / judged;
  const int points =
      static_cast<int>(std::lround(perChar * (favourable * kFavourableChar + unfavourable * kUnfavourableChar))) +
      (favourable == 0 ? kNoFit : 0);
  const std::string liked = ElementsText(needs_->reading->favourable);
  const char* verdict = lines.fit == advice::ElementFit::kAll    ? "合喜用"
                        : lines.fit == advice::ElementFit::kSome ? "一半合喜用"
                                                                 : "不合喜用";
  lines.reasons.push_back({points, shown + "：" + verdict + "（宝宝喜" + liked + "）"});
}

void NameJudge::NumerologyLines(const advice::Advice& advice, ChildLines& lines) const {
  conventions::ConventionsInputs inputs;
  inputs.name = advice.name;
  inputs.surnameLength = advice.surnameLength;
  const auto reading = services_->ReadConventions(inputs);
  if (!reading) return;
  const LineList& table = services_->scorer.Table();
  std::string bad;
  int points = 0;
  for (const std::size_t grid : kJudgedGrids) {
    const conventions::GridLookup& lookup = reading->lookups[grid];
    std::string verdict;
    for (const std::size_t line : lookup.lines) {
      verdict = VerdictOf(table[line]);
      if (!verdict.empty()) break;
    }
    if (verdict != "凶") continue;
    if (!bad.empty()) bad += "、";
    bad += std::string(kJudgedGridNames[grid]) + std::to_string(lookup.number);
    points += kBadGrid;
  }
  if (!bad.empty()) lines.reasons.push_back({points, "通行算法：" + bad + " 凶"});
  if (!reading->hasSancai) return;
  const conventions::Verdict sancai = reading->sancai.verdict;
  if (sancai == conventions::Verdict::kMisfortune || sancai == conventions::Verdict::kGreatMisfortune) {
    lines.reasons.push_back({sancai == conventions::Verdict::kMisfortune ? kBadSancai : kVeryBadSancai,
                             "通行算法：三才" + std::string(conventions::VerdictText(sancai))});
  }
}

NameJudge JudgeForRun(const NamingSession& session, const NamingServices& services) {
  return NameJudge(services, ReadNeeds(session.chart.pillars, session.wish, session.chosenElements));
}

}  // namespace tavrin
