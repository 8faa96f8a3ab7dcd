// Recommended names: names of the recommended list ("tj.dat"), in the pane
// 系统推荐名 (Memo6). With a fixed-character box checked the whole list is
// walked for names whose given-name characters match; otherwise lines are
// drawn at random and the run's surname put in front of their given names.
// For a boy, names with a girl-name character stay out of the pane.
#include "chars/gbk.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kFixedAttemptLimit = 1600000;
constexpr long long kRandomAttemptLimit = 100000;

class RecommendedNames {
 public:
  explicit RecommendedNames(NamingModel& model) : model_(model), session_(model.session) {}

  void FixedCharacterMode() {
    const NamingInputs& inputs = model_.Inputs();
    const LineList& list = model_.Stores().recommendedList;
    std::string fixedSecond;
    std::string fixedThird;
    long long attempts = 0;
    while (true) {
      if (CountReached("推荐名字分析完成")) return;
      if (session_.stopRequested) return;
      if (attempts > kFixedAttemptLimit) return NoteDrawCap();
      model_.SetProgress(++attempts);
      if (inputs.FixSecondChecked()) fixedSecond = inputs.FixSecondText();
      if (inputs.FixThirdChecked()) fixedThird = inputs.FixThirdText();
      bool added = false;
      for (const std::string& line : list) {
        model_.Pump();
        if (CharCount(line) <= 2) continue;
        const std::string second = CharAt(line, 1);
        const std::string third = CharAt(line, 2);
        if ((!fixedSecond.empty() && fixedSecond == second) || (!fixedThird.empty() && fixedThird == third)) {
          added = Place(session_.surname + second + third) || added;
        }
      }
      // Every pass walks the same list in the same order: one that added
      // nothing can only be repeated by the passes after it.
      if (!added) return;
    }
  }

  void RandomMode() {
    const LineList& list = model_.Stores().recommendedList;
    const std::string& surname = session_.surname;
    long long attempts = 0;
    while (true) {
      if (CountReached("推荐分析完成")) return;
      model_.Tick();
      if (session_.stopRequested) return;
      if (++attempts > kRandomAttemptLimit) return NoteDrawCap();
      model_.SetProgress(attempts);
      if (list.empty()) return;  // nothing to draw from
      const std::string& line = list[model_.Random().Below(list.size())];
      if (CharCount(line) >= 4) continue;
      const std::string first = CharAt(line, 0);
      const std::string given = line.substr(first.size());
      if (first == surname) {
        Place(surname + given);
        continue;
      }
      if (given.find_first_not_of(' ') == std::string::npos) continue;
      if (!model_.SoundsApart(CharAt(given, 0), surname)) continue;
      Place(surname + given);
    }
  }

 private:
  void NoteDrawCap() { model_.NoteDrawCap("系统推荐名", model_.memo6.Rows()); }

  // At the requested count: the last line is written, then the completion line.
  bool CountReached(const char* completion) {
    if (static_cast<long long>(model_.memo6.Rows()) < model_.ReadCount()) return false;
    FlushPaneLine(paneLine_, model_.memo6);
    model_.memo1.Append(completion);
    return true;
  }

  // Hands the name over and shows what comes back; true when it was shown.
  bool Place(const std::string& name) {
    std::string result = model_.AcceptCandidate(model_.CandidateText(name));
    if (!model_.Inputs().Female() && model_.GirlCharTest(result)) result.clear();
    const bool added = AddEntry(paneLine_, result);
    if (CharCount(paneLine_) >= kPaneLineChars) FlushPaneLine(paneLine_, model_.memo6);
    return added;
  }

  NamingModel& model_;
  NamingSession& session_;
  std::string paneLine_;
};

}  // namespace

void GenerateRecommendedNames(NamingModel& model) {
  const NamingInputs& inputs = model.Inputs();
  RecommendedNames generator(model);
  if (inputs.FixSecondChecked() || inputs.FixThirdChecked()) {
    generator.FixedCharacterMode();
  } else {
    generator.RandomMode();
  }
}

}  // namespace tavrin
