// The analysis of one name, as the page 姓名分析 writes it.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/analyse_name.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/conventions_output.h"
#include "cli/json_output.h"
#include "core/naming_model.h"

namespace tavrin::cli {
namespace {

constexpr const char* kOptions =
    "NAME [--date YYYY-MM-DD] [--hour H|unknown] [--birth-elements TEXT] [--conventions [--favourable ELEMENTS]] "
    "[--json | --pdf FILE]";

extern "C" char** environ;

// The PDF is drawn with Qt, which this program does not link: the program
// tavrin-report beside it takes the same arguments and writes it.
int WritePdf(CliContext& context, const std::vector<std::string>& args) {
  const std::string program = ExecutableDir() + "tavrin-report";
  if (access(program.c_str(), X_OK) != 0) {
    throw CliError(Say("--pdf 要用 tavrin-cli 旁边的程序 tavrin-report,没有找到: %1", {program}));
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  context.out.flush();
  pid_t child = 0;
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    throw CliError(Say("无法启动 %1", {program}));
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) throw CliError(Say("无法等到 %1 结束", {program}));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kInternalErrorStatus;
}

// The options of an analysis, read from the command line.
struct AnalyseOptions {
  AnalysisRequest request;
  std::string birthElements;
  bool json = false;
  bool conventions = false;
  std::optional<std::vector<Element>> favourable;
};

AnalyseOptions ReadAnalyseOptions(const std::vector<std::string>& args) {
  AnalyseOptions options;
  AnalysisRequest& request = options.request;
  std::optional<std::string> name;
  ReadArguments(
      args, std::string("analyse ") + kOptions,
      {{"--json", Option::kFlag, SetTrue(options.json)},
       {"--conventions", Option::kFlag, SetTrue(options.conventions)},
       {"--date", Option::kValue, DateOption(request.year, request.month, request.day)},
       {"--hour", Option::kValue, [&](const std::string& value) { request.hour = CliContext::HourArgument(value); }},
       {"--birth-elements", Option::kValue, KeepGbk(options.birthElements)},
       {"--favourable", Option::kValue,
        [&](const std::string& value) {
          options.favourable = ParseFavourableOption(value);
          options.conventions = true;
        }}},
      GbkArgument(name, false));
  if (!name) throw CliError(UsageMessage(std::string("analyse ") + kOptions));
  request.name = *name;
  return options;
}

// The pane's lines as text: the score text's grid lines, parted by CRs,
// stand on lines of their own; a CR that ends it ends its line already.
void PrintPaneLines(CliContext& context, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::size_t from = 0;
    for (std::size_t cr = line.find('\r'); cr != std::string::npos; cr = line.find('\r', from)) {
      context.PrintLine(std::string_view(line).substr(from, cr - from));
      from = cr + 1;
    }
    if (from == 0 || from < line.size()) context.PrintLine(std::string_view(line).substr(from));
  }
}

int Analyse(CliContext& context, const std::vector<std::string>& args) {
  if (std::find(args.begin(), args.end(), "--pdf") != args.end()) return WritePdf(context, args);
  const AnalyseOptions options = ReadAnalyseOptions(args);
  SettingsInputs inputs;
  NamingEnvironment environment;
  environment.inputs = &inputs;
  context.RequireData({kNumerologyFile});
  NamingModel model(context.SharedData(), 0, environment);
  model.SetBirthElements(options.birthElements);
  NameReport report;
  const CommandResult<AnalysisOutcome> result = AnalyseName(model, options.request, &report);
  const AnalysisOutcome outcome = result.outcome;
  const CliError failure = GbkError(result.message ? result.message->text : std::string());
  if (outcome == AnalysisOutcome::kRefused) throw failure;
  std::optional<ConventionsSection> section;
  if (options.conventions && outcome == AnalysisOutcome::kCompleted) {
    const BirthPillars pillars{report.pillars[0], report.pillars[1], report.pillars[2], report.pillars[3]};
    section = ConventionsOf(context, options.request.name, pillars, options.favourable);
  }

  if (options.json) {
    Json shown = {{"lines", Utf8Lines(model.PaneOf(Origin::kAnalysis).Lines())}};
    if (section) shown["conventions"] = ConventionsJson(*section);
    PrintJson(context, shown);
  } else {
    PrintPaneLines(context, model.PaneOf(Origin::kAnalysis).Lines());
    if (section) {
      for (const std::string& line : ConventionsLines(*section)) context.PrintLine(line);
    }
  }
  if (outcome == AnalysisOutcome::kStopped) throw failure;
  return 0;
}

const Registrar kAnalyse({"analyse", kOptions,
                          "分析一个名字:八字、五行、繁体、五格分数;"
                          "--conventions 加上起名书的通行算法",
                          &Analyse});

}  // namespace
}  // namespace tavrin::cli
