// The poem database and names from a poem.
#include <sys/stat.h>

#include <charconv>
#include <ostream>
#include <string>
#include <vector>

#include "advice/advice_json.h"
#include "base/output_text.h"
#include "chars/encoding.h"
#include "chars/gbk.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/json_output.h"
#include "cli/library.h"
#include "core/birth_inputs.h"
#include "core/judgement.h"
#include "core/naming_model.h"
#include "core/poem_phrases.h"
#include "core/poetry_db.h"
#include "generators/poetry_names.h"

namespace tavrin::cli {
namespace {

constexpr const char* kPoetryOptions =
    "(--poem-id ID | --poem-text TEXT) [--surname S] [--date YYYY-MM-DD] [--count N] [--birth-elements TEXT] "
    "[--seed U64] [--whole-item-sound] [--phrases [--sex male|female] [--hour H]] [--json]";

PoemTable LoadPoems(CliContext& context) {
  std::string error;
  const std::string path = context.Stores().dataDir + kPoetryFile;
  if (!FileExists(path)) {
    struct stat info{};
    if (::stat(path.c_str(), &info) == 0) throw CliError(Say("诗歌数据库 %1 不是普通文件", {path}));
    throw CliError(Say("缺少诗歌数据库 %1", {path}));
  }
  std::optional<PoemTable> table = QueryPoems(path, error);
  if (!table) throw GbkError(error);
  for (const char* column : {"id", "title", "author", "collection", "content"}) {
    if (table->Column(column) < 0) throw CliError(Say("诗歌表没有 %1 列", {column}));
  }
  return *table;
}

constexpr const char* kPoemsUsage = "poems [--search TEXT] [--collection NAME]";

// Without options, the poems of the poem database the page for poetry
// shows; with --search or --collection, the texts of the whole classical
// library that match.
int Poems(CliContext& context, const std::vector<std::string>& args) {
  std::string search;
  std::string collection;
  ReadArguments(
      args, kPoemsUsage,
      {{"--search", Option::kValueOnce, KeepGbk(search)}, {"--collection", Option::kValueOnce, KeepGbk(collection)}});
  if (!args.empty()) {
    if (SplitChars(search).size() > sources::kMaxSearchChars) {
      throw CliError(Say("搜索文字超过 %1 个字", {std::to_string(sources::kMaxSearchChars)}));
    }
    const auto found = UseLibrary(context, [&](sources::ClassicalLibrary& library) {
      return library.Search(GbkText(search), GbkText(collection));
    });
    for (const auto& entry : found) {
      context.PrintLine(std::to_string(entry.id) + "\t" + EscapeControlBytes(entry.title.Bytes()) + "\t" +
                        EscapeControlBytes(entry.author.Bytes()) + "\t" + EscapeControlBytes(entry.collection.Bytes()));
    }
    return 0;
  }
  const PoemTable table = LoadPoems(context);
  const auto at = [&](const std::vector<std::string>& row, const char* column) -> const std::string& {
    return row[static_cast<std::size_t>(table.Column(column))];
  };
  for (const auto& row : table.rows) {
    // A control character stored in the database is shown, not obeyed.
    const auto shown = [&](const char* column) { return EscapeControlBytes(at(row, column)); };
    context.PrintLine(shown("id") + "	" + shown("title") + "	" + shown("author") + "	" + shown("collection"));
  }
  return 0;
}

struct PoetryOptions {
  SettingsInputs inputs;
  std::string birthElements;
  std::uint64_t seed = ClockSeed();
  bool json = false;
  bool phrases = false;  // the poem's own names instead of a run
  std::optional<std::string> poemId;
  std::string poemIdGiven;  // as given, for the message that no poem has it
  std::optional<std::string> poemText;
  PoemOfPhrases poem;  // the poem named, for its phrases
};

PoetryOptions ReadPoetryOptions(const std::vector<std::string>& args) {
  PoetryOptions options;
  SettingsInputs& inputs = options.inputs;
  const std::string usage = std::string("poetry ") + kPoetryOptions;
  ReadArguments(
      args, usage,
      {{"--json", Option::kFlag, SetTrue(options.json)},
       {"--phrases", Option::kFlag, SetTrue(options.phrases)},
       {"--sex", Option::kValue,
        [&](const std::string& value) { inputs.female = CliContext::SexArgument(value) == Sex::kFemale; }},
       {"--hour", Option::kValue, [&](const std::string& value) { inputs.hour = CliContext::HourArgument(value); }},
       {"--whole-item-sound", Option::kFlag, SetTrue(inputs.wholeItemSound)},
       {"--poem-id", Option::kValue,
        [&, keep = KeepGbk(options.poemId)](const std::string& value) {
          keep(value);
          options.poemIdGiven = value;
        }},
       {"--poem-text", Option::kValue, KeepGbk(options.poemText)},
       {"--surname", Option::kValue, KeepGbk(inputs.surname)},
       {"--date", Option::kValue, DateOption(inputs.year, inputs.month, inputs.day)},
       {"--count", Option::kValue, KeepGbk(inputs.count)},
       {"--birth-elements", Option::kValue, KeepGbk(options.birthElements)},
       {"--seed", Option::kValue, [&](const std::string& value) { options.seed = ParseSeedOption(value); }}});
  if (options.poemId.has_value() == options.poemText.has_value()) throw CliError(UsageMessage(usage));
  return options;
}

// The poem the options name: its text, and for a poem of the database its
// title, author and collection.
PoemOfPhrases PoemOf(CliContext& context, const PoetryOptions& options) {
  PoemOfPhrases poem;
  if (!options.poemId) {
    poem.text = *options.poemText;
    return poem;
  }
  const PoemTable table = LoadPoems(context);
  const auto at = [&](const std::vector<std::string>& row, const char* column) -> const std::string& {
    return row[static_cast<std::size_t>(table.Column(column))];
  };
  for (const auto& row : table.rows) {
    if (at(row, "id") == *options.poemId) {
      poem = {at(row, "title"), at(row, "author"), at(row, "collection"), at(row, "content")};
    }
  }
  if (poem.text.empty()) throw CliError(Say("没有编号为 %1 的诗", {QuoteArgument(options.poemIdGiven)}));
  return poem;
}

// The poem's own names for the baby of the options, judged against the
// chart of its birth (without --hour, of three pillars).
int PrintPhrases(CliContext& context, NamingModel& model, const PoetryOptions& options, const BirthDate& date) {
  const SettingsInputs& inputs = options.inputs;
  const advice::AdviceTables& tables = *model.Stores().advice;
  BirthHour hour;
  if (auto refusal = CheckBirthHour(inputs.hour, hour)) throw GbkError(*refusal);
  const BirthAnalysisResult chart =
      BirthAnalysis(BirthAnalysisVariant::kGenerate, model.TransDate(), date.year, date.month, date.day, hour);
  const NameJudge judge(model.Services(), ReadNeeds(chart.pillars, inputs.wish, inputs.chosenElements));
  const std::vector<PoemPhrase> phrases =
      PoemPhrases(tables, model.Services(), judge, inputs.surname, SexOf(inputs.female), options.poem);
  if (options.json) {
    Json list = Json::array();
    for (const PoemPhrase& phrase : phrases) {
      Json name = advice::AdviceJson(phrase.advice);
      name["line"] = GbkToUtf8(phrase.source.line);
      list.push_back(std::move(name));
    }
    PrintJson(context, {{"phrases", std::move(list)}});
    return 0;
  }
  for (const PoemPhrase& phrase : phrases) {
    context.PrintLine(phrase.advice.name + "\t推荐度 " + std::to_string(phrase.advice.recommend) + "\t" +
                      phrase.source.line);
  }
  return 0;
}

int Poetry(CliContext& context, const std::vector<std::string>& args) {
  PoetryOptions options = ReadPoetryOptions(args);
  SettingsInputs& inputs = options.inputs;
  const std::string& birthElements = options.birthElements;
  // The settings page's date fields hold the numbers as their items are
  // written, without leading zeros.
  BirthDate date;
  if (auto refusal = CheckBirthDate(inputs.year, inputs.month, inputs.day, date)) throw GbkError(*refusal);
  inputs.year = std::to_string(date.year);
  inputs.month = std::to_string(date.month);
  inputs.day = std::to_string(date.day);

  options.poem = PoemOf(context, options);
  const std::string& text = options.poem.text;

  context.RequireData({kNumerologyFile});
  NamingEnvironment environment;
  environment.inputs = &inputs;
  NamingModel model(context.SharedData(), options.seed, environment);
  model.SetBirthElements(birthElements);
  if (options.phrases) {
    if (auto refusal = CheckSurname(inputs.surname)) throw GbkError(*refusal);
    return PrintPhrases(context, model, options, date);
  }
  const CommandResult<PoetryOutcome> run = StartPoetryNaming(model, text, birthElements);
  if (run.outcome == PoetryOutcome::kRefused) throw GbkError(run.message ? run.message->text : std::string());

  if (options.json) {
    PrintJson(context, {{"seed", options.seed},
                        {"lines", Utf8Lines(model.PaneOf(Origin::kPoetry).Lines())},
                        {"progress", ProgressText(model.Presentation())}});
  } else {
    for (const std::string& line : model.PaneOf(Origin::kPoetry).Lines()) context.PrintLine(line);
  }
  return 0;
}

const Registrar kPoems({"poems", "[--search TEXT] [--collection NAME]",
                        "诗歌库里的诗,或古籍库里与搜索相符的篇章:编号、标题、作者、"
                        "出处",
                        &Poems});
const Registrar kPoetry({"poetry", kPoetryOptions,
                         "从一首诗里取名,与诗歌取名页相同;--phrases 改为列出诗句里现成的好名字"
                         "(按宝宝的性别和八字排序,附出处诗句)",
                         &Poetry});

}  // namespace
}  // namespace tavrin::cli
