#include "generators/generate_command.h"

#include <optional>

#include "calendar/birth_pillars.h"
#include "chars/strcon.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "generators/generators.h"

namespace tavrin {

namespace {

struct CheckedInputs {
  std::string surname;
  int year = 0, month = 0, day = 0;
  BirthHour hour;
};

// Reads and checks every input the run needs before anything changes; on a
// refusal returns what the user is told.
std::optional<Refusal> CheckInputs(const DataStores& stores, const NamingInputs& inputs, CheckedInputs& checked) {
  if (auto refusal = stores.MissingDataMessage({kRecommendedFile, kNumerologyFile, kMaleCharsFile, kFemaleCharsFile},
                                               "无法生成名字")) {
    return Refusal{InputField::kDataFiles, *refusal};
  }

  checked.surname = inputs.Surname();
  if (auto refusal = CheckSurname(checked.surname)) return Refusal{InputField::kSurname, *refusal};

  BirthDate date;
  if (auto refusal = CheckBirthDate(inputs.YearText(), inputs.MonthText(), inputs.DayText(), date)) {
    return Refusal{InputField::kBirthDate, *refusal};
  }
  checked.year = date.year;
  checked.month = date.month;
  checked.day = date.day;
  if (auto refusal = CheckBirthHour(inputs.Hour(), checked.hour)) return Refusal{InputField::kBirthHour, *refusal};
  const std::string count = inputs.CountText();
  if (!ParseDecimalInteger(count)) return Refusal{InputField::kCount, CountNotAnIntegerMessage(count)};
  if (inputs.FixSecondChecked()) {
    if (auto refusal = CheckFixedChars("限定第2个字", inputs.FixSecondText())) {
      return Refusal{InputField::kFixSecond, *refusal};
    }
  }
  if (inputs.FixThirdChecked()) {
    if (auto refusal = CheckFixedChars("限定第3个字", inputs.FixThirdText())) {
      return Refusal{InputField::kFixThird, *refusal};
    }
  }
  return std::nullopt;
}

// Starts a run for the checked inputs and ends it in every case.
class RunScope {
 public:
  RunScope(NamingModel& model, const CheckedInputs& checked) : model_(model) {
    model_.StartRun(model_.Inputs().Female(), checked.year, checked.month, checked.day, checked.hour);
  }
  ~RunScope() { model_.EndRun(); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  NamingModel& model_;
};

void Run(NamingModel& model, const CheckedInputs& checked) {
  model.ClearRunPanes();

  const BirthAnalysisResult analysis =
      BirthAnalysis(BirthAnalysisVariant::kGenerate, model.TransDate(), checked.year, checked.month, checked.day,
                    checked.hour, {}, {}, model.Session().birthTime);
  for (const std::string& line : analysis.paneLines) model.PaneOf(Origin::kSettings).Append(line);
  for (const std::string& line : analysis.analysisPaneLines) model.PaneOf(Origin::kAnalysis).Append(line);
  model.SetChart(analysis);
  model.SetChartNotes(analysis.notes);

  const NamingInputs& inputs = model.Inputs();
  model.SetNameList(inputs.Female() ? model.Stores().femaleGivenChars : model.Stores().maleGivenChars);
  if (!inputs.FixSecondChecked() && !inputs.FixThirdChecked()) {
    GenerateTwoCharNames(model);
    GenerateFiveElementNames(model);
  }
  GenerateThreeCharNames(model);
  GenerateRecommendedNames(model);
  GenerateRecommendedNamesTwo(model);
}

}  // namespace

CommandResult<GenerateOutcome> GenerateCommand(NamingModel& model) {
  if (model.Running()) return {GenerateOutcome::kIgnored, std::nullopt};
  model.SetSurname(model.Inputs().Surname());

  CheckedInputs checked;
  if (std::optional<Refusal> refusal = CheckInputs(model.Stores(), model.Inputs(), checked))
    return {GenerateOutcome::kRefused, refusal};

  // The scope restores the buttons before the caller shows a failure, so the
  // window is usable again behind it.
  RunScope scope(model, checked);
  return RunToOutcome(GenerateOutcome::kCompleted, GenerateOutcome::kFailed, [&] { Run(model, checked); });
}

}  // namespace tavrin
