// The naming run from the command line: one Generate command on a fresh
// start-up, with the settings page's inputs given as options.
#include <nlohmann/json.hpp>

#include <charconv>
#include <ostream>
#include <string>
#include <vector>

#include "chars/encoding.h"
#include "cli/cli.h"
#include "core/naming_model.h"
#include "core/output_text.h"
#include "generators/generate_command.h"

namespace tavrin::cli {
namespace {

constexpr const char* kOptions =
    "[--surname S] [--sex male|female] [--date YYYY-MM-DD] [--hour H] [--count N] [--fix2 TEXT] [--fix3 TEXT] "
    "[--seed U64] [--whole-item-sound] [--json]";

[[noreturn]] void Usage() { throw CliError(std::string("usage: tavrin-cli generate ") + kOptions); }

void PrintText(CliContext& context, const NamingModel& model, std::uint64_t seed) {
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
  context.out << "seed: " << seed << '\n';
}

void PrintJson(CliContext& context, const NamingModel& model, std::uint64_t seed) {
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
  context.out << result.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

int Generate(CliContext& context, const std::vector<std::string>& args) {
  SettingsInputs inputs;
  std::uint64_t seed = ClockSeed();
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (TakeRunFlag(option, json, inputs)) continue;
    if (i + 1 == args.size()) Usage();
    const std::string& value = args[++i];
    if (option == "--surname") {
      inputs.surname = CliContext::ToGbk(value);
    } else if (option == "--sex") {
      if (value != "male" && value != "female") {
        throw CliError("--sex must be male or female, not \"" + QuoteArgument(value) + "\"");
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

  if (json) {
    PrintJson(context, model, seed);
  } else {
    PrintText(context, model, seed);
  }
  if (outcome == GenerateOutcome::kFailed) throw CliError(message);
  return 0;
}

const Registrar kGenerate({"generate", kOptions,
                           "one naming run with the settings page's inputs: every pane and the report "
                           "(an hour outside 0-23 gives no hour pillar)",
                           &Generate});

}  // namespace
}  // namespace tavrin::cli
