#include "generators/poetry_names.h"

#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/birth_inputs.h"
#include "core/lines.h"
#include "core/naming_model.h"
#include "generators/pane_line.h"

namespace tavrin {

namespace {

constexpr long long kAttemptLimit = 1000;

}  // namespace

void GeneratePoetryNames(NamingModel& model, std::string_view scoringElements) {
  const NamingSession& session = model.Session();
  const NamingInputs& inputs = model.Inputs();
  const LineList& chars = session.poemCharList;
  // The surname of the settings page's field, as the Generate command reads it.
  const std::string surname = inputs.Surname();
  Pane& pane = model.PaneOf(Origin::kPoetry);

  pane.Clear();
  pane.Append("出生日期:" + inputs.YearText() + "年" + inputs.MonthText() + "月" + inputs.DayText() + "日");
  GeneratorPane output(model, Origin::kPoetry, GeneratorPane::LineLimit::kBytes, scoringElements);
  const DrawLoop loop{.maxAttempts = kAttemptLimit + 1, .completion = "诗歌分析完成", .completionPane = &pane};
  RunDrawLoop(model, output, loop, [&] {
    const std::uint64_t b = model.Random().Below(chars.size());
    const std::uint64_t c = model.Random().Below(chars.size());
    if (chars.empty()) return true;  // the draws index nothing
    const std::string& second = chars[b];
    const std::string& third = chars[c];
    if (!IsChineseText(second) || !model.SurnameSoundsApart(surname, second) || !model.SoundsApart(second, third)) {
      return true;
    }
    output.Offer(surname, second + third);
    return true;
  });
}

CommandResult<PoetryOutcome> StartPoetryNaming(NamingModel& model, const std::string& poemText,
                                               std::string_view scoringElements) {
  if (poemText.empty()) return {PoetryOutcome::kRefused, Refusal{InputField::kPoem, "请先选择诗歌"}};
  // The surname the names are built on, refused as the Generate command refuses it.
  if (auto refusal = CheckSurname(model.Inputs().Surname())) {
    return {PoetryOutcome::kRefused, Refusal{InputField::kSurname, *refusal}};
  }
  // Every name is scored, which needs the numerology table.
  if (auto refusal = model.Stores().MissingDataMessage({kNumerologyFile}, "无法从诗歌取名")) {
    return {PoetryOutcome::kRefused, Refusal{InputField::kDataFiles, *refusal}};
  }
  // The count is checked before the pane is cleared, so a bad one changes nothing.
  const std::string count = model.Inputs().CountText();
  if (!ParseDecimalInteger(count)) {
    return {PoetryOutcome::kRefused, Refusal{InputField::kCount, CountNotAnIntegerMessage(count)}};
  }
  LineList chars;
  for (const std::string& line : SplitLines(poemText)) {
    for (std::size_t pos = 0; pos < line.size();) {
      const std::size_t length = CharLengthAt(line, pos);
      std::string ch = line.substr(pos, length);
      // Only Chinese characters: the marks of a text (《》、…) are no name.
      if (IsHanzi(ch)) chars.push_back(std::move(ch));
      pos += length;
    }
  }
  model.StartPoemRun(std::move(chars));
  return RunToOutcome(PoetryOutcome::kCompleted, PoetryOutcome::kFailed,
                      [&] { GeneratePoetryNames(model, scoringElements); });
}

}  // namespace tavrin
