// Three-character names: the surname and two characters, in the pane 三字名
//. With "限定第2个字为:" or "限定第3个字为:" checked the generator runs
// in the constrained mode and takes the checked fields' texts as the fixed
// characters; otherwise both characters are drawn from the active name list.
#include "chars/strcon.h"
#include "core/naming_model.h"
#include "generators/generators.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kConstrainedDrawLimit = 10000;
constexpr long long kFreeDrawLimit = 1000000;

}  // namespace

void GenerateThreeCharNames(NamingModel& model) {
  const NamingSession& session = model.Session();
  const NamingInputs& inputs = model.Inputs();
  const std::string& surname = session.surname;
  const LineList& names = session.activeNameList;

  const bool constrained = inputs.FixSecondChecked() || inputs.FixThirdChecked();
  const long long limit = constrained ? kConstrainedDrawLimit : kFreeDrawLimit;
  GeneratorPane output(model, Origin::kThreeChar, GeneratorPane::LineLimit::kBytes, session.chart.birthElements);
  RunDrawLoop(model, output, {.maxAttempts = limit + 1, .completion = "三字名字分析完成"}, [&] {
    const std::uint64_t k1 = model.Random().Below(names.size());
    const std::uint64_t k2 = model.Random().Below(names.size());
    std::string second;
    std::string third;
    if (constrained) {
      if (inputs.FixSecondChecked()) second = inputs.FixSecondText();
      if (inputs.FixThirdChecked()) third = inputs.FixThirdText();
      if ((second.empty() || third.empty()) && names.empty()) return true;  // the draw indexes nothing
      if (second.empty()) second = names[k1];
      if (third.empty()) third = names[k2];
      if (!model.SoundsApart(second, third)) return true;
    } else {
      if (names.empty()) return true;
      second = names[k1];
      third = names[k2];
      if (!IsChineseText(second) || !model.SurnameSoundsApart(surname, second) || !model.SoundsApart(second, third)) {
        return true;
      }
    }
    output.Offer(surname, second + third);
    return true;
  });
}

}  // namespace tavrin
