// Recommended names: names of the recommended list ("tj.dat"), in the pane
// 系统推荐名. With a fixed-character box checked the whole list is
// walked for names whose given-name characters match; otherwise lines are
// drawn at random and the run's surname put in front of their given names.
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
  explicit RecommendedNames(NamingModel& model)
      : model_(model),
        session_(model.Session()),
        output_(model, Origin::kRecommended, GeneratorPane::LineLimit::kChars, model.Session().chart.birthElements) {
    output_.Hidden = [this](const Candidate& candidate) {
      return !model_.Inputs().Female() && model_.GirlCharTest(candidate.fullName);
    };
  }

  void FixedCharacterMode() {
    const NamingInputs& inputs = model_.Inputs();
    const LineList& list = model_.Stores().recommendedList;
    std::string fixedSecond;
    std::string fixedThird;
    const DrawLoop loop{.maxAttempts = kFixedAttemptLimit + 1, .completion = "推荐名字分析完成", .tick = false};
    RunDrawLoop(model_, output_, loop, [&] {
      if (inputs.FixSecondChecked()) fixedSecond = inputs.FixSecondText();
      if (inputs.FixThirdChecked()) fixedThird = inputs.FixThirdText();
      bool added = false;
      for (const std::string& line : list) {
        model_.Presentation().Pump();
        if (CharCount(line) <= 2) continue;
        const std::string second = CharAt(line, 1);
        const std::string third = CharAt(line, 2);
        if ((!fixedSecond.empty() && fixedSecond == second) || (!fixedThird.empty() && fixedThird == third)) {
          added = output_.Offer(session_.surname, second + third) || added;
        }
      }
      // Every pass walks the same list in the same order: one that added
      // nothing can only be repeated by the passes after it.
      return added;
    });
  }

  void RandomMode() {
    const LineList& list = model_.Stores().recommendedList;
    const std::string& surname = session_.surname;
    RunDrawLoop(model_, output_, {.maxAttempts = kRandomAttemptLimit, .completion = "推荐分析完成"}, [&] {
      if (list.empty()) return false;  // nothing to draw from
      const std::string& line = list[model_.Random().Below(list.size())];
      if (CharCount(line) >= 4) return true;
      const std::string first = CharAt(line, 0);
      const std::string given = line.substr(first.size());
      if (first == surname) {
        output_.Offer(surname, given);
        return true;
      }
      if (given.find_first_not_of(' ') == std::string::npos) return true;
      if (!model_.SurnameSoundsApart(surname, CharAt(given, 0))) return true;
      output_.Offer(surname, given);
      return true;
    });
  }

 private:
  NamingModel& model_;
  const NamingSession& session_;
  GeneratorPane output_;
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
