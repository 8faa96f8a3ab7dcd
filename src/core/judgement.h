// A name judged for a child: the name's own advice (advice/advice.h) joined
// with what the child's chart asks of a name. One judge for every list that
// shows a 推荐度 of a name made for a baby: 精选, `generate --best`, a kept
// favourite and the family's page.
//
// The lines it adds (docs/advice.md):
//   the given characters' elements against the favourable elements the
//     child's reading names: +6 for each character of a favourable element,
//     -6 for each of an unfavourable one, averaged over a two-character
//     given name, and -4 more for a name with no favourable character (so
//     +12 for both, 0 for one of each, -16 for neither);
//   the numerology of the naming books (the common grids over 康熙
//     strokes): -4 for each of 人格, 地格 and 总格 whose number reads 凶,
//     and -3 for a 三才 of 凶, -6 of 大凶;
//   the family's wishes (core/wishes.h), also without a chart.
// No line hides a name but the wishes' avoided and kept characters; the
// 推荐度 stays within 0..100.
#pragma once

#include <optional>
#include <string>

#include "advice/advice.h"
#include "core/child.h"
#include "core/wishes.h"

namespace tavrin {

struct NamingServices;
struct NamingSession;

class NameJudge {
 public:
  // Judges nothing (the advice stays as it is) until given a child's needs.
  explicit NameJudge(const NamingServices* services = nullptr) : services_(services) {}
  NameJudge(const NamingServices& services, ChildNeeds needs) : services_(&services), needs_(std::move(needs)) {}

  const std::optional<ChildNeeds>& Needs() const { return needs_; }
  // The family's wishes weigh in from now on.
  void SetWishes(WishReading wishes) { wishes_ = std::move(wishes); }
  const WishReading& Wishes() const { return wishes_; }

  // What the child's chart says of a name: how its characters fit, and the
  // lines to add. They depend on the name alone, not on its source.
  struct ChildLines {
    advice::ElementFit fit = advice::ElementFit::kUnjudged;
    std::vector<advice::Reason> reasons;
    // How the name meets each of the family's wishes, added after them.
    std::vector<advice::Reason> wishes;
    bool wishedOut = false;  // left out by an avoided or a kept character
  };
  ChildLines Lines(const advice::Advice& own) const;
  // The advice with the lines added to its reasons, its 推荐度 made again and
  // its fit set.
  static advice::Advice Apply(advice::Advice own, const ChildLines& lines);
  advice::Advice Judge(advice::Advice own) const {
    const ChildLines lines = Lines(own);
    return Apply(std::move(own), lines);
  }

 private:
  void ElementLines(const advice::Advice& advice, ChildLines& lines) const;
  void NumerologyLines(const advice::Advice& advice, ChildLines& lines) const;

  const NamingServices* services_;
  std::optional<ChildNeeds> needs_;
  WishReading wishes_;
};

// The judge for the baby of the session's last Generate run: its chart and
// the family's wish as the run read them.
NameJudge JudgeForRun(const NamingSession& session, const NamingServices& services);

}  // namespace tavrin
