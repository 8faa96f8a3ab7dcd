// The naming run from the command line: one Generate command on a fresh
// start-up, with the settings page's inputs given as options.
#include <nlohmann/json.hpp>

#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "advice/advice_json.h"
#include "chars/encoding.h"
#include "chars/tone_marks.h"
#include "cli/cli.h"
#include "cli/library.h"
#include "core/best_names.h"
#include "core/naming_model.h"
#include "base/output_text.h"
#include "generators/generate_command.h"
#include "sources/name_notes.h"

namespace tavrin::cli {
namespace {

constexpr const char* kOptions =
    "[--surname S] [--sex male|female] [--date YYYY-MM-DD] [--hour H] [--count N] [--fix2 TEXT] [--fix3 TEXT] "
    "[--seed U64] [--whole-item-sound] [--best N] [--json]";

// The best names of a run in the 精选 page's order. The filter is the
// stricter Filter{}: only level-1 characters, since with level 2 up to 9 of
// the best 20 would carry a 生僻 hint (docs/advice.md).
// The 推荐度 takes in each name's classical source, as `advise` does.
struct BestOfRun {
  explicit BestOfRun(const NamingModel& model) : notes(model.Stores().dataDir, model.Stores().advice), names(model.Stores().advice.get()) {
    names.SetSourceFinder(sources::SourceFinderOf(notes));
    names.SetConventionsScorer([&model](const Candidate& candidate) { return model.ConventionsScore(candidate); });
  }
  sources::NameNotes notes;
  BestNames names;
  std::vector<std::size_t> chosen;
};

// A score that may be missing, as the text output shows it.
std::string ScoreText(std::optional<int> score) { return score ? std::to_string(*score) : std::string("-"); }

[[noreturn]] void Usage() { throw CliError(UsageMessage(std::string("generate ") + kOptions)); }

void PrintText(CliContext& context, const NamingModel& model, std::uint64_t seed, const BestOfRun* best) {
  for (const auto& page : model.ResultPages()) {
    context.PrintLine("【" + page.caption + "】");
    for (const std::string& line : page.pane->Lines()) context.PrintLine(line);
  }
  context.PrintLine("【姓名报表】");
  for (const ReportRow& row : model.report.Rows()) {
    std::string line;
    for (std::size_t column = 0; column < ReportRow::kColumnCount; ++column) {
      if (column > 0) line += '\t';
      // The grid lines on one line, each followed by " | ".
      line += column == ReportRow::kGrids ? FormatScoreText(row.scored, " | ") : row.Cell(column);
    }
    context.PrintLine(line);
  }
  if (best) {
    // One line a name: name, pinyin, 推荐度, score, 通行评分, where it came
    // from (the run page, or 典籍 / 名库), warnings.
    context.PrintLine("【精选】");
    for (const std::size_t i : best->chosen) {
      const advice::Advice& a = best->names.AdviceAt(i);
      const int score = best->names.ScoreAt(i);
      context.out << GbkToUtf8(a.name) << '\t' << PinyinWithToneMarks(a.pinyin) << '\t' << GbkToUtf8("推荐度 ")
                  << a.recommend << '\t' << GbkToUtf8("分数 ")
                  << (score == BestNames::kNoScore ? std::string("-") : std::to_string(score)) << '\t'
                  << GbkToUtf8("通行评分 ") << ScoreText(best->names.ConventionsScoreAt(i)) << '\t'
                  << GbkToUtf8("来源 ") << GbkToUtf8(best->names.CandidateAt(i).generator) << '\t'
                  << advice::WarningsText(a) << '\n';
    }
  }
  context.out << "seed: " << seed << '\n';
}

void PrintJson(CliContext& context, const NamingModel& model, std::uint64_t seed, const BestOfRun* best) {
  using Json = nlohmann::ordered_json;
  Json panes = Json::object();
  Json rows = Json::object();
  for (const auto& page : model.ResultPages()) {
    Json lines = Json::array();
    for (const std::string& line : page.pane->Lines()) lines.push_back(GbkToUtf8(line));
    panes[page.pane->Name()] = std::move(lines);
    rows[page.pane->Name()] = page.pane->Rows();
  }
  Json report = Json::array();
  for (const ReportRow& row : model.report.Rows()) {
    Json columns = Json::array();
    for (std::size_t column = 0; column < ReportRow::kColumnCount; ++column) {
      columns.push_back(GbkToUtf8(row.Cell(column)));
    }
    report.push_back(std::move(columns));
  }
  Json result = Json::object();
  result["seed"] = seed;
  result["panes"] = std::move(panes);
  result["rows"] = std::move(rows);
  result["report"] = std::move(report);
  result["pendingLine"] = GbkToUtf8(model.session.pendingLine.Text());
  result["progress"] = GbkToUtf8(model.Progress());
  if (best) {
    Json names = Json::array();
    for (const std::size_t i : best->chosen) {
      Json name = advice::AdviceJson(best->names.AdviceAt(i));
      const int score = best->names.ScoreAt(i);
      name["score"] = score == BestNames::kNoScore ? Json(nullptr) : Json(score);
      const std::optional<int> conventions = best->names.ConventionsScoreAt(i);
      name["conventionsScore"] = conventions ? Json(*conventions) : Json(nullptr);
      name["origin"] = GbkToUtf8(best->names.CandidateAt(i).generator);
      names.push_back(std::move(name));
    }
    result["best"] = std::move(names);
  }
  context.out << result.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

int Generate(CliContext& context, const std::vector<std::string>& args) {
  SettingsInputs inputs;
  std::uint64_t seed = ClockSeed();
  bool json = false;
  std::optional<std::size_t> bestCount;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (TakeRunFlag(option, json, inputs)) continue;
    if (i + 1 == args.size()) Usage();
    const std::string& value = args[++i];
    if (option == "--surname") {
      inputs.surname = CliContext::ToGbk(value);
    } else if (option == "--sex") {
      if (value != "male" && value != "female") {
        throw CliError(Say("--sex 只能是 male 或 female,不能是“%1”", {QuoteArgument(value)}));
      }
      inputs.female = value == "female";
    } else if (option == "--date") {
      SplitDateOption(CliContext::ToGbk(value), inputs.year, inputs.month, inputs.day);
    } else if (option == "--hour") {
      inputs.hour = CliContext::HourToGbk(args[i]);
    } else if (option == "--count") {
      inputs.count = CliContext::ToGbk(value);
    } else if (option == "--fix2") {
      inputs.fixSecondChecked = true;
      inputs.fixSecond = CliContext::ToGbk(value);
    } else if (option == "--fix3") {
      inputs.fixThirdChecked = true;
      inputs.fixThird = CliContext::ToGbk(value);
    } else if (option == "--best") {
      unsigned long long count = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
      if (error != std::errc() || end != value.data() + value.size() || count == 0 || count > 100000) {
        throw CliError(Say("--best 要 1 至 100000 之间的名字个数,不能是“%1”", {QuoteArgument(value)}));
      }
      bestCount = static_cast<std::size_t>(count);
    } else if (option == "--seed") {
      seed = ParseSeedOption(value);
    } else {
      Usage();
    }
  }

  NamingEnvironment environment;
  environment.inputs = &inputs;
  NamingModel model(context.SharedData(), seed, environment);
  const CommandResult<GenerateOutcome> result = GenerateCommand(model);
  const GenerateOutcome outcome = result.outcome;
  const std::string message = result.message ? GbkToUtf8(result.message->text) : std::string();
  if (outcome == GenerateOutcome::kRefused) throw CliError(message);

  std::optional<BestOfRun> best;
  if (bestCount) {
    best.emplace(model);
    best->names.AddRuns(model, SexOf(inputs.female));
    best->names.AddProposals(model);
    best->chosen = best->names.Best(*bestCount);
    SayLibraryFault(context, best->notes);
  }
  if (json) {
    PrintJson(context, model, seed, best ? &*best : nullptr);
  } else {
    PrintText(context, model, seed, best ? &*best : nullptr);
  }
  if (outcome == GenerateOutcome::kFailed) throw CliError(message);
  return 0;
}

const Registrar kGenerate({"generate", kOptions,
                           "按姓名设置页的输入生成一次:每一页和姓名报表"
                           "(0-23 以外的时辰没有时柱);--best N 再列出最好的 N 个名字和建议",
                           &Generate});

}  // namespace
}  // namespace tavrin::cli
